#include "platform/graphics/TextLayout.h"
#include "platform/graphics/ImageContext.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

const TextLayout::Font kFont{"Helvetica", 15, false};

std::string joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const auto& line : lines)
        all += line;
    return all;
}

} // namespace

// However long the text and however narrow the box, the layout keeps to its lines and width;
// what it leaves out is ellipsised, and what fits is all there.
TEST(TextLayout, KeepsToItsWidthAndLinesAndEllipsisesTheRest) {
    const std::string path = "/home/someone/Pictures/Holidays/2023 Summer/Hokkaido/写真 アルバム";
    const std::string words = "Full-size prints go to a folder of the pictures folder.\n\n"
                              "The gallery keeps the twenty most recent ones.";
    for (const std::string& text : {path, words})
        for (double width : {30.0, 120.0, 270.0})
            for (int maxLines : {1, 2, 3}) {
                for (auto ellipsis : {TextLayout::Ellipsis::End, TextLayout::Ellipsis::Middle}) {
                    const TextLayout layout(text, kFont, width, maxLines,
                                            TextLayout::Alignment::Center, ellipsis);
                    const TextLayout free(text, kFont, width, 0, TextLayout::Alignment::Center);
                    EXPECT_LE(layout.lineCount(), maxLines) << width << " " << text;
                    EXPECT_GE(layout.lineCount(), 1);
                    EXPECT_LE(layout.usedWidth(), width + 0.01) << width << " " << text;
                    EXPECT_EQ(layout.isEllipsised(), free.lineCount() > maxLines)
                        << width << " " << maxLines;
                    EXPECT_LE(free.usedWidth(), width + 0.01);
                }
            }
    // Wide enough, nothing is cut and every character is on a line, in order.
    const TextLayout wide(path, kFont, 2000, 1, TextLayout::Alignment::Left);
    EXPECT_FALSE(wide.isEllipsised());
    EXPECT_EQ(wide.lines(), std::vector<std::string>{path});
    const TextLayout wrapped(path, kFont, 80, 0, TextLayout::Alignment::Left);
    EXPECT_GT(wrapped.lineCount(), 2);
    std::string spaced = path;
    std::erase(spaced, ' ');
    std::string all = joined(wrapped.lines());
    std::erase(all, ' ');
    EXPECT_EQ(all, spaced);
}

// A file name may hold any bytes: they show as replacement characters, the rest as it is.
TEST(TextLayout, BytesThatAreNotUtf8StillLayOut) {
    const TextLayout layout(std::string("IMG\xff\xfe_01\0.jpg", 13), kFont, 300, 1,
                            TextLayout::Alignment::Left);
    ASSERT_EQ(layout.lineCount(), 1);
    EXPECT_EQ(layout.lines()[0], "IMG\xEF\xBF\xBD\xEF\xBF\xBD_01.jpg");
    EXPECT_GT(layout.usedWidth(), 30);
    EXPECT_FALSE(TextLayout::isPlainText("caf\xC3\xA9"));
    EXPECT_FALSE(TextLayout::isPlainText("tab\there"));
    EXPECT_TRUE(TextLayout::isPlainText("Full-size prints go to\n~/Pictures/Morvane."));
}

// Laid out once in points, a layout draws in the same place at any scale: the window at two
// pixels a point shows what a headless shot shows, twice as large.
TEST(TextLayout, DrawsInTheSamePlaceAtEveryScale) {
    const TextLayout layout("Full-size prints go to ~/Pictures/写真 אלבום", kFont, 150, 2,
                            TextLayout::Alignment::Center);
    struct Box {
        int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
    };
    std::vector<Box> boxes;
    for (double scale : {1.0, 2.0}) {
        ImageContext context(Size{170, 60}, scale);
        layout.draw(context, {10, 5}, 19, 15, {1, 1, 1, 1});
        const ImageRef image = context.makeImage();
        Box box;
        for (int y = 0; y < image->pixelHeight(); ++y)
            for (int x = 0; x < image->pixelWidth(); ++x)
                if ((image->pixel(x, y) >> 24) > 128) {
                    box.left = std::min(box.left, x);
                    box.right = std::max(box.right, x);
                    box.top = std::min(box.top, y);
                    box.bottom = std::max(box.bottom, y);
                }
        ASSERT_GE(box.right, 0) << "no ink at scale " << scale;
        boxes.push_back(box);
    }
    EXPECT_NEAR(boxes[1].left, 2 * boxes[0].left, 3);
    EXPECT_NEAR(boxes[1].right, 2 * boxes[0].right, 3);
    EXPECT_NEAR(boxes[1].top, 2 * boxes[0].top, 3);
    EXPECT_NEAR(boxes[1].bottom, 2 * boxes[0].bottom, 3);
    // Inside the width it was given, from its origin.
    EXPECT_GE(boxes[0].left, 10);
    EXPECT_LE(boxes[0].right, 161);
}
