#include "capture/DateStamp.h"

#include "platform/foundation/DateFormatter.h"
#include "platform/graphics/ImageContext.h"

namespace {

constexpr double kStandardFontSize = 20;
constexpr double kHighQualityFontSize = 32;
constexpr double kLargestPrintFontSize = 40;
constexpr int kLargestPrintSide = 1500;

} // namespace

DateStamp DateStamp::forPrint(std::chrono::system_clock::time_point date, bool isHighQuality,
                              int printSide, int categoryNumber) {
    return DateStamp(textForDate(date), fontSizeFor(isHighQuality, printSide),
                     categoryNumber == kWhiteInkCategory);
}

std::string DateStamp::textForDate(std::chrono::system_clock::time_point date) {
    const platform::DateFormatter formatter(kDateFormat, kLocale);
    return formatter.stringFromDate(date);
}

double DateStamp::fontSizeFor(bool isHighQuality, int printSide) {
    if (!isHighQuality)
        return kStandardFontSize;
    return printSide >= kLargestPrintSide ? kLargestPrintFontSize : kHighQualityFontSize;
}

void DateStamp::drawInContext(platform::ImageContext& context) const {
    if (isWhiteInk_) {
        const double translucentWhite[4] = {1.0, 1.0, 1.0, 0.9};
        context.setFillColor(translucentWhite);
    }
    context.setBlendMode(platform::BlendMode::Normal);
    context.selectFont(kFontName, fontSize_);
    context.setTextDrawingMode(0);
    context.setShouldAntialias(true);
    context.showTextAtPoint(baselineOrigin(), text_);
}
