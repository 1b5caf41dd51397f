#pragma once

#include "platform/graphics/DecodeRequest.h"
#include "platform/graphics/SurfaceHandle.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace platform {

// HEIC and other HEIF pictures through libheif, delivered upright: the file's own rotation
// and mirroring (its irot and imir properties) are applied as it is decoded, so the picture
// needs no orientation flag, and the copy of the orientation in its EXIF block, which phones
// write for older readers, must not be applied again.
class HeifCodec {
public:
    // An ISO media file whose first box names a HEIF brand (heic, heix, mif1, ...); 12 bytes
    // are enough to tell.
    static bool looksLikeHeif(const std::uint8_t* data, std::size_t size);

    // The size the picture is shown at, in pixels, read from the file's boxes without
    // decoding anything; false when they cannot be read.
    static bool readSize(const std::filesystem::path& path, int& width, int& height);

    // The primary picture's EXIF block (TIFF data, as ExifSegment::loadBlock takes it); empty
    // when it has none or the file cannot be read.
    static std::vector<std::uint8_t> exifBlock(const std::filesystem::path& path);

    // The primary picture, upright; null, with the reason, for anything damaged, cut short or
    // larger than the request allows (decided from the boxes before anything is decoded).
    // With request.shortSide above 0, a thumbnail kept in the file whose shorter side still
    // has that many pixels is decoded instead of the whole picture.
    static SurfaceHandle decode(const std::uint8_t* data, std::size_t size,
                                const DecodeRequest& request);
};

} // namespace platform
