#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"

#include "PickerTestSupport.h"
#include "support/TestPictures.h"

#include <gtest/gtest.h>

using namespace platform;
using namespace pickertest;
using namespace testpictures;

namespace {

struct Answers : AlertViewDelegate {
    std::vector<std::pair<std::string, int>> heard;
    std::function<void()> then;
    void alertViewClickedButtonAtIndex(AlertView& alert, int index) override {
        heard.emplace_back(alert.title(), index);
        if (then)
            then();
    }
};

struct Alerts : ::testing::Test {
    VirtualScreen screen;
    std::shared_ptr<Answers> answers = std::make_shared<Answers>();
    std::shared_ptr<View> underneath = std::make_shared<View>(Rect{0, 0, 320, 480});

    void SetUp() override {
        underneath->setBackgroundColor(Color::white());
        screen.window->addSubview(underneath);
    }
    std::shared_ptr<AlertView> makeAlert(const std::string& cancel = "Cancel",
                                         const std::string& other = "OK") {
        return std::make_shared<AlertView>(
            "Remove This Print",
            "Full size print will remain in your camera roll and won't be deleted.", answers,
            cancel, other);
    }
    static Point centre(const Rect& r) { return {r.x() + r.width() / 2, r.y() + r.height() / 2}; }
};

} // namespace

TEST_F(Alerts, TappedButtonsAnswerWithTheirIndexAndTheAlertGoes) {
    for (int index : {0, 1}) {
        auto alert = makeAlert();
        alert->show();
        EXPECT_EQ(screen.window->subviews().back(), alert);
        EXPECT_EQ(alert->buttonTitleAtIndex(0), "Cancel");
        EXPECT_EQ(alert->buttonTitleAtIndex(1), "OK");
        // Side by side, cancel on the left, both inside the box.
        EXPECT_LT(alert->buttonFrame(0).maxX(), alert->buttonFrame(1).minX());
        EXPECT_DOUBLE_EQ(alert->buttonFrame(0).y(), alert->buttonFrame(1).y());
        EXPECT_EQ(alert->boxFrame().intersection(alert->buttonFrame(1)), alert->buttonFrame(1));
        screen.tap(centre(alert->buttonFrame(index)));
        EXPECT_FALSE(alert->isVisible());
        EXPECT_EQ(alert->superview(), nullptr);
        EXPECT_EQ(screen.app.frontResponder(), nullptr);
    }
    EXPECT_EQ(answers->heard, (std::vector<std::pair<std::string, int>>{{"Remove This Print", 0},
                                                                        {"Remove This Print", 1}}));
}

TEST_F(Alerts, TapsBesideTheButtonsDoNothingAndNothingBeneathIsReached) {
    bool reached = false;
    auto button = std::make_shared<Button>(Rect{0, 0, 320, 480});
    button->addTarget([&reached] { reached = true; });
    underneath->addSubview(button);
    auto alert = makeAlert();
    alert->show();
    screen.tap({20, 20});
    screen.tap(centre(alert->boxFrame()));
    EXPECT_TRUE(answers->heard.empty());
    EXPECT_FALSE(reached);
    EXPECT_TRUE(alert->isVisible());
}

TEST_F(Alerts, AScriptPressesButtonsAndIsToldOfWrongOnes) {
    auto alert = makeAlert();
    alert->show();
    auto responder = screen.app.frontResponder();
    ASSERT_EQ(responder.get(), static_cast<ScriptResponder*>(alert.get()));
    std::string error;
    EXPECT_FALSE(responder->pressAlertButton(2, error));
    EXPECT_NE(error.find("0 to 1"), std::string::npos);
    EXPECT_FALSE(responder->pick("/tmp/x.jpg", error));
    EXPECT_FALSE(responder->cancel(error));
    EXPECT_TRUE(alert->isVisible());
    EXPECT_TRUE(responder->pressAlertButton(1, error));
    EXPECT_EQ(answers->heard.back().second, 1);
    EXPECT_FALSE(alert->dismissWithClickedButtonIndex(0)); // answered once only
    EXPECT_EQ(answers->heard.size(), 1u);
}

TEST_F(Alerts, ButtonsAreNumberedFromTheCancelButtonAndAnAlertAlwaysHasOne) {
    auto onlyOther = makeAlert("", "Go");
    EXPECT_EQ(onlyOther->numberOfButtons(), 1);
    EXPECT_EQ(onlyOther->cancelButtonIndex(), -1);
    EXPECT_EQ(onlyOther->buttonTitleAtIndex(0), "Go");
    auto none = makeAlert("", "");
    EXPECT_EQ(none->numberOfButtons(), 1);
    EXPECT_EQ(none->cancelButtonIndex(), 0);
    // A single button spans the box.
    EXPECT_GT(none->buttonFrame(0).width(), AlertView::kBoxWidth / 2);
    EXPECT_TRUE(none->buttonFrame(1).isEmpty());
}

TEST_F(Alerts, EscapeIsTheCancelButtonAndReturnTheOtherOrTheOnlyOne) {
    // Button titles, then the button Escape presses and the one Return presses.
    const struct {
        const char* cancel;
        const char* other;
        int escape, enter;
    } shapes[] = {{"Cancel", "OK", 0, 1}, {"", "Go", 0, 0}, {"Cancel", "", 0, 0}, {"", "", 0, 0}};
    for (const auto& shape : shapes) {
        SCOPED_TRACE(std::string(shape.cancel) + "/" + shape.other);
        for (const char* key : {"escape", "return"}) {
            answers->heard.clear();
            auto alert = makeAlert(shape.cancel, shape.other);
            alert->show();
            EXPECT_TRUE(screen.app.key(key));
            ASSERT_EQ(answers->heard.size(), 1u) << key;
            EXPECT_EQ(answers->heard[0].second,
                      key == std::string("escape") ? shape.escape : shape.enter);
            EXPECT_FALSE(alert->isVisible());
            // Answered once: a second press finds nothing in front to answer.
            screen.app.key(key);
            EXPECT_EQ(answers->heard.size(), 1u);
        }
    }
}

TEST_F(Alerts, AnAlertShownInAnswerIsTheOneInFront) {
    auto first = makeAlert();
    auto second = std::make_shared<AlertView>("Second", "", answers, "Cancel", "");
    answers->then = [&] {
        answers->then = nullptr;
        second->show();
    };
    first->show();
    std::string error;
    ASSERT_TRUE(screen.app.frontResponder()->pressAlertButton(1, error));
    EXPECT_EQ(screen.app.frontResponder().get(), static_cast<ScriptResponder*>(second.get()));
    EXPECT_EQ(screen.window->subviews().back(), second);
    EXPECT_EQ(first->superview(), nullptr);
}

TEST_F(Alerts, TheScreenIsDimmedAndTheTextFitsTheBox) {
    auto alert = std::make_shared<AlertView>("Remove All Prints",
                                             std::string(40, 'w') + " " + std::string(300, 'x'),
                                             answers, "Cancel", "OK");
    alert->show();
    const Rect box = alert->boxFrame();
    EXPECT_DOUBLE_EQ(box.width(), AlertView::kBoxWidth);
    EXPECT_DOUBLE_EQ(box.x(), (320 - AlertView::kBoxWidth) / 2);
    // However long the message, the box stays on the screen.
    EXPECT_GE(box.y(), 0);
    EXPECT_LE(box.maxY(), 480);
    const ImageRef shot = screen.app.snapshot(1);
    // White beneath, dimmed around the box; the box is darker and blue.
    const std::uint32_t dimmed = shot->pixel(10, 10);
    EXPECT_TRUE(near(dimmed, 0xFF8C8C8C, 12));
    const std::uint32_t inBox =
        shot->pixel(static_cast<int>(box.x() + 6), static_cast<int>(box.y() + box.height() / 2));
    EXPECT_GT(inBox & 0xFF, (inBox >> 16) & 0xFF);
}
