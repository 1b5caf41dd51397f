#include "platform/graphics/ImageContext.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextBlock.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

using namespace platform;

namespace {

// Whether any installed font has every character of `text`; a test that needs a script the
// machine has no font for skips, saying which.
bool someFontHas(const std::string& text) {
    FcInit();
    FcCharSet* wanted = FcCharSetCreate();
    const auto* bytes = reinterpret_cast<const FcChar8*>(text.data());
    int length = static_cast<int>(text.size());
    while (length > 0) {
        FcChar32 c = 0;
        const int used = FcUtf8ToUcs4(bytes, &c, length);
        if (used <= 0)
            break;
        FcCharSetAddChar(wanted, c);
        bytes += used;
        length -= used;
    }
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddCharSet(pattern, FC_CHARSET, wanted);
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
    const bool found = fonts && fonts->nfont > 0;
    if (fonts)
        FcFontSetDestroy(fonts);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    FcCharSetDestroy(wanted);
    return found;
}

#define SKIP_WITHOUT_FONT_FOR(text, script)                                                        \
    if (!someFontHas(text))                                                                        \
    GTEST_SKIP() << "no installed font has " script " letters (fonts-wqy-microhei has CJK, "       \
                    "fonts-dejavu-core Hebrew)"

std::vector<std::string> characters(const std::string& text) {
    std::vector<std::string> result;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = 1;
        while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80)
            ++n;
        result.push_back(text.substr(i, n));
        i += n;
    }
    return result;
}

// Text drawn white on transparent, so a pixel's alpha is its ink.
ImageRef drawn(const TextBlock& text, Size size) {
    ImageContext context(size);
    text.draw(context, {0, 0, size.width, size.height});
    return context.makeImage();
}

int inkOf(const Image& image) {
    int ink = 0;
    for (int y = 0; y < image.pixelHeight(); ++y)
        for (int x = 0; x < image.pixelWidth(); ++x)
            ink += (image.pixel(x, y) >> 24) > 64;
    return ink;
}

struct InkBox {
    int left = std::numeric_limits<int>::max(), top = left, right = -1, bottom = -1;
    bool empty() const { return right < 0; }
};

InkBox inkBox(const Image& image) {
    InkBox box;
    for (int y = 0; y < image.pixelHeight(); ++y)
        for (int x = 0; x < image.pixelWidth(); ++x)
            if ((image.pixel(x, y) >> 24) > 0) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

struct Match {
    int x = -1;          // in `word`, of the letter's left ink edge
    double mismatch = 1; // the alpha difference there, as a share of the letter's ink
};

// Where the inked part of `letter` best matches `word` (least alpha difference).
Match bestMatch(const Image& word, const Image& letter) {
    const InkBox box = inkBox(letter);
    if (box.empty())
        return {};
    const int w = box.right - box.left + 1, h = box.bottom - box.top + 1;
    long best = std::numeric_limits<long>::max();
    int bestX = -1;
    for (int oy = 0; oy + h <= word.pixelHeight(); ++oy)
        for (int ox = 0; ox + w <= word.pixelWidth(); ++ox) {
            long difference = 0;
            for (int y = 0; y < h && difference < best; ++y)
                for (int x = 0; x < w; ++x)
                    difference += std::abs(int(word.pixel(ox + x, oy + y) >> 24) -
                                           int(letter.pixel(box.left + x, box.top + y) >> 24));
            if (difference < best) {
                best = difference;
                bestX = ox;
            }
        }
    long ink = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ink += letter.pixel(box.left + x, box.top + y) >> 24;
    return {bestX, ink > 0 ? double(best) / double(ink) : 1};
}

const TextStyle kStyle{20, false, Color::white(), TextAlignment::Left};

} // namespace

// The controls' face has no Japanese or Hebrew letters: drawn alone it shows nothing or the
// same empty box for each. Every character must draw, and no two alike.
TEST(UserText, EveryCharacterOfAJapaneseOrHebrewNameDrawsItsOwnLetter) {
    SKIP_WITHOUT_FONT_FOR("写真フォルダ", "Japanese");
    SKIP_WITHOUT_FONT_FOR("שלום", "Hebrew");
    for (const std::string name : {"写真フォルダ", "שלום"}) {
        std::vector<ImageRef> letters;
        for (const std::string& c : characters(name)) {
            letters.push_back(drawn(TextBlock(c, kStyle), {40, 30}));
            EXPECT_GT(inkOf(*letters.back()), 4) << c << " in " << name;
        }
        for (std::size_t i = 0; i < letters.size(); ++i)
            for (std::size_t j = i + 1; j < letters.size(); ++j) {
                int differ = 0;
                for (int y = 0; y < 30; ++y)
                    for (int x = 0; x < 40; ++x)
                        differ += letters[i]->pixel(x, y) != letters[j]->pixel(x, y);
                EXPECT_GT(differ, 4) << "characters " << i << " and " << j << " of " << name;
            }
        // A label showing user text draws the whole name, wider than any one letter.
        auto label = std::make_shared<Label>(Rect{0, 0, 200, 30});
        label->setShowsUserText(true);
        label->setFontSize(20);
        label->setTextColor(Color::white());
        label->setText(name);
        ImageContext context(Size{200, 30});
        label->draw(context);
        const InkBox whole = inkBox(*context.makeImage());
        const InkBox one = inkBox(*letters.front());
        ASSERT_FALSE(whole.empty()) << name;
        EXPECT_GT(whole.right - whole.left, 2 * (one.right - one.left)) << name;
    }
}

// Hebrew is read from the right: its first letter stands right of its last.
TEST(UserText, HebrewRunsRightToLeft) {
    const std::string word = "שלום";
    SKIP_WITHOUT_FONT_FOR(word, "Hebrew");
    const auto image = drawn(TextBlock(word, kStyle), {120, 30});
    const auto first = drawn(TextBlock("ש", kStyle), {40, 30});
    const auto last = drawn(TextBlock("ם", kStyle), {40, 30});
    const int firstX = bestMatch(*image, *first).x;
    const int lastX = bestMatch(*image, *last).x;
    ASSERT_GE(firstX, 0);
    ASSERT_GE(lastX, 0);
    EXPECT_GT(firstX, lastX);
}

// A name too long for its box is cut with an ellipsis inside the box, in every direction.
TEST(UserText, LongNamesStayInsideTheirBox) {
    const std::string japanese =
        "/home/someone/写真/旅行/二〇二三年の夏休み/北海道と東北の写真をまとめたフォルダ";
    SKIP_WITHOUT_FONT_FOR(japanese, "Japanese");
    for (const auto& text : {japanese, std::string(200, 'W') + " " + std::string(200, 'i')}) {
        const TextBlock block(text, {15, false, Color::white(), TextAlignment::Center});
        // Two lines' room in a 200 by 60 context: nothing below the box, nor either side.
        const Rect box{20, 10, 160, 2 * block.lineHeight()};
        ImageContext context(Size{200, 60});
        block.draw(context, box);
        const InkBox ink = inkBox(*context.makeImage());
        ASSERT_FALSE(ink.empty()) << text;
        EXPECT_GE(ink.left, 19) << text;
        EXPECT_LE(ink.right, 181) << text;
        EXPECT_GE(ink.top, 10) << text;
        EXPECT_LE(ink.bottom, 10 + 2 * block.lineHeight() + 1) << text;
    }
    // A label cuts a long path in the middle: its last folder's last letter is still there,
    // at the label's right end.
    auto label = std::make_shared<Label>(Rect{0, 0, 120, 30});
    label->setShowsUserText(true);
    label->setTextColor(Color::white());
    label->setFontSize(14);
    label->setText(japanese);
    ImageContext context(Size{120, 30});
    label->draw(context);
    const auto shown = context.makeImage();
    const auto lastLetter = drawn(TextBlock("ダ", {14, false, Color::white()}), {30, 30});
    const Match match = bestMatch(*shown, *lastLetter);
    EXPECT_GT(match.x, 90);
    EXPECT_LT(match.mismatch, 0.25);
}

// Plain ASCII that fits keeps the screen's own lettering pixel for pixel, whichever way the
// label is marked: only what needs it goes another way.
TEST(UserText, PlainTextThatFitsLooksExactlyAsTheScreensLettering) {
    for (const char* font : {"Helvetica", "Helvetica-Bold", "MarkerFelt-Wide"})
        for (const char* text : {"Full-size prints go to", "/home/someone/Pictures/Morvane"}) {
            std::vector<ImageRef> images;
            for (bool user : {false, true}) {
                auto label = std::make_shared<Label>(Rect{0, 0, 300, 24});
                label->setShowsUserText(user);
                label->setFontName(font);
                label->setFontSize(14);
                label->setTextColor(Color::white());
                label->setTextAlignment(TextAlignment::Center);
                label->setText(text);
                ImageContext context(Size{300, 24}, 2);
                label->draw(context);
                images.push_back(context.makeImage());
            }
            ASSERT_GT(inkOf(*images[0]), 20) << font;
            int differ = 0;
            for (int y = 0; y < images[0]->pixelHeight(); ++y)
                for (int x = 0; x < images[0]->pixelWidth(); ++x)
                    differ += images[0]->pixel(x, y) != images[1]->pixel(x, y);
            EXPECT_EQ(differ, 0) << font << ": " << text;
        }
}
