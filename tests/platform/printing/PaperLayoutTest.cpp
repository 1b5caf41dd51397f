#include "platform/printing/PageLayout.h"
#include "platform/printing/PageRaster.h"
#include "platform/printing/PhotoMedia.h"

#include "support/IppPrinter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

using platform::Image;
using platform::MediaSize;
using platform::PageLayout;
using platform::PageRaster;

namespace {

// A print in four colours, one a quarter, so that a turn or a mirror shows.
platform::ImageRef quarters(int side) {
    std::vector<std::uint32_t> argb(std::size_t(side) * side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const bool right = x >= side / 2, bottom = y >= side / 2;
            argb[std::size_t(y) * side + x] =
                !bottom ? (right ? 0xff00c000u : 0xffe00000u) : (right ? 0xff202020u : 0xff0000e0u);
        }
    return Image::fromPixels(side, side, argb);
}

std::uint32_t rgbAt(const Image& page, double x, double y) {
    return page.pixel(int(x), int(y)) & 0xffffff;
}

} // namespace

TEST(PhotoMediaTest, PrefersASquareSheetThenPostcardThenTheDefault) {
    EXPECT_EQ(
        MediaSize::photoMedia({"na_letter_8.5x11in", "na_index-4x6_4x6in", "oe_square-photo_5x5in"},
                              "na_letter_8.5x11in")
            ->name,
        "oe_square-photo_5x5in");
    EXPECT_EQ(MediaSize::photoMedia({"iso_a4_210x297mm", "oe_photo-l_3.5x5in",
                                     "om_small-photo_100x150mm", "na_5x7_5x7in"},
                                    "iso_a4_210x297mm")
                  ->name,
              "om_small-photo_100x150mm");
    EXPECT_EQ(MediaSize::photoMedia({"iso_a4_210x297mm", "na_5x7_5x7in"}, "iso_a4_210x297mm")->name,
              "na_5x7_5x7in");
    // No photo size: the printer's own default; a default that names no size: the first.
    EXPECT_EQ(
        MediaSize::photoMedia({"iso_a4_210x297mm", "na_letter_8.5x11in"}, "na_letter_8.5x11in")
            ->name,
        "na_letter_8.5x11in");
    EXPECT_EQ(MediaSize::photoMedia({"bogus", "iso_a5_148x210mm"}, "bogus")->name,
              "iso_a5_148x210mm");
    EXPECT_FALSE(MediaSize::photoMedia({}, ""));
    const auto postcard = MediaSize::named("na_index-4x6_4x6in");
    ASSERT_TRUE(postcard);
    EXPECT_NEAR(postcard->width, 101.6, 0.01);
    EXPECT_NEAR(postcard->height, 152.4, 0.01);
}

// On every sheet the card (print and borders) lies wholly on the sheet; where the sheet can
// hold it, the print has an instant print's own size.
TEST(PageLayoutTest, TheCardFitsEverySheetAndKeepsItsSizeWhereItCan) {
    const char* sheets[] = {"na_index-4x6_4x6in",      "oe_square-photo_5x5in",
                            "om_square-photo_89x89mm", "na_letter_8.5x11in",
                            "na_index-3x5_3x5in",      "iso_a6_105x148mm"};
    for (const char* name : sheets) {
        for (int dpi : {300, 600}) {
            SCOPED_TRACE(std::string(name) + " at " + std::to_string(dpi));
            auto media = MediaSize::named(name);
            ASSERT_TRUE(media);
            for (bool landscape : {false, true}) {
                if (landscape)
                    std::swap(media->width, media->height);
                const PageLayout layout = PageLayout::forMedia(*media, dpi);
                const double mm = dpi / 25.4;
                const double scale = layout.printSide / (PageLayout::kPrintSide * mm);
                EXPECT_LE(scale, 1.0 + 1e-9);
                const double border = PageLayout::kBorder * scale * mm;
                const double bottom = PageLayout::kBottomBorder * scale * mm;
                const double left = layout.turned ? bottom : border;
                const double right = border;
                EXPECT_GE(layout.printX - left, -1);
                EXPECT_LE(layout.printX + layout.printSide + right, layout.pageWidth + 1);
                EXPECT_GE(layout.printY - border, -1);
                EXPECT_LE(layout.printY + layout.printSide + (layout.turned ? border : bottom),
                          layout.pageHeight + 1);
                EXPECT_EQ(layout.turned, media->width > media->height);
                const double cardShort = PageLayout::kPrintSide + 2 * PageLayout::kBorder;
                const double cardLong =
                    PageLayout::kPrintSide + PageLayout::kBorder + PageLayout::kBottomBorder;
                const bool fits = std::min(media->width, media->height) >= cardShort &&
                                  std::max(media->width, media->height) >= cardLong;
                if (fits)
                    EXPECT_NEAR(scale, 1.0, 1e-9);
                else
                    EXPECT_LT(scale, 1.0);
            }
        }
    }
}

// The sheet is drawn white with the print upright in its square, or turned a quarter
// clockwise on a sheet wider than tall; and PWG raster carries it to the byte.
TEST(PageRasterTest, DrawsThePrintInItsPlaceAndEncodesItExactly) {
    const auto print = quarters(400);
    auto media = MediaSize::named("na_index-4x6_4x6in");
    ASSERT_TRUE(media);
    for (bool landscape : {false, true}) {
        SCOPED_TRACE(landscape ? "landscape" : "portrait");
        MediaSize sheet = *media;
        if (landscape)
            std::swap(sheet.width, sheet.height);
        const PageLayout layout = PageLayout::forMedia(sheet, 300);
        const auto page = PageRaster::draw(*print, layout);
        ASSERT_TRUE(page);
        ASSERT_EQ(page->pixelWidth(), layout.pageWidth);
        const double q = layout.printSide / 4, x = layout.printX, y = layout.printY;
        EXPECT_EQ(rgbAt(*page, 2, 2), 0xffffffu);
        EXPECT_EQ(rgbAt(*page, x - 3, y + 2 * q), 0xffffffu);
        // Red at the print's top left; turned clockwise, it is at the top right.
        const std::uint32_t topLeft = rgbAt(*page, x + q, y + q);
        const std::uint32_t topRight = rgbAt(*page, x + 3 * q, y + q);
        const std::uint32_t bottomLeft = rgbAt(*page, x + q, y + 3 * q);
        if (!landscape) {
            EXPECT_EQ(topLeft, 0xe00000u);
            EXPECT_EQ(topRight, 0x00c000u);
            EXPECT_EQ(bottomLeft, 0x0000e0u);
        } else {
            EXPECT_EQ(topRight, 0xe00000u);
            EXPECT_EQ(topLeft, 0x0000e0u);
            EXPECT_EQ(rgbAt(*page, x + 3 * q, y + 3 * q), 0x00c000u);
        }

        // Named sheets are described upright; a wider-than-tall one only comes as a custom size.
        if (landscape) {
            EXPECT_TRUE(PageRaster::pwgRaster(*page, sheet.name, "srgb_8", 150).empty());
            continue;
        }
        for (const char* type : {"srgb_8", "sgray_8"}) {
            SCOPED_TRACE(type);
            const std::string document = PageRaster::pwgRaster(*page, sheet.name, type, 300);
            ASSERT_FALSE(document.empty());
            const auto file = std::filesystem::temp_directory_path() /
                              ("morvane-page-" + std::to_string(::getpid()) + ".pwg");
            std::ofstream(file, std::ios::binary) << document;
            const auto read = IppPrinter::readPwg(file);
            std::filesystem::remove(file);
            ASSERT_TRUE(read);
            ASSERT_EQ(read->width, page->pixelWidth());
            ASSERT_EQ(read->height, page->pixelHeight());
            EXPECT_EQ(read->dotsPerInch, 300);
            int wrong = 0;
            for (int py = 0; py < read->height; py += 7)
                for (int px = 0; px < read->width; px += 7) {
                    const std::uint32_t p = page->pixel(px, py);
                    const int r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
                    const std::uint8_t* got = read->at(px, py);
                    if (std::string(type) == "srgb_8")
                        wrong += got[0] != r || got[1] != g || got[2] != b;
                    else
                        wrong += std::abs(got[0] - (r * 2126 + g * 7152 + b * 722) / 10000) > 1;
                }
            EXPECT_EQ(wrong, 0);
        }
    }
}

TEST(PageRasterTest, RefusesASheetItCannotDrawOrAMediaNameWithoutASize) {
    const auto print = quarters(8);
    EXPECT_FALSE(PageRaster::draw(*print, PageLayout{}));
    const PageLayout layout = PageLayout::forMedia(*MediaSize::named("na_index-4x6_4x6in"), 72);
    const auto page = PageRaster::draw(*print, layout);
    ASSERT_TRUE(page);
    EXPECT_TRUE(PageRaster::pwgRaster(*page, "bogus", "srgb_8", 72).empty());
    // A page that is not the size of the media named would be printed shifted or cut.
    EXPECT_TRUE(PageRaster::pwgRaster(*page, "na_letter_8.5x11in", "srgb_8", 72).empty());
}
