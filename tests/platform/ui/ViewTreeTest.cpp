#include "platform/ui/RunLoop.h"
#include "platform/ui/View.h"
#include "platform/ui/VirtualClock.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

std::shared_ptr<View> make(Rect frame = {0, 0, 10, 10}) {
    return std::make_shared<View>(frame);
}

} // namespace

TEST(ViewTree, AddSubviewPutsInFrontAndTakesFromTheEarlierParent) {
    auto a = make(), b = make(), c = make();
    auto x = make(), y = make();
    x->addSubview(a);
    x->addSubview(b);
    x->addSubview(c);
    EXPECT_EQ(x->subviews(), (std::vector<std::shared_ptr<View>>{a, b, c}));
    // Adding again brings it to the front without duplicating it.
    x->addSubview(a);
    EXPECT_EQ(x->subviews(), (std::vector<std::shared_ptr<View>>{b, c, a}));
    y->addSubview(b);
    EXPECT_EQ(x->subviews(), (std::vector<std::shared_ptr<View>>{c, a}));
    EXPECT_EQ(y->subviews(), (std::vector<std::shared_ptr<View>>{b}));
    EXPECT_EQ(b->superview(), y);
    x->insertSubviewAt(b, 0);
    EXPECT_EQ(x->subviews(), (std::vector<std::shared_ptr<View>>{b, c, a}));
    EXPECT_TRUE(y->subviews().empty());
    x->insertSubviewAt(c, 99);
    EXPECT_EQ(x->subviews(), (std::vector<std::shared_ptr<View>>{b, a, c}));
    a->removeFromSuperview();
    EXPECT_EQ(x->subviews(), (std::vector<std::shared_ptr<View>>{b, c}));
    EXPECT_EQ(a->superview(), nullptr);
    a->removeFromSuperview(); // harmless twice
}

TEST(ViewTree, RefusesCyclesAndSurvivesTheParentGoingFirst) {
    auto parent = make(), child = make(), grandchild = make();
    parent->addSubview(child);
    child->addSubview(grandchild);
    grandchild->addSubview(parent);
    child->addSubview(child);
    EXPECT_EQ(parent->superview(), nullptr);
    EXPECT_EQ(child->subviews().size(), 1u);
    parent.reset();
    EXPECT_EQ(child->superview(), nullptr);
    EXPECT_EQ(grandchild->superview(), child);
}

TEST(ViewTree, RemovingTheLastReferenceDuringRemovalIsSafe) {
    auto parent = make();
    parent->addSubview(make());
    std::weak_ptr<View> weak = parent->subviews().front();
    weak.lock()->removeFromSuperview();
    EXPECT_TRUE(weak.expired());
    EXPECT_TRUE(parent->subviews().empty());
}

TEST(ViewGeometry, ATranslationShiftsTheFrameAndCoordinatesFollow) {
    RunLoop loop(std::make_shared<VirtualClock>());
    auto window = std::make_shared<Window>();
    auto panel = make({0, 0, 320, 480});
    auto inner = make({20, 30, 50, 40});
    window->addSubview(panel);
    panel->addSubview(inner);
    panel->setTransform(AffineTransform::makeTranslation(0, 480));
    EXPECT_EQ(panel->frame(), (Rect{0, 480, 320, 480}));
    EXPECT_EQ(inner->convertPointToView({0, 0}, window.get()), (Point{20, 510}));
    EXPECT_EQ(inner->convertPointFromView({25, 515}, nullptr), (Point{5, 5}));
    panel->setTransform(AffineTransform::identity());
    EXPECT_EQ(panel->frame(), (Rect{0, 0, 320, 480}));
}

TEST(ViewGeometry, TransformsActAboutTheCentreAndBoundsOriginShiftsChildren) {
    auto parent = make({0, 0, 200, 200});
    auto view = make({50, 50, 100, 20});
    parent->addSubview(view);
    view->setTransform(AffineTransform::makeScale(2, 2));
    EXPECT_EQ(view->frame(), (Rect{0, 40, 200, 40}));
    EXPECT_EQ(view->center(), (Point{100, 60}));
    // A bounds origin of (30, 0) shows content point 30 at the left edge.
    auto child = make({30, 0, 10, 10});
    parent->addSubview(child);
    parent->setBounds({30, 0, 200, 200});
    EXPECT_EQ(child->convertPointToView({0, 0}, nullptr), (Point{0, 0}));
}

TEST(ViewGeometry, AutoresizingKeepsFlexibleMarginsInProportion) {
    auto panel = make({0, 0, 125, 125});
    auto wheel = make({50, 50, 25, 25});
    wheel->setAutoresizingMask(45); // flexible left, right, top and bottom margins
    panel->addSubview(wheel);
    auto stretched = make({10, 10, 105, 20});
    stretched->setAutoresizingMask(View::FlexibleWidth | View::FlexibleBottomMargin);
    panel->addSubview(stretched);
    auto uneven = make({10, 0, 25, 25});
    uneven->setAutoresizingMask(View::FlexibleLeftMargin | View::FlexibleRightMargin);
    panel->addSubview(uneven);
    auto fixed = make({1, 2, 3, 4});
    panel->addSubview(fixed);

    panel->setFrame({0, 0, 250, 250});
    EXPECT_EQ(wheel->frame(), (Rect{112.5, 112.5, 25, 25})); // still in the middle
    EXPECT_EQ(stretched->frame(), (Rect{10, 10, 230, 20}));
    EXPECT_EQ(uneven->frame(), (Rect{22.5, 0, 25, 25})); // margins 10 and 90 share 125 as 1:9
    EXPECT_EQ(fixed->frame(), (Rect{1, 2, 3, 4}));
    // Only the size matters: moving the panel changes nothing inside.
    panel->setFrame({40, 40, 250, 250});
    EXPECT_EQ(wheel->frame(), (Rect{112.5, 112.5, 25, 25}));
}

TEST(ViewTree, TagsAndWindowMembership) {
    auto window = std::make_shared<Window>();
    auto a = make(), b = make();
    b->setTag(7);
    a->addSubview(b);
    EXPECT_EQ(a->viewWithTag(7), b);
    EXPECT_EQ(a->viewWithTag(8), nullptr);
    EXPECT_EQ(b->window(), nullptr);
    window->addSubview(a);
    EXPECT_EQ(b->window(), window);
    window->clearNeedsDisplay();
    b->setHidden(true);
    EXPECT_TRUE(window->needsDisplay());
}
