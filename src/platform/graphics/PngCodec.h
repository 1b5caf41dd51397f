#pragma once

#include "platform/graphics/DecodeRequest.h"
#include "platform/graphics/SurfaceHandle.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace platform {

// PNG through Cairo's reader (libpng), always delivered as premultiplied ARGB32.
class PngCodec {
public:
    static bool looksLikePng(const std::uint8_t* data, std::size_t size);

    // Largest ancillary chunk (text, profile, private data) handed to the reader, in bytes;
    // larger ones are skipped unread.
    static constexpr std::uint32_t kMaxAncillaryBytes = 1u << 20;

    // Null, with the reason, for anything unreadable or truncated, and for pictures beyond
    // the request's limits, which are refused from the header's dimensions before the reader
    // allocates anything. A PNG is never reduced.
    static SurfaceHandle decode(const std::uint8_t* data, std::size_t size,
                                const DecodeRequest& request);

    // The byte ranges (offset, length) of the signature and every chunk up to IEND that the
    // reader is given; false when a chunk claims more bytes than the file has left, or the
    // file ends before IEND.
    static bool walkChunks(const std::uint8_t* data, std::size_t size,
                           std::vector<std::pair<std::size_t, std::size_t>>& kept);
};

} // namespace platform
