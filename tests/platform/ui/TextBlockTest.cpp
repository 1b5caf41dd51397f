#include "platform/ui/TextBlock.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

std::string joined(const std::vector<std::string>& lines, const char* glue) {
    std::string all;
    for (std::size_t i = 0; i < lines.size(); ++i)
        all += (i ? glue : "") + lines[i];
    return all;
}

} // namespace

TEST(TextWrapping, LinesFitTheWidthAndKeepEveryWordInOrder) {
    const TextBlock text("Full size prints will remain in your camera roll and won't be deleted.",
                         {15, false, Color::white(), TextAlignment::Center});
    for (double width : {238.0, 120.0, 60.0}) {
        const auto lines = text.lines(width);
        ASSERT_GT(lines.size(), 1u) << width;
        for (const auto& line : lines) {
            EXPECT_LE(text.width(line), width + 1e-9) << line;
            EXPECT_FALSE(line.empty());
        }
        // Every character in order; where each word fits the width, broken only at spaces (a
        // word wider than the line is cut, which depends on the font the system has).
        const auto withoutSpaces = [](std::string t) {
            std::erase(t, ' ');
            return t;
        };
        EXPECT_EQ(withoutSpaces(joined(lines, "")), withoutSpaces(text.text())) << width;
        bool everyWordFits = true;
        for (std::size_t start = 0; start < text.text().size();) {
            std::size_t end = text.text().find(' ', start);
            if (end == std::string::npos)
                end = text.text().size();
            everyWordFits &= text.width(text.text().substr(start, end - start)) <= width;
            start = end + 1;
        }
        if (everyWordFits) {
            EXPECT_EQ(joined(lines, " "), text.text()) << width;
        }
        EXPECT_DOUBLE_EQ(text.height(width), lines.size() * text.lineHeight());
    }
    // Wide enough, it is one line; bold is wider than regular.
    EXPECT_EQ(text.lines(10000).size(), 1u);
    const TextBlock bold(text.text(), {15, true});
    EXPECT_GT(bold.width(text.text()), text.width(text.text()));
}

TEST(TextWrapping, NewlinesBreakAndAWordTooLongIsCutBetweenFoldersOrCharacters) {
    const TextBlock paragraphs("No photos yet.\n\nPut them here.", {16});
    const auto lines = paragraphs.lines(1000);
    EXPECT_EQ(lines, (std::vector<std::string>{"No photos yet.", "", "Put them here."}));

    const TextBlock path("/home/someone/Pictures/Holidays/2023", {16});
    const auto cut = path.lines(path.width("/home/someone/Pic"));
    ASSERT_GT(cut.size(), 1u);
    EXPECT_EQ(cut[0], "/home/someone/");
    EXPECT_EQ(joined(cut, ""), path.text());

    // Characters of several bytes are never split, even in a column narrower than one.
    const TextBlock accents("ééééé", {16});
    const auto narrow = accents.lines(1);
    EXPECT_EQ(narrow, (std::vector<std::string>(5, "é")));
    EXPECT_TRUE(TextBlock().lines(100).empty());
}
