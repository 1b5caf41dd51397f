#include "platform/ui/ViewController.h"

#include "PickerTestSupport.h"

#include <gtest/gtest.h>

using namespace platform;
using namespace pickertest;

namespace {

struct Recorder : ViewController {
    std::vector<std::string>* log = nullptr;
    std::string name;
    void viewDidAppear(bool animated) override {
        log->push_back(name + (animated ? " appeared animated" : " appeared"));
    }
    void viewDidDisappear(bool animated) override {
        log->push_back(name + (animated ? " disappeared animated" : " disappeared"));
    }
};

struct ModalPresentation : ::testing::Test {
    VirtualScreen screen;
    std::vector<std::string> log;
    std::shared_ptr<Recorder> root = make("root");
    std::shared_ptr<Recorder> picker = make("picker");
    std::shared_ptr<View> skin = std::make_shared<View>(Rect{0, 0, 320, 480});
    std::shared_ptr<View> strip = std::make_shared<View>(Rect{0, 300, 320, 60});

    std::shared_ptr<Recorder> make(const std::string& name) {
        auto c = std::make_shared<Recorder>();
        c->log = &log;
        c->name = name;
        return c;
    }
    // The main screen's order: the root controller's view first, then what is laid over it.
    void SetUp() override {
        screen.window->addSubview(root->view());
        screen.window->addSubview(skin);
        screen.window->addSubview(strip);
    }
    std::vector<View*> order() const {
        std::vector<View*> views;
        for (const auto& v : screen.window->subviews())
            views.push_back(v.get());
        return views;
    }
};

} // namespace

TEST_F(ModalPresentation, ThePresentedViewTakesThePlaceOfThePresentingOneAndGivesItBack) {
    root->view()->setFrame({0, 10, 320, 460});
    picker->view()->setTransform(AffineTransform::makeTranslation(5, 5)); // left from before
    root->presentModalViewController(picker, false);

    // Same position, so it lies beneath everything laid over the presenting view.
    EXPECT_EQ(order(), (std::vector<View*>{picker->view().get(), skin.get(), strip.get()}));
    EXPECT_EQ(picker->view()->frame(), (Rect{0, 10, 320, 460}));
    EXPECT_TRUE(picker->view()->transform().isIdentity());
    EXPECT_EQ(root->view()->superview(), nullptr);
    EXPECT_EQ(root->modalViewController(), picker);
    EXPECT_EQ(picker->parentViewController(), root);
    EXPECT_EQ(log, (std::vector<std::string>{"root disappeared", "picker appeared"}));

    log.clear();
    root->dismissModalViewControllerAnimated(false);
    EXPECT_EQ(order(), (std::vector<View*>{root->view().get(), skin.get(), strip.get()}));
    EXPECT_EQ(picker->view()->superview(), nullptr);
    EXPECT_EQ(root->view()->frame(), (Rect{0, 10, 320, 460}));
    EXPECT_EQ(root->modalViewController(), nullptr);
    EXPECT_EQ(picker->parentViewController(), nullptr);
    // At once, not through the run loop: the presenting controller may schedule from it.
    EXPECT_EQ(log, (std::vector<std::string>{"picker disappeared", "root appeared"}));

    // And the same controller can be presented again, in the same place.
    root->presentModalViewController(picker, false);
    EXPECT_EQ(order().front(), picker->view().get());
}

TEST_F(ModalPresentation, AViewMovedOffScreenHandsOverThePlaceItWasMadeForAndKeepsItsTransform) {
    // A controller parked below the screen by a translation presents a picker: the picker
    // covers the screen while the parked view may slide about beneath it.
    const auto parked = AffineTransform::makeTranslation(0, 480);
    root->view()->setTransform(parked);
    root->presentModalViewController(picker, false);
    EXPECT_EQ(picker->view()->frame(), (Rect{0, 0, 320, 480}));
    root->view()->setTransform(AffineTransform::identity());
    root->view()->setTransform(parked);
    root->dismissModalViewControllerAnimated(false);
    EXPECT_EQ(root->view()->transform(), parked);
    EXPECT_EQ(order().front(), root->view().get());
}

TEST_F(ModalPresentation, AnimatedTheViewSlidesUpOverThePresentingViewAndDownOffIt) {
    root->presentModalViewController(picker, true);
    const double start = screen.now();
    // During the slide the presenting view still shows beneath it.
    EXPECT_EQ(order(), (std::vector<View*>{root->view().get(), picker->view().get(), skin.get(),
                                           strip.get()}));
    EXPECT_TRUE(picker->view()->transform().isIdentity()); // the model holds at once
    EXPECT_DOUBLE_EQ(picker->view()->presentationTransform().ty, 480);
    screen.run(ViewController::kModalTransitionDuration / 2);
    const double halfway = picker->view()->presentationTransform().ty;
    EXPECT_GT(halfway, 0);
    EXPECT_LT(halfway, 480);
    screen.loop().runUntil(start + ViewController::kModalTransitionDuration + 0.01);
    EXPECT_DOUBLE_EQ(picker->view()->presentationTransform().ty, 0);
    EXPECT_EQ(order(), (std::vector<View*>{picker->view().get(), skin.get(), strip.get()}));

    log.clear();
    root->dismissModalViewControllerAnimated(true);
    // The presenting view is back at once and hears of it at once; the picker slides off.
    EXPECT_EQ(order(), (std::vector<View*>{root->view().get(), picker->view().get(), skin.get(),
                                           strip.get()}));
    EXPECT_EQ(log,
              (std::vector<std::string>{"picker disappeared animated", "root appeared animated"}));
    screen.run(ViewController::kModalTransitionDuration + 0.01);
    EXPECT_EQ(order(), (std::vector<View*>{root->view().get(), skin.get(), strip.get()}));
    EXPECT_TRUE(picker->view()->transform().isIdentity());
}

TEST_F(ModalPresentation, ADismissalDuringTheSlideLeavesThePresentingViewInPlace) {
    root->presentModalViewController(picker, true);
    screen.run(0.1);
    root->dismissModalViewControllerAnimated(false);
    screen.run(1);
    EXPECT_EQ(order(), (std::vector<View*>{root->view().get(), skin.get(), strip.get()}));
    // Presented again while it slides away after an animated dismissal, it stays.
    root->presentModalViewController(picker, false);
    root->dismissModalViewControllerAnimated(true);
    root->presentModalViewController(picker, false);
    screen.run(1);
    EXPECT_EQ(order().front(), picker->view().get());
    EXPECT_EQ(picker->view()->superview(), screen.window);
}

TEST_F(ModalPresentation, MisusesAreRefusedAndADismissalSentToThePresentedOneWorks) {
    auto other = make("other");
    root->presentModalViewController(picker, false);
    testing::internal::CaptureStderr();
    root->presentModalViewController(other, false);   // already presenting
    other->presentModalViewController(picker, false); // picker is presented already
    root->presentModalViewController(root, false);
    EXPECT_FALSE(testing::internal::GetCapturedStderr().empty());
    EXPECT_EQ(root->modalViewController(), picker);
    EXPECT_EQ(other->modalViewController(), nullptr);
    EXPECT_EQ(other->view()->superview(), nullptr);

    picker->dismissModalViewControllerAnimated(false);
    EXPECT_EQ(root->modalViewController(), nullptr);
    EXPECT_EQ(order().front(), root->view().get());
    root->dismissModalViewControllerAnimated(false); // nothing presented: nothing happens
    EXPECT_EQ(order().front(), root->view().get());
}

TEST_F(ModalPresentation, NestedPresentationsGoTogetherAndAViewInNoParentUsesTheWindow) {
    auto loose = make("loose");
    auto sheet = make("sheet");
    loose->presentModalViewController(picker, false);
    // In front of everything, over the whole window.
    EXPECT_EQ(screen.window->subviews().back(), picker->view());
    EXPECT_EQ(picker->view()->frame(), (Rect{0, 0, 320, 480}));
    picker->presentModalViewController(sheet, false);
    EXPECT_EQ(screen.window->subviews().back(), sheet->view());

    loose->dismissModalViewControllerAnimated(false);
    EXPECT_EQ(picker->modalViewController(), nullptr);
    EXPECT_EQ(sheet->view()->superview(), nullptr);
    EXPECT_EQ(picker->view()->superview(), nullptr);
    EXPECT_EQ(order(), (std::vector<View*>{root->view().get(), skin.get(), strip.get()}));
}
