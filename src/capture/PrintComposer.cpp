#include "capture/PrintComposer.h"

#include "capture/FilmFrame.h"
#include "capture/FilmLook.h"
#include "capture/PrintSize.h"
#include "capture/StripPages.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Date.h"
#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/ImageContext.h"

using platform::AffineTransform;
using platform::Image;
using platform::ImageContext;
using platform::ImageRef;
using platform::Rect;

namespace {

bool contextHasSize(const ImageContext& context, int side) {
    return context.pixelWidth() == side && context.pixelHeight() == side;
}

} // namespace

ImageRef PrintComposer::prepareCameraSquare(const Image& cameraStill, int printSide, int cropSide) {
    if (printSide <= 0 || cropSide <= 0)
        return nullptr;
    // A still smaller than the crop side gives what exists, stretched unevenly to the square.
    const ImageRef cut = cameraStill.cropped(Rect(0, 0, cropSide, cropSide));
    if (!cut)
        return nullptr;

    ImageContext context(printSide, printSide);
    if (!contextHasSize(context, printSide))
        return nullptr;
    const double b = printSide;
    const AffineTransform turn =
        AffineTransform::makeTranslation(b, b).scaled(-1, 1).rotated(kCameraTurnRadians);
    context.scaleCTM(-1, 1);
    context.translateCTM(-b, 0);
    context.concatCTM(turn);
    context.drawImage(Rect(0, 0, b, b), *cut);
    return context.makeImage();
}

ImageRef PrintComposer::drawFullPrint(const Image& lookResult, int printSide,
                                      const Image* filmFrame, platform::BlendMode frameBlendMode,
                                      const std::optional<DateStamp>& dateStamp) {
    if (printSide <= 0)
        return nullptr;
    ImageContext context(printSide, printSide);
    if (!contextHasSize(context, printSide))
        return nullptr;
    const double b = printSide;
    // A y-up space: pictures keep their stored orientation, and the date reads upright.
    context.scaleCTM(1, -1);
    context.translateCTM(0, -b);
    context.drawImage(Rect(0, 0, b, b), lookResult);
    return finishFullPrint(context, filmFrame, frameBlendMode, dateStamp);
}

ImageRef PrintComposer::drawLookedPrint(const FilmLook& look, const Image& lookInput,
                                        const Image* filmFrame, platform::BlendMode frameBlendMode,
                                        const std::optional<DateStamp>& dateStamp) {
    const int side = lookInput.pixelWidth();
    ImageContext context(side, side);
    if (!contextHasSize(context, side))
        return nullptr;
    // The look's own steps, in the look's own space: the print then holds the look's result
    // stored as it is, which is what drawing that result into the y-up space gives.
    look.drawInto(context, lookInput);
    // Back to a fresh context's fill, which the date's dark ink is drawn in.
    context.setRGBFillColor(0, 0, 0, 1);
    const double b = side;
    context.scaleCTM(1, -1);
    context.translateCTM(0, -b);
    return finishFullPrint(context, filmFrame, frameBlendMode, dateStamp);
}

ImageRef PrintComposer::finishFullPrint(ImageContext& context, const Image* filmFrame,
                                        platform::BlendMode frameBlendMode,
                                        const std::optional<DateStamp>& dateStamp) {
    const double b = context.pixelWidth();
    const Rect whole(0, 0, b, b);
    context.setBlendMode(frameBlendMode);
    if (filmFrame)
        context.drawImage(whole, *filmFrame);
    if (dateStamp)
        dateStamp->drawInContext(context);
    return context.makeImage();
}

ImageRef PrintComposer::smallPrint(const Image& fullPrint) {
    ImageContext context(kSmallPrintSide, kSmallPrintSide);
    if (!contextHasSize(context, kSmallPrintSide))
        return nullptr;
    context.scaleCTM(1, -1);
    context.translateCTM(0, -kSmallPrintSide);
    context.drawImage(Rect(0, 0, kSmallPrintSide, kSmallPrintSide), fullPrint);
    return context.makeImage();
}

std::string PrintComposer::printName(std::chrono::system_clock::time_point date) {
    return std::to_string(platform::Date::secondsSince1970(date)) + ".jpg";
}

std::string PrintComposer::fullSizeName(std::string_view printName) {
    return "big_" + std::string(printName);
}

ImageRef PrintComposer::filmFrameFromBundle(const std::string& name) {
    const auto path = platform::Bundle::main().pathForResource(name, "png");
    return path ? Image::contentsOfFile(*path) : nullptr;
}

bool PrintComposer::composeCameraPrint(const Image& cameraStill, const PrintInputs& inputs,
                                       PrintSink& sink) {
    const PrintSize size = PrintSize::forModel(inputs.isHighQuality, inputs.platformString);
    // The square's context is closed before the look opens its own.
    const ImageRef square = prepareCameraSquare(cameraStill, size.printSide, size.cropSide);
    if (!square)
        return false;
    return composeFromLookInput(*square, size.printSide, inputs, sink);
}

bool PrintComposer::composeLibraryPrint(const Image& original, const PrintInputs& inputs,
                                        PrintSink& sink) {
    const PrintSize size = PrintSize::forModel(inputs.isHighQuality, inputs.platformString);
    return composeFromLookInput(original, size.printSide, inputs, sink);
}

ImageRef PrintComposer::libraryFullPrint(const Image& original, const PrintInputs& inputs) {
    const PrintSize size = PrintSize::forModel(inputs.isHighQuality, inputs.platformString);
    return fullFromLookInput(original, size.printSide, size.printSide, inputs,
                             inputs.now ? inputs.now() : platform::Date::now());
}

ImageRef PrintComposer::printAtOwnSize(const Image& lookInput, const PrintInputs& inputs,
                                       std::chrono::system_clock::time_point now) {
    const int side = lookInput.pixelWidth();
    if (side <= 0 || lookInput.pixelHeight() != side)
        return nullptr;
    const PrintSize size = PrintSize::forModel(inputs.isHighQuality, inputs.platformString);
    return fullFromLookInput(lookInput, side, size.printSide, inputs, now);
}

ImageRef PrintComposer::fullFromLookInput(const Image& lookInput, int printSide, int datedSide,
                                          const PrintInputs& inputs,
                                          std::chrono::system_clock::time_point now) {
    const int category = StripPages::categoryNumberForOffset(inputs.categoryOffsetX);
    const int frameNumber = StripPages::frameNumberForOffset(inputs.frameOffsetX);

    const FilmLook& look = FilmLook::number(category);
    const FilmFrame frame = FilmFrame::forCategoryAndFrame(category, frameNumber);
    const ImageRef framePicture =
        inputs.loadFilmFrame ? inputs.loadFilmFrame(frame.name) : filmFrameFromBundle(frame.name);

    std::optional<DateStamp> dateStamp;
    if (inputs.canDate) {
        dateStamp = DateStamp::forPrint(now, inputs.isHighQuality, datedSide, category);
        // Size and place both follow the font size, so the date shrinks with the print.
        if (datedSide != printSide && datedSide > 0)
            dateStamp = DateStamp(dateStamp->text(), dateStamp->fontSize() * printSide / datedSide,
                                  dateStamp->isWhiteInk());
    }
    // Both sources are stored upside down; the look's row reversal makes them upright. A look
    // input of the print's size is treated in the print's own pixels, one picture and one
    // pass fewer than treating it apart and copying it in; any other is treated at its own
    // size and then stretched over the print.
    if (lookInput.pixelWidth() == printSide && lookInput.pixelHeight() == printSide)
        return drawLookedPrint(look, lookInput, framePicture.get(), frame.blendMode, dateStamp);
    const ImageRef looked = look.apply(lookInput);
    if (!looked)
        return nullptr;
    return drawFullPrint(*looked, printSide, framePicture.get(), frame.blendMode, dateStamp);
}

bool PrintComposer::composeFromLookInput(const Image& lookInput, int printSide,
                                         const PrintInputs& inputs, PrintSink& sink) {
    // One reading of the clock names and dates the print, so the two always agree.
    const auto now = inputs.now ? inputs.now() : platform::Date::now();
    const ImageRef full = fullFromLookInput(lookInput, printSide, printSide, inputs, now);
    if (!full)
        return false;
    const ImageRef small = smallPrint(*full);
    if (!small)
        return false;

    const std::string name = printName(now);
    sink.saveImageWithName(small, name);
    sink.saveImage2WithName(full, fullSizeName(name));
    sink.writeToSavedPhotosAlbum(full);
    return true;
}
