#pragma once

#include "platform/camera/CameraStatus.h"
#include "platform/graphics/Image.h"
#include "platform/ui/View.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

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

    // How often, in seconds, a view on a real clock looks for a new frame.
    static constexpr double kPollInterval = 1.0 / 60.0;

    explicit CameraPreviewView(Rect frame = {});
    ~CameraPreviewView() override;

    const std::shared_ptr<CameraSource>& source() const { return source_; }
    void setSource(std::shared_ptr<CameraSource> source);
    bool isMirrored() const { return mirrored_; }
    void setMirrored(bool mirrored);
    // Lines broken at newlines, and at spaces where too wide; text in the bytes Label takes.
    void setStatusText(StatusText text, std::string fontName);

    // Where the portrait picture lies, in the view's coordinates (points): as wide as the
    // view, four thirds as tall, from the top.
    Rect pictureRect() const;

    // While updating on a real clock the view asks for a redraw whenever the source has a new
    // frame, so a window redraws at about the camera's frame rate and not at all for a still
    // picture. On a virtual clock (headless) nothing is polled: each snapshot draws the frame
    // of its moment.
    void startUpdating();
    void stopUpdating();
    bool isUpdating() const { return updating_; }

    void draw(ImageContext& context) override;

private:
    void poll();
    // The portrait picture of `frame`, `pixelWidth` wide, made once per frame and width.
    ImageRef portraitOf(const ImageRef& frame, int pixelWidth, bool mirror);
    // Over the picture (on a dark band) when there is one, else in the middle of the square.
    void drawStatus(ImageContext& context, const std::string& text, bool overPicture);

    std::shared_ptr<CameraSource> source_;
    bool mirrored_ = false;
    StatusText statusText_;
    std::string statusFont_;
    bool updating_ = false;
    std::shared_ptr<Timer> pollTimer_;
    std::uint64_t lastCounter_ = 0;
    ImageRef cachedFrame_;
    ImageRef cachedPortrait_;
    int cachedWidth_ = 0;
    bool cachedMirrored_ = false;
};

} // namespace platform
