#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace platform {

// JPEG encoding into output memory kept from one picture to the next. A batch encodes print
// after print of one size: fresh memory for each costs the kernel a page fault every 4 KB,
// and the coder's own growing buffer copies its output several times over. The bytes are
// JpegCodec::encode's, to the bit. One encoder is used by one thread at a time.
class JpegEncoder {
public:
    JpegEncoder();
    ~JpegEncoder();
    JpegEncoder(const JpegEncoder&) = delete;
    JpegEncoder& operator=(const JpegEncoder&) = delete;

    // Premultiplied ARGB32 rows as JpegCodec::encode takes them. The data stays valid until
    // the next call; empty on failure.
    std::span<const std::uint8_t> encode(const std::uint8_t* argb, int width, int height,
                                         int stride, double quality);

private:
    void* handle_ = nullptr;
    unsigned char* buffer_ = nullptr;
    unsigned long capacity_ = 0;
};

} // namespace platform
