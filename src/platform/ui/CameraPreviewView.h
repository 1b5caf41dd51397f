#pragma once

#include "platform/camera/CameraStatus.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/TextLayout.h"
#include "platform/ui/View.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class CameraSource;
class Timer;

// The live camera as the camera shows it: the portrait picture of the source's newest frame
// drawn as wide as the view from its top, so that the square at the top of the view shows
// exactly the square a print is made of; black below it. Mirroring (off by default) applies
// to a live webcam only, and only to what is shown here, never to a still. While the source is
// not simply live, the square says so in the words and lettering the program hands in.
class CameraPreviewView : public View {
public:
    // The words for a status; empty says nothing.
    using StatusText = std::function<std::string(const CameraStatus&)>;
    // What the square at the top of the picture shows in place of the camera's own pixels,
    // made from the portrait picture as it is shown (upright, mirrored when the view mirrors,
    // `width` pixels wide, at least its top `width` rows made): a picture width by width
    // pixels, or nullptr to show the square as it is. It must change a pixel only from that
    // pixel of the portrait (and from what it holds fixed), so that a frame changed in parts
    // is still redrawn in parts.
    using SquareTreatment = std::function<ImageRef(const Image& portrait)>;

    // How often, in seconds, a view on a real clock looks for a new frame.
    static constexpr double kPollInterval = 1.0 / 60.0;

    explicit CameraPreviewView(Rect frame = {});
    ~CameraPreviewView() override;

    const std::shared_ptr<CameraSource>& source() const { return source_; }
    void setSource(std::shared_ptr<CameraSource> source);
    bool isMirrored() const { return mirrored_; }
    void setMirrored(bool mirrored);
    // Lines broken at newlines, and at spaces where too wide. UTF-8: plain ASCII is drawn as
    // the screen's own lettering, other text (a camera's name in any script) with font fallback.
    void setStatusText(StatusText text, std::string fontName);
    // Empty (the default) shows the square as the camera gives it. Setting one, even the same
    // again, draws the whole picture anew: whatever it reads may have changed.
    void setSquareTreatment(SquareTreatment treatment);
    bool hasSquareTreatment() const { return static_cast<bool>(treatment_); }

    // Where the portrait picture lies, in the view's coordinates (points): as wide as the
    // view, four thirds as tall, from the top.
    Rect pictureRect() const;

    // While updating on a real clock the view takes each new frame of the source as it comes
    // and marks the part of the picture that can be seen for redrawing, so a window redraws
    // that part at about the camera's frame rate and not at all for a still picture. While
    // nobody can see the picture (covered by opaque views, the window minimised or hidden,
    // the view out of the window) it takes no frames and sets no timer, until the screen
    // changes. On a virtual clock (headless) nothing is polled: each snapshot draws the frame
    // of its moment.
    void startUpdating();
    void stopUpdating();
    bool isUpdating() const { return updating_; }
    // Whether it is updating but waiting, as nobody can see the picture.
    bool isWaitingToBeSeen() const { return waiting_; }
    // The part of the picture that can be seen now, in screen points; empty when none can.
    Rect visiblePictureRect() const;

    void draw(ImageContext& context) override;

protected:
    void didMoveToSuperview() override;

private:
    void poll();
    void waitToBeSeen();
    // The background where the portrait over `picture` does not cover whole pixels.
    void fillAround(ImageContext& context, const Rect& picture);
    // The portrait picture of `frame`, `pixelWidth` wide, made once per frame and width, with
    // at least its first `rows` rows (all of them for -1) as they are in the whole picture.
    ImageRef portraitOf(const ImageRef& frame, int pixelWidth, int rows, bool mirror);
    // How many rows of a portrait `pixelWidth` wide drawn over `area` the context's clip, and
    // the view down to `bottom` (points), can show; -1 for all.
    static int rowsShown(ImageContext& context, const Rect& area, int pixelWidth, double bottom);
    // The cached portrait made again for `frame` where `changed` (frame pixels) says it
    // differs from the frame the portrait was made of.
    ImageRef updatedPortrait(const Image& frame, int pixelWidth, const std::vector<Rect>& changed);
    // Marks for redrawing the parts of the visible picture (`visible`, screen points) where
    // the frame just taken differs from `before`.
    void markChanges(const ImageRef& before, const Rect& visible);
    // Over the picture (on a dark band) when there is one, else in the middle of the square.
    void drawStatus(ImageContext& context, const std::string& text, bool overPicture);
    // Whether the picture is shown as a mirror now: asked for, and the source a webcam.
    bool showsMirror() const;
    // The portrait with its square through the treatment, made once per portrait.
    ImageRef treatedSquare(const ImageRef& portrait);

    std::shared_ptr<CameraSource> source_;
    bool mirrored_ = false;
    StatusText statusText_;
    std::string statusFont_;
    // The status text beyond plain ASCII, laid out once for as long as it is shown.
    std::unique_ptr<TextLayout> statusLayout_;
    std::string statusLayoutText_;
    bool updating_ = false;
    std::shared_ptr<Timer> pollTimer_;
    bool waiting_ = false;
    std::uint64_t lastCounter_ = 0;
    // The newest frame taken while updating on a real clock: every part of the picture
    // drawn before the next one shows the same frame.
    ImageRef shownFrame_;
    // Whether that frame has been looked for (it may be none: the camera is gone), what the
    // source said of itself then, and whether the picture was a mirror.
    bool looked_ = false;
    CameraStatus shownStatus_;
    bool shownMirror_ = false;
    // How far down (points) the picture could be seen when that frame came.
    double visibleBottom_ = 0;
    // Pixels a point it was last drawn at.
    double drawnScale_ = 0.5;
    // Where that frame differs from the one before it (frame pixels), and that one.
    std::vector<Rect> frameChanges_;
    ImageRef changesFrom_;
    ImageRef cachedFrame_;
    ImageRef cachedPortrait_;
    int cachedWidth_ = 0;
    int cachedRows_ = 0;
    bool cachedMirrored_ = false;
    // Counts the portraits made, so a treated square knows its portrait even where a new one
    // took the old one's memory.
    std::uint64_t portraitNumber_ = 0;
    SquareTreatment treatment_;
    ImageRef treated_;
    std::uint64_t treatedNumber_ = 0;
    bool treatedMade_ = false;
};

} // namespace platform
