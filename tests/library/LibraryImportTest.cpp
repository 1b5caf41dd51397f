#include "library/LibraryViewController.h"
#include "library/RollSquare.h"
#include "support/LaunchedCamera.h"
#include "support/OrientedPhoto.h"
#include "support/PhoneFormats.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using platform::Image;
using platform::ImageOrientation;
using platform::ImageRef;

// A photograph of an 8 by 8 grid of flat cells, each its own colour, so that where a cell's
// centre lands tells which way the picture went.
constexpr int kCells = 8;

std::uint32_t cellColour(int cx, int cy) {
    return 0xFF000000u | static_cast<std::uint32_t>(40 + cx * 25) << 16 |
           static_cast<std::uint32_t>(40 + cy * 25) << 8 | 0x80u;
}

ImageRef gridPhotograph(int width, int height, ImageOrientation orientation) {
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            argb[static_cast<std::size_t>(y) * width + x] =
                cellColour(x * kCells / width, y * kCells / height);
    return Image::fromPixels(width, height, argb, orientation);
}

bool closeColour(std::uint32_t a, std::uint32_t b) {
    for (int shift = 0; shift < 32; shift += 8) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) -
                     static_cast<int>((b >> shift) & 0xFF)) > 3)
            return false;
    }
    return true;
}

// Where the stored bitmap's point (i, j), in pixels, should land in the result.
using Mapping = std::function<platform::Point(double i, double j)>;

// Checks every cell centre that lands inside the result; returns how many did.
int expectCellsLand(const Image& photo, const Image& result, const Mapping& mapping) {
    int landed = 0;
    const double cellW = photo.pixelWidth() / double(kCells);
    const double cellH = photo.pixelHeight() / double(kCells);
    for (int cy = 0; cy < kCells; ++cy) {
        for (int cx = 0; cx < kCells; ++cx) {
            const platform::Point at = mapping((cx + 0.5) * cellW, (cy + 0.5) * cellH);
            const int col = static_cast<int>(at.x);
            const int row = static_cast<int>(at.y);
            if (col < 0 || row < 0 || col >= result.pixelWidth() || row >= result.pixelHeight())
                continue;
            ++landed;
            EXPECT_TRUE(closeColour(result.pixel(col, row), cellColour(cx, cy)))
                << "cell " << cx << "," << cy << " expected at " << col << "," << row << " got "
                << std::hex << result.pixel(col, row);
        }
    }
    return landed;
}

// The preview shows the square upright: the square's rows reversed, scaled to 320.
Mapping previewOf(const Mapping& square, double side) {
    return [square, side](double i, double j) {
        const platform::Point p = square(i, j);
        const double f = RollSquare::kPreviewSide / side;
        return platform::Point{p.x * f, (side - p.y) * f};
    };
}

TEST(RollSquareTest, SideDependsOnTheModelAlone) {
    EXPECT_EQ(RollSquare::squareSide("iPhone1,1"), 1200);
    EXPECT_EQ(RollSquare::squareSide("iPhone1,2"), 1200);
    EXPECT_EQ(RollSquare::squareSide("iPhone1,3"), 1500);
    EXPECT_EQ(RollSquare::squareSide("iPhone1,2 "), 1500);
    EXPECT_EQ(RollSquare::squareSide(""), 1500);
}

TEST(RollSquareTest, ASquareBitmapFillsTheSquareMirroredTopToBottom) {
    const ImageRef photo = gridPhotograph(600, 600, ImageOrientation::Up);
    const ImageRef square = RollSquare::makeSquare(*photo, 1500);
    ASSERT_TRUE(square);
    ASSERT_EQ(square->pixelWidth(), 1500);
    ASSERT_EQ(square->pixelHeight(), 1500);
    const double k = 2.5;
    const Mapping mapping = [k](double i, double j) {
        return platform::Point{i * k, 1500 - j * k};
    };
    EXPECT_EQ(expectCellsLand(*photo, *square, mapping), 64);
    // Nothing cut: the corners hold the corner cells, bottom-left first.
    EXPECT_TRUE(closeColour(square->pixel(2, 2), cellColour(0, 7)));
    EXPECT_TRUE(closeColour(square->pixel(1497, 1497), cellColour(7, 0)));
    EXPECT_EQ(expectCellsLand(*photo, *RollSquare::makePreview(square), previewOf(mapping, 1500)),
              64);
}

TEST(RollSquareTest, LandscapeIsCutAtBothSidesAndTurnedByItsFlag) {
    const double s = 1500, w = 1600, k = 1.25;
    // Stored and shown landscape: 200 bitmap pixels cut from each side, no turn.
    const ImageRef landscape = gridPhotograph(1600, 1200, ImageOrientation::Up);
    const ImageRef flat = RollSquare::makeSquare(*landscape, 1500);
    ASSERT_TRUE(flat);
    const Mapping straight = [&](double i, double j) {
        return platform::Point{(s - w * k) / 2 + i * k, s - j * k};
    };
    // The outer cell columns are the 200 bitmap pixels cut at each side.
    EXPECT_EQ(expectCellsLand(*landscape, *flat, straight), 48);
    // The square's left edge is bitmap column 200: the second cell column.
    EXPECT_TRUE(closeColour(flat->pixel(1, 700), cellColour(1, 4)));

    // A portrait photograph stored on its side: turned a quarter clockwise, then mirrored.
    const ImageRef sideways = landscape->withOrientation(ImageOrientation::Right);
    const ImageRef turned = RollSquare::makeSquare(*sideways, 1500);
    ASSERT_TRUE(turned);
    const Mapping quarter = [&](double i, double j) {
        return platform::Point{s - j * k, (s + w * k) / 2 - i * k};
    };
    EXPECT_EQ(expectCellsLand(*sideways, *turned, quarter), 48);
    // Upright in the preview, the scene's top (the bitmap's left edge) at the top.
    const ImageRef preview = RollSquare::makePreview(turned);
    ASSERT_EQ(preview->pixelWidth(), 320);
    EXPECT_EQ(expectCellsLand(*sideways, *preview, previewOf(quarter, s)), 48);
    EXPECT_TRUE(closeColour(preview->pixel(300, 5), cellColour(1, 0)));

    // "Left" turns the other way: the same square, half a turn round.
    const ImageRef left =
        RollSquare::makeSquare(*landscape->withOrientation(ImageOrientation::Left), 1500);
    const Mapping otherQuarter = [&](double i, double j) {
        const platform::Point p = quarter(i, j);
        return platform::Point{s - p.x, s - p.y};
    };
    EXPECT_EQ(expectCellsLand(*landscape, *left, otherQuarter), 48);
}

TEST(RollSquareTest, PortraitIsCutTopAndBottomAndTurnedByItsFlag) {
    const double s = 1200, h = 1600, k = 1;
    const ImageRef portrait = gridPhotograph(1200, 1600, ImageOrientation::Up);
    const ImageRef square = RollSquare::makeSquare(*portrait, RollSquare::squareSide("iPhone1,2"));
    ASSERT_TRUE(square);
    ASSERT_EQ(square->pixelWidth(), 1200);
    const Mapping mapping = [&](double i, double j) {
        return platform::Point{i * k, (s + h * k) / 2 - j * k};
    };
    EXPECT_EQ(expectCellsLand(*portrait, *square, mapping), 48);
    // Bitmap row 200 is the square's last row; the 200 rows above it were cut.
    EXPECT_TRUE(closeColour(square->pixel(600, 1198), cellColour(4, 1)));

    // Flagged "right", it is a landscape picture: turned a quarter clockwise, its seen sides
    // (the bitmap's first and last 200 rows) cut, then mirrored.
    const ImageRef flagged =
        RollSquare::makeSquare(*portrait->withOrientation(ImageOrientation::Right), 1200);
    const Mapping turned = [&](double i, double j) {
        return platform::Point{(h + s) / 2 - j * k, s - i * k};
    };
    EXPECT_EQ(expectCellsLand(*portrait, *flagged, turned), 48);
}

class LibraryImportTest : public ::testing::Test {
protected:
    void SetUp() override { camera_.launch(); }
    MorvaneAppDelegate& delegate() { return camera_.delegate(); }
    LibraryViewController& library() { return *delegate().libraryController(); }

    TempHome home_;
    LaunchedCamera camera_;
};

TEST_F(LibraryImportTest, APickMakesBothPicturesShowsThePreviewAndSendsThePickerAway) {
    delegate().setPlatformString("iPhone1,1");
    delegate().libraryButtonTouched();
    camera_.runFor(1);
    ASSERT_TRUE(library().rollController());
    EXPECT_EQ(library().modalViewController(), library().rollController());

    const auto file = home_.root() / "photo.png";
    ASSERT_TRUE(gridPhotograph(400, 300, ImageOrientation::Up)->writePng(file));
    std::string error;
    ASSERT_TRUE(library().rollController()->pickFile(file, error)) << error;
    camera_.runFor(1);

    ASSERT_TRUE(delegate().libraryPhoto()->originalImage());
    EXPECT_EQ(delegate().libraryPhoto()->originalImage()->pixelWidth(), 1200);
    ASSERT_TRUE(delegate().libraryPhoto()->resizedImage());
    EXPECT_EQ(delegate().libraryPhoto()->resizedImage()->pixelWidth(), 320);
    EXPECT_EQ(delegate().libraryPhoto()->libraryPhotoView()->image(),
              delegate().libraryPhoto()->resizedImage());
    EXPECT_FALSE(delegate().libraryPhoto()->libraryPhotoView()->isHidden());
    EXPECT_FALSE(library().modalViewController());
    EXPECT_EQ(library().view()->transform().ty, 480);
    EXPECT_TRUE(delegate().isEditMode());

    // Print quality plays no part in the square's side.
    const ImageRef photo = gridPhotograph(300, 200, ImageOrientation::Up);
    for (const bool high : {false, true}) {
        delegate().setIsHighQuality(high);
        delegate().setPlatformString("iPhone2,1");
        delegate().loadImageFromRoll(photo);
        EXPECT_EQ(delegate().libraryPhoto()->originalImage()->pixelWidth(), 1500);
        delegate().setPlatformString("iPhone1,2");
        delegate().loadImageFromRoll(photo);
        EXPECT_EQ(delegate().libraryPhoto()->originalImage()->pixelWidth(), 1200);
    }
}

TEST_F(LibraryImportTest, CancelAfterAPickHidesThePreviewAndLeavesEditMode) {
    delegate().libraryButtonTouched();
    delegate().loadImageFromRoll(gridPhotograph(300, 200, ImageOrientation::Up));
    camera_.runFor(1);
    const ImageRef kept = delegate().libraryPhoto()->originalImage();
    ASSERT_TRUE(kept);

    delegate().libraryButtonTouched();
    camera_.runFor(1);
    library().rollController()->cancelPicking();
    camera_.runFor(1);
    EXPECT_FALSE(delegate().isEditMode());
    EXPECT_TRUE(delegate().libraryPhoto()->libraryPhotoView()->isHidden());
    EXPECT_FALSE(library().modalViewController());
    EXPECT_EQ(library().view()->transform().ty, 480);
    EXPECT_EQ(delegate().libraryPhoto()->originalImage(), kept);

    // A pick without a picture changes no picture and does not leave the picker on screen.
    delegate().libraryButtonTouched();
    camera_.runFor(1);
    delegate().loadImageFromRoll(nullptr);
    camera_.runFor(1);
    EXPECT_EQ(delegate().libraryPhoto()->originalImage(), kept);
    EXPECT_FALSE(library().modalViewController());
}

} // namespace

namespace {

// A photograph picked from the library, stored under each of the eight EXIF orientations:
// the preview shows it upright and the square holds it mirrored top to bottom, exactly as the
// same picture stored upright would be.
class OrientedPickTest : public LibraryImportTest {
protected:
    // Picks the quarters picture seen at width × height, stored under an orientation: a JPEG
    // or WebP by its EXIF tag, a HEIC by its own transformation (and the EXIF copy).
    void pick(int orientation, int width, int height, const std::string& kind = "jpg") {
        const auto file = home_.root() / ("photo" + std::to_string(orientation) + "." + kind);
        ASSERT_TRUE(
            kind == "heic"   ? phoneformats::writeQuartersHeic(file, orientation, width, height)
            : kind == "webp" ? phoneformats::writeQuartersWebp(file, orientation, width, height)
                             : oriented::writeQuarters(file, orientation, width, height));
        delegate().libraryButtonTouched();
        camera_.runFor(1);
        std::string error;
        ASSERT_TRUE(library().rollController()->pickFile(file, error)) << error;
        camera_.runFor(1);
        ASSERT_TRUE(delegate().libraryPhoto()->originalImage());
        ASSERT_TRUE(delegate().libraryPhoto()->resizedImage());
    }
};

TEST_F(OrientedPickTest, EveryOrientationIsPickedUprightLandscapeAndPortrait) {
    delegate().setPlatformString("iPhone2,1");
    for (const std::string kind : {"jpg", "heic", "webp"})
        for (const auto& [width, height] : {std::pair{480, 360}, std::pair{360, 480}}) {
            for (int orientation = 1; orientation <= 8; ++orientation) {
                SCOPED_TRACE(kind + " seen " + std::to_string(width) + "x" +
                             std::to_string(height) + ", orientation " +
                             std::to_string(orientation));
                pick(orientation, width, height, kind);
                const Image& preview = *delegate().libraryPhoto()->resizedImage();
                const Image& square = *delegate().libraryPhoto()->originalImage();
                ASSERT_EQ(square.pixelWidth(), 1500);
                for (const bool right : {false, true}) {
                    for (const bool bottom : {false, true}) {
                        const std::uint32_t want = oriented::quarterColour(right, bottom);
                        const int px = right ? 240 : 80, py = bottom ? 240 : 80;
                        EXPECT_TRUE(oriented::near(preview.pixel(px, py), want))
                            << "preview at " << px << "," << py << ": " << std::hex
                            << preview.pixel(px, py);
                        // The square is stored with its rows reversed.
                        const int sx = right ? 1125 : 375, sy = bottom ? 375 : 1125;
                        EXPECT_TRUE(oriented::near(square.pixel(sx, sy), want))
                            << "square at " << sx << "," << sy << ": " << std::hex
                            << square.pixel(sx, sy);
                    }
                }
            }
        }
}

TEST_F(OrientedPickTest, PicturesThatWereAlreadyRightKeepTheirPixels) {
    // Recorded from the squares made before every orientation was honoured: an upright
    // landscape, an upright portrait, and a phone's portrait stored landscape with "right".
    struct Case {
        int orientation, width, height;
        std::uint64_t fingerprint;
    };
    delegate().setPlatformString("iPhone2,1");
    for (const Case& c :
         {Case{1, 480, 360, 0x6ed368cc4483e095ull}, Case{1, 360, 480, 0x6ed368cc4483e095ull},
          Case{6, 360, 480, 0xfb1af9e75a47a2bbull}}) {
        pick(c.orientation, c.width, c.height);
        EXPECT_EQ(oriented::fingerprint(*delegate().libraryPhoto()->originalImage()), c.fingerprint)
            << "orientation " << c.orientation << " seen " << c.width << "x" << c.height << std::hex
            << ": 0x" << oriented::fingerprint(*delegate().libraryPhoto()->originalImage());
    }
}

} // namespace
