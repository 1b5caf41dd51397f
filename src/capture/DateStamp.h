#pragma once

#include "platform/graphics/Geometry.h"

#include <chrono>
#include <string>

namespace platform {
class ImageContext;
}

// The date written in the corner of a print, in a felt-pen hand.
class DateStamp {
public:
    static constexpr const char* kFontName = "MarkerFelt-Thin";
    static constexpr const char* kDateFormat = "MMMM dd, yyyy";
    static constexpr const char* kLocale = "en_US";
    // The only category whose frames are dark enough to need light ink.
    static constexpr int kWhiteInkCategory = 9;

    DateStamp(std::string text, double fontSize, bool isWhiteInk)
        : text_(std::move(text)), fontSize_(fontSize), isWhiteInk_(isWhiteInk) {}

    // The stamp for a print made at `date`, in the local time zone. Makes a date formatter,
    // so a caller that does not date its prints must not call it.
    static DateStamp forPrint(std::chrono::system_clock::time_point date, bool isHighQuality,
                              int printSide, int categoryNumber);

    // "January 05, 2026": the full English month name, a two-digit day and the year, in the
    // local time zone.
    static std::string textForDate(std::chrono::system_clock::time_point date);

    // Font size in points (= pixels on a print): small for standard prints, larger for
    // high-quality ones, largest on the biggest print side.
    static double fontSizeFor(bool isHighQuality, int printSide);

    const std::string& text() const { return text_; }
    double fontSize() const { return fontSize_; }
    bool isWhiteInk() const { return isWhiteInk_; }

    // Where the text's baseline starts, in a y-up space with its origin at the print's
    // bottom-left corner, in pixels: proportional to the font size, so every print size
    // keeps the same margins.
    platform::Point baselineOrigin() const { return {2.5 * fontSize_, fontSize_}; }

    // Draws the text into a context whose space has already been flipped to y-up. Sets the
    // blend mode to normal and, for white ink, the fill colour; otherwise the fill colour the
    // context has (a fresh context's opaque black) is used.
    void drawInContext(platform::ImageContext& context) const;

private:
    std::string text_;
    double fontSize_;
    bool isWhiteInk_;
};
