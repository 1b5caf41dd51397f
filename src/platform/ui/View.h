#pragma once

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/AnimatedValue.h"
#include "platform/ui/Color.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

class ImageContext;
class Window;

// A rectangle on the screen and the root of everything drawn and touched. Geometry is in
// points. A view is placed by its centre in the parent's coordinates, its bounds (the
// rectangle of its own coordinate space that it shows: a scroll view moves the bounds origin
// to scroll) and a transform applied about the centre (a translation simply shifts it).
//
// Views are held by std::shared_ptr; a view holds its subviews, and its superview weakly.
// Everything here runs on the main thread.
class View : public std::enable_shared_from_this<View> {
public:
    // Autoresizing mask bits, as the platform numbers them.
    enum Autoresizing : unsigned {
        FlexibleLeftMargin = 1,
        FlexibleWidth = 2,
        FlexibleRightMargin = 4,
        FlexibleTopMargin = 8,
        FlexibleHeight = 16,
        FlexibleBottomMargin = 32,
    };

    // `frame` in points, in the parent's coordinates.
    explicit View(Rect frame = {});
    virtual ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    // The smallest rectangle in the parent's coordinates that holds the transformed bounds:
    // with a translation transform it is shifted by the translation.
    Rect frame() const;
    // Places the view as if untransformed: sets the centre and the bounds size.
    void setFrame(const Rect& frame);
    Rect bounds() const { return bounds_.model(); }
    void setBounds(const Rect& bounds);
    Point center() const { return center_.model(); }
    void setCenter(Point center);
    const AffineTransform& transform() const { return transform_.model(); }
    void setTransform(const AffineTransform& transform);
    double alpha() const { return alpha_.model(); }
    // Clamped to 0 to 1.
    void setAlpha(double alpha);

    // What is drawn at the run loop's current time, while an animation moves the view.
    AffineTransform presentationTransform() const;
    double presentationAlpha() const;
    Point presentationCenter() const;
    Rect presentationBounds() const;

    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden);
    bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
    void setUserInteractionEnabled(bool enabled) { userInteractionEnabled_ = enabled; }
    // Whether subviews are cut off at the bounds (scroll views always clip).
    bool clipsToBounds() const { return clipsToBounds_; }
    void setClipsToBounds(bool clips);
    // Applied when the superview's bounds size changes (see Autoresizing).
    unsigned autoresizingMask() const { return autoresizingMask_; }
    void setAutoresizingMask(unsigned mask) { autoresizingMask_ = mask; }
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    // This view or the first descendant (depth first, back to front) with the tag.
    std::shared_ptr<View> viewWithTag(int tag);
    // No colour (the default) draws no background.
    const std::optional<Color>& backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(std::optional<Color> color);

    // Puts `view` in front of its siblings, taking it from any earlier parent. Adding a view
    // to itself or to one of its own descendants is refused.
    void addSubview(const std::shared_ptr<View>& view);
    // Puts `view` at position `index` among the subviews (0 is the back); an index past the
    // end puts it in front.
    void insertSubviewAt(const std::shared_ptr<View>& view, std::size_t index);
    void bringSubviewToFront(const std::shared_ptr<View>& view);
    void removeFromSuperview();
    std::shared_ptr<View> superview() const { return superview_.lock(); }
    // Back to front.
    const std::vector<std::shared_ptr<View>>& subviews() const { return subviews_; }
    bool isDescendantOf(const View& ancestor) const;
    // The window this view is in, if any.
    std::shared_ptr<Window> window() const;

    // Draws the view's own content into its bounds (the context's space is the view's
    // coordinate space). The default fills the background colour, if any.
    virtual void draw(ImageContext& context);
    // Draws this view and its subviews as they are drawn at `now` (seconds on the run
    // loop's clock): order, alpha, transforms, hidden flags and clipping honoured. The
    // context's current space is the parent's coordinate space.
    void drawHierarchy(ImageContext& context, double now);
    // Marks the screen for redrawing.
    void setNeedsDisplay();

    // The frontmost view under `point` (in this view's coordinates) that takes touches: not
    // hidden, alpha at least 0.01, user interaction on; null when there is none.
    virtual std::shared_ptr<View> hitTest(Point point);
    virtual bool pointInside(Point point) const;

    // Maps a point between this view's coordinates and another view's (null: the root of
    // this view's tree). Model values, as hit testing uses them.
    Point convertPointToView(Point point, const View* view) const;
    Point convertPointFromView(Point point, const View* view) const;

    // Touches in this view's coordinates. Unless overridden they go on to the superview, so
    // a touch on a plain view inside a scroll view drags the scroll view.
    virtual void touchesBegan(Point point);
    virtual void touchesMoved(Point point);
    virtual void touchesEnded(Point point);
    virtual void touchesCancelled(Point point);
    // True for controls that follow a touch themselves (buttons): a drag that begins on one
    // inside a scroll view is taken over by the scroll view, as on a touch screen.
    virtual bool isControl() const { return false; }

    // Animation. Changes made to transform, alpha, centre, frame or bounds inside a block
    // hold at once; what is drawn moves to them over the block's duration (seconds) with the
    // ease-in-ease-out curve, starting from where it was drawn when the block began.
    static void animate(double seconds, const std::function<void()>& changes);
    static void beginAnimations();
    static void setAnimationDuration(double seconds);
    static void commitAnimations();

protected:
    // Called after the view got a new superview (or lost it: null).
    virtual void didMoveToSuperview() {}
    // Called after the bounds size changed, once the subviews were autoresized.
    virtual void layoutSubviews() {}

private:
    template <typename T>
    void change(AnimatedValue<T> View::*member, const T& value);
    void detachFromSuperview();
    void boundsSizeChanged(Size oldSize);
    void autoresize(Size oldParentSize, Size newParentSize);
    // Child to parent: parent = center + transform(point − bounds centre).
    AffineTransform toSuperview() const;
    AffineTransform presentationToSuperview(double now) const;

    AnimatedValue<Point> center_;
    AnimatedValue<Rect> bounds_;
    AnimatedValue<AffineTransform> transform_{AffineTransform::identity()};
    AnimatedValue<double> alpha_{1.0};
    bool hidden_ = false;
    bool userInteractionEnabled_ = true;
    bool clipsToBounds_ = false;
    unsigned autoresizingMask_ = 0;
    int tag_ = 0;
    std::optional<Color> backgroundColor_;
    std::weak_ptr<View> superview_;
    std::vector<std::shared_ptr<View>> subviews_;
};

} // namespace platform
