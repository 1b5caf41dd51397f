#pragma once

#include "capture/DateStamp.h"
#include "capture/FilmLook.h"
#include "capture/PrintInputs.h"
#include "capture/PrintSink.h"

#include "platform/graphics/BlendMode.h"
#include "platform/graphics/Image.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace platform {
class ImageContext;
}

// Turns one picture into one finished print: treated with the category's film look, laid
// into a film frame, dated if wanted, and handed to a sink as a small and a full-size print.
// The camera and the library make prints the same way and differ only in the square the look
// is given. Keeps no state between prints: every function may run on several threads at once.
class PrintComposer {
public:
    static constexpr int kSmallPrintSide = 250; // pixels
    // Three quarter turns, as the camera's square was always turned (not exactly 3π/2).
    static constexpr double kCameraTurnRadians = 4.712389;

    // The camera path: the top-left cropSide square of the still's stored bitmap (whatever
    // part of it exists), turned and scaled into a printSide square, then printed.
    // Returns false, with the sink untouched, when no print can be made.
    static bool composeCameraPrint(const platform::Image& cameraStill, const PrintInputs& inputs,
                                   PrintSink& sink);
    // The library path: the prepared library square, printed as it is.
    static bool composeLibraryPrint(const platform::Image& original, const PrintInputs& inputs,
                                    PrintSink& sink);
    // The library path's full-size print alone, the very pixels composeLibraryPrint hands its
    // sink, for a caller that keeps nothing else (prints made from files); nullptr when no
    // print can be made.
    static platform::ImageRef libraryFullPrint(const platform::Image& original,
                                               const PrintInputs& inputs);

    // The print the inputs would make of `lookInput` (a square stored upside down, as a look
    // is given it), drawn at the look input's own size instead of the print side: the same
    // look, film frame and blend, and the date where it stands on the print, shrunk with it.
    // What the live picture shows of the print to come. nullptr when it is not square.
    static platform::ImageRef printAtOwnSize(const platform::Image& lookInput,
                                             const PrintInputs& inputs,
                                             std::chrono::system_clock::time_point now);

    // The square a camera still gives the look, printSide by printSide pixels. The still is
    // taken as stored, its orientation flag ignored. With k = printSide / cropSide, the cut's
    // pixel (i, j) lands at (printSide - j·k, printSide - i·k): a quarter turn clockwise,
    // mirrored top to bottom, so that after the look's row reversal a still holding the
    // scene's top along its left edge prints upright.
    static platform::ImageRef prepareCameraSquare(const platform::Image& cameraStill, int printSide,
                                                  int cropSide);

    // The full-size print, printSide pixels square: the look's result upright and stretched
    // over the whole print, the film frame (if any) stretched over it in its blend mode, then
    // the date stamp (if any).
    static platform::ImageRef drawFullPrint(const platform::Image& lookResult, int printSide,
                                            const platform::Image* filmFrame,
                                            platform::BlendMode frameBlendMode,
                                            const std::optional<DateStamp>& dateStamp);

    // The gallery's 250 by 250 copy of a full-size print.
    static platform::ImageRef smallPrint(const platform::Image& fullPrint);

    // "<whole seconds since 1970>.jpg" for a print made at `date`.
    static std::string printName(std::chrono::system_clock::time_point date);
    // The full-size print's file name for a print name.
    static std::string fullSizeName(std::string_view printName);

    // The application bundle's PNG film frame of that name; nullptr when missing or unreadable.
    static platform::ImageRef filmFrameFromBundle(const std::string& name);

private:
    // Everything after the look's input is known, shared by both paths.
    static bool composeFromLookInput(const platform::Image& lookInput, int printSide,
                                     const PrintInputs& inputs, PrintSink& sink);
    // The print drawn from a look input of its own size: the look's steps in the print's
    // pixels, then the film frame and the date as drawFullPrint() draws them.
    static platform::ImageRef drawLookedPrint(const FilmLook& look,
                                              const platform::Image& lookInput,
                                              const platform::Image* filmFrame,
                                              platform::BlendMode frameBlendMode,
                                              const std::optional<DateStamp>& dateStamp);
    // The film frame and the date over the look's result, in a y-up space.
    static platform::ImageRef finishFullPrint(platform::ImageContext& context,
                                              const platform::Image* filmFrame,
                                              platform::BlendMode frameBlendMode,
                                              const std::optional<DateStamp>& dateStamp);
    // The print from the look's input, printSide pixels square, dated (if at all) at now as a
    // print of datedSide pixels is, scaled to printSide.
    static platform::ImageRef fullFromLookInput(const platform::Image& lookInput, int printSide,
                                                int datedSide, const PrintInputs& inputs,
                                                std::chrono::system_clock::time_point now);
};
