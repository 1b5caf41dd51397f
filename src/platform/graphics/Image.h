#pragma once

#include "platform/graphics/DecodeRequest.h"
#include "platform/graphics/Geometry.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

typedef struct _cairo_surface cairo_surface_t;

namespace platform {

// The eight orientations a stored bitmap can be marked with, numbered as EXIF numbers them.
// Right (6) is what a phone camera writes for a picture taken upright: the scene's top lies
// along the bitmap's left edge and must be turned a quarter turn clockwise to be seen.
enum class ImageOrientation : int {
    Up = 1,
    UpMirrored = 2,
    Down = 3,
    DownMirrored = 4,
    LeftMirrored = 5,
    Right = 6,
    RightMirrored = 7,
    Left = 8,
};

// True for the four orientations that swap width and height when the picture is shown.
bool isQuarterTurn(ImageOrientation orientation);

class Image;
using ImageRef = std::shared_ptr<const Image>;

// An immutable stored bitmap: premultiplied 8-bit ARGB in native-endian 32-bit words (the
// layout Cairo calls ARGB32), with an orientation flag. Scale is always 1, so a point of
// size() is a pixel. Pictures are shared and never change after they are made, so they may
// be read from several threads at once. A drawing step may keep a picture it was given for a
// while (shared_from_this), which immutability makes safe.
class Image : public std::enable_shared_from_this<Image> {
public:
    // Largest picture any reader accepts: anything above is "no picture", never a huge allocation.
    static constexpr std::int64_t kMaxPixels = 100'000'000;
    // Longest side of a picture: Cairo's image surfaces end there.
    static constexpr int kMaxSide = 32767;
    // A JPEG photo above this many pixels (a 50 to 200 megapixel phone photo) is read reduced
    // to 1/2, 1/4 or 1/8, the largest that fits: still more than any print needs, at a
    // fraction of the memory. Photos up to it are read whole, as they always were.
    static constexpr std::int64_t kWorkingPixels = 24'000'000;
    // A compressed file larger than this cannot hold a picture we would accept anyway (100
    // megapixels at JPEG quality 100 stays well below it), so it is refused before being read.
    static constexpr std::uintmax_t kMaxFileBytes = 1024ull * 1024 * 1024;

    // Takes ownership of a Cairo ARGB32 image surface. Returns nullptr for a null, failed or
    // empty surface.
    static ImageRef fromSurface(cairo_surface_t* surface,
                                ImageOrientation orientation = ImageOrientation::Up);
    // Pixels as premultiplied ARGB words, row after row, width × height of them.
    static ImageRef fromPixels(int width, int height, const std::vector<std::uint32_t>& argb,
                               ImageOrientation orientation = ImageOrientation::Up);
    // A JPEG, PNG, HEIC/HEIF or WebP file; a JPEG's or WebP's EXIF orientation becomes the
    // flag while the pixels stay as stored (reduced above kWorkingPixels), and a HEIF picture
    // arrives upright. nullptr when the file is missing, unreadable, not a picture or too large.
    // whyNot, when given, gets the reason for nullptr.
    static ImageRef contentsOfFile(const std::filesystem::path& path,
                                   std::string* whyNot = nullptr);
    // The same for bytes already in memory; whyNot, when given, gets the reason for nullptr.
    // shortSide as for readFile.
    static ImageRef fromEncodedData(const std::uint8_t* data, std::size_t size,
                                    std::string* whyNot = nullptr, int shortSide = 0);
    // A picture file read afresh, past the cache, its signature and size checked before the
    // rest is read. shortSide above 0 is the shorter side the caller needs, in pixels: a
    // larger JPEG or WebP is decoded reduced to the smallest of 1/2, 1/4, 1/8 that still has it.
    // whyNot, when given, gets the reason for nullptr.
    static ImageRef readFile(const std::filesystem::path& path, int shortSide = 0,
                             std::string* whyNot = nullptr);

    // True when the first bytes of a file (32 are enough) are those of a picture it reads.
    static bool hasPictureSignature(const std::uint8_t* head, std::size_t size);

    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    int pixelWidth() const { return width_; }
    int pixelHeight() const { return height_; }
    ImageOrientation orientation() const { return orientation_; }
    double scale() const { return 1.0; }
    // The size in points as the picture is shown: pixel size, swapped for quarter turns.
    Size size() const;

    // The same pixels under another orientation flag (shares the bitmap).
    ImageRef withOrientation(ImageOrientation orientation) const;
    // The part of the bitmap inside a pixel rectangle (y down from the first stored row),
    // clipped to the bitmap; nullptr when nothing is left. The flag is Up.
    ImageRef cropped(const Rect& pixelRect) const;

    // JPEG data at a quality from 0 to 1; 1.0 is quality 100 with 4:4:4 sampling. The
    // orientation flag is not applied and not written. Empty on failure. The last encoding is
    // kept with the picture, so a print written to a file and then to the album is encoded
    // once.
    std::vector<std::uint8_t> jpegData(double quality) const;
    bool writeJpeg(const std::filesystem::path& path, double quality) const;
    bool writePng(const std::filesystem::path& path) const;

    // Premultiplied ARGB of one stored pixel (x right, y down from the first stored row).
    std::uint32_t pixel(int x, int y) const;
    const std::uint8_t* data() const;
    int stride() const;
    // The underlying surface, for drawing it as a source. Never draw into it.
    cairo_surface_t* surface() const { return surface_; }

    // Columns [begin, end) of one stored row that are all transparent black.
    struct ClearRun {
        int begin = 0, end = 0;
    };
    // The longest such run of every stored row, found on the first call and kept with the
    // picture. A film frame is a border round a clear window, which a draw under most blend
    // modes leaves as it found it: knowing the window, a print need not read it at all.
    const std::vector<ClearRun>& clearRuns() const;

private:
    Image(cairo_surface_t* surface, ImageOrientation orientation);
    static ImageRef decode(const std::uint8_t* data, std::size_t size,
                           const DecodeRequest& request);

    cairo_surface_t* surface_;
    int width_;
    int height_;
    ImageOrientation orientation_;

    struct Encoded {
        double quality;
        std::vector<std::uint8_t> bytes;
    };
    mutable std::mutex encodedMutex_;
    mutable std::shared_ptr<const Encoded> encoded_;
    mutable std::once_flag clearRunsFound_;
    mutable std::vector<ClearRun> clearRuns_;
};

} // namespace platform
