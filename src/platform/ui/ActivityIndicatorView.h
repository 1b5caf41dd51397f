#pragma once

#include "platform/ui/View.h"

namespace platform {

// A spinning wheel of twelve spokes that fade behind the brightest one, turning once a
// second while animating. Styles, as the platform numbers them: 0 white and large (37
// points), 1 white (20 points), 2 gray (20 points). The wheel is drawn at its style's size
// in the middle of the bounds, smaller if the bounds are smaller.
class ActivityIndicatorView : public View {
public:
    enum Style : int { WhiteLarge = 0, White = 1, Gray = 2 };

    explicit ActivityIndicatorView(Rect frame = {});

    int activityIndicatorViewStyle() const { return style_; }
    // Unknown numbers give White.
    void setActivityIndicatorViewStyle(int style);

    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return animating_; }
    // When on (the default) the wheel is hidden while stopped.
    bool hidesWhenStopped() const { return hidesWhenStopped_; }
    void setHidesWhenStopped(bool hides);

    // Which spoke is brightest at `now` (seconds): 0 to 11, clockwise from the top.
    static int leadingSpoke(double now);

    void draw(ImageContext& context) override;

private:
    int style_ = White;
    bool animating_ = false;
    bool hidesWhenStopped_ = true;
    bool ticking_ = false;
    // The lit spoke as last marked for drawing.
    int shownSpoke_ = -1;
    double stoppedAt_ = 0;
};

} // namespace platform
