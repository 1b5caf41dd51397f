#include "platform/graphics/JpegEncoder.h"

#include "platform/graphics/LargeMemory.h"

#include <turbojpeg.h>

#include <algorithm>
#include <bit>
#include <cmath>

namespace platform {

namespace {

// Cairo's ARGB32 is a native-endian 32-bit word, so its byte order depends on the machine.
constexpr int kArgbPixelFormat = std::endian::native == std::endian::little ? TJPF_BGRA : TJPF_ARGB;

} // namespace

JpegEncoder::JpegEncoder() : handle_(tjInitCompress()) {}

JpegEncoder::~JpegEncoder() {
    tjFree(buffer_);
    if (handle_)
        tjDestroy(handle_);
}

std::span<const std::uint8_t> JpegEncoder::encode(const std::uint8_t* argb, int width, int height,
                                                  int stride, double quality) {
    if (!handle_ || !argb || width <= 0 || height <= 0)
        return {};
    if (std::isnan(quality))
        quality = 0;
    const int q = static_cast<int>(std::lround(std::clamp(quality, 0.0, 1.0) * 100));
    const int libjpegQuality = std::max(q, 1);
    const int subsampling = q >= 100 ? TJSAMP_444 : TJSAMP_420;
    // The largest data the picture can give, so that the coder never reallocates.
    const unsigned long needed = tjBufSize(width, height, subsampling);
    if (needed == static_cast<unsigned long>(-1) || needed > 0x7fffffff)
        return {};
    if (needed > capacity_) {
        tjFree(buffer_);
        // tjFree is free(), and the coder never reallocates this memory.
        buffer_ = static_cast<unsigned char*>(LargeMemory::allocate(needed));
        capacity_ = buffer_ ? needed : 0;
        if (!buffer_)
            return {};
    }
    unsigned long size = capacity_;
    // The encoder ignores the alpha byte; premultiplied colour without its alpha is exactly
    // the pixel composited over black, so the rows go in as they are, with no copy.
    if (tjCompress2(handle_, argb, width, stride, height, kArgbPixelFormat, &buffer_, &size,
                    subsampling, libjpegQuality, TJFLAG_NOREALLOC) != 0)
        return {};
    return {buffer_, static_cast<std::size_t>(size)};
}

} // namespace platform
