#pragma once

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/AnimatedValue.h"
#include "platform/ui/Color.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

class ImageContext;
class Window;
struct DrawPass;

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
    // coordinate space), and nothing outside them. The default fills the background colour,
    // if any.
    virtual void draw(ImageContext& context);
    // Draws this view and its subviews as they are drawn at `now` (seconds on the run
    // loop's clock): order, alpha, transforms, hidden flags and clipping honoured. The
    // context's current space is the parent's coordinate space. Views wholly outside the
    // context's clip are left out, which changes no pixel inside it.
    void drawHierarchy(ImageContext& context, double now);
    // The same within one pass that may leave out more and reuse pictures (see DrawPass).
    void drawHierarchy(ImageContext& context, double now, DrawPass& pass);
    // This view's own drawing and its subviews', in its own coordinate space, without its
    // placement or alpha: what a translucent view fades as one picture.
    void drawContent(ImageContext& context, double now, DrawPass& pass);

    // Marks what the view draws itself (its bounds) for redrawing. Subclasses call it when
    // their content changes; moves, fades, showing, hiding and changes to the tree mark
    // what they uncover and cover by themselves.
    void setNeedsDisplay();
    // Marks part of the view's own drawing, in its coordinates (points), for redrawing.
    void setNeedsDisplayInRect(const Rect& rect);

    // Where this view and its subviews are drawn at `now`: the rectangle of the root's
    // coordinates (screen points for a view in the window) holding them, cut by clipping
    // ancestors; empty when nothing of it is drawn (hidden, transparent, clipped away).
    Rect drawnRect(double now) const;
    // `rect`, in this view's coordinates, where it is drawn at `now` in the root's
    // coordinates (the bounding box when turned), cut by clipping ancestors; empty when it is
    // not drawn.
    Rect rectInRoot(const Rect& rect, double now) const;
    // The part of the bounds that draw() paints wholly opaque whatever lies beneath (the
    // view at full alpha), in the view's coordinates; empty when there is none. Views drawn
    // before it there cannot be seen.
    virtual Rect opaqueRect() const;
    // Changes whenever anything this view or one of its subviews draws may have changed, so
    // a picture of the view kept for reuse is good as long as it stays the same.
    std::uint64_t drawingVersion() const { return drawingVersion_; }

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
    // Counts a change of what this view draws, for pictures of it and its ancestors kept
    // for reuse; setNeedsDisplay() does it too.
    void noteDrawingChanged();
    // Called after the view got a new superview (or lost it: null).
    virtual void didMoveToSuperview() {}
    // Called after the bounds size changed, once the subviews were autoresized.
    virtual void layoutSubviews() {}

private:
    friend class Window;
    friend class OpaqueCovers;
    friend class LayerCache;

    template <typename T>
    void change(AnimatedValue<T> View::*member, const T& value);
    // What this view and its subviews may cover, in its own coordinates at `now`.
    Rect contentExtent(double now) const;
    Rect mapToRoot(const Rect& rect, double now, bool countOwnVisibility) const;
    // Marks where the view and its subviews are drawn now; with countOwnVisibility false,
    // also while the view itself is hidden or transparent (it is about to show).
    void invalidateDrawnArea(bool countOwnVisibility = true);
    bool isBatching() const;
    // Hands views of this subtree that are moving now to the window, which redraws them
    // each frame until they arrive.
    void noteMotions(Window& window, double now);
    double motionEnd() const;
    void drawTree(ImageContext& context, double now, DrawPass& pass, const Rect& deviceClip);
    void drawContent(ImageContext& context, double now, DrawPass& pass, const Rect& deviceClip);
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
    std::uint64_t drawingVersion_ = 0;
    // Above zero while a change made of several steps runs: it marks what it covers once, at
    // the end, and nothing in this subtree marks anything meanwhile.
    int batching_ = 0;
};

} // namespace platform
