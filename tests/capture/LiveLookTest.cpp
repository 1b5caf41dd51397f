#include "ShutterTestCamera.h"

#include "capture/DateStamp.h"
#include "capture/FilmFrame.h"
#include "capture/FilmLook.h"
#include "capture/PrintComposer.h"
#include "capture/PrintSize.h"
#include "capture/SelfTimer.h"
#include "capture/StripPages.h"
#include "shell/DesktopPreferences.h"
#include "shell/KeyboardShortcuts.h"
#include "shell/MainScreen.h"

#include "platform/foundation/Date.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/CameraPreviewView.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

using platform::Image;
using platform::ImageRef;

// The window's default: two pixels a point, so the picture area is 640 pixels square.
constexpr double kScale = 2;
constexpr int kSide = 640;

// The camera launched with preferences written beforehand, as `morvane defaults` leaves them.
class LiveLookTest : public ShutterTestCamera {
protected:
    void launchWith(std::vector<std::pair<std::string, platform::PropertyList>> preferences) {
        platform::UserDefaults defaults = platform::UserDefaults::standard();
        for (auto& [key, value] : preferences)
            defaults.setObjectForKey(std::move(value), key);
        ASSERT_TRUE(defaults.synchronize());
        ShutterTestCamera::SetUp();
        ASSERT_NE(preview(), nullptr);
    }
    void SetUp() override {}

    std::shared_ptr<platform::CameraPreviewView> preview() {
        return controller().cameraController()->cameraPreview();
    }

    // The picture area as a preview draws it now, at the window's scale.
    static ImageRef pictureArea(platform::CameraPreviewView& view) {
        platform::ImageContext context(platform::Size{320, 320}, kScale);
        view.draw(context);
        return context.makeImage();
    }
    ImageRef livePicture() { return pictureArea(*preview()); }
    // The same moment of the same camera, shown bare by a preview of its own.
    ImageRef barePicture() {
        platform::CameraPreviewView bare(preview()->frame());
        bare.setSource(preview()->source());
        return pictureArea(bare);
    }

    void turnStripsTo(int category, int frame) {
        MainScreen& screen = *delegate().mainScreen();
        screen.catScrollView()->setContentOffset({(category - 1) * 270.0, 0});
        screen.miniFrameView()->setContentOffset({frame * 320.0, 0});
        camera_.runFor(0.1);
    }

    // The print the camera would make of `bare`, made at its size the way a print is made
    // step by step: the square given to the look upside down, the look's result stretched
    // under the film frame in its blend mode, and the date shrunk from the print's side.
    ImageRef printOf(const ImageRef& bare, int category, int frame) {
        std::vector<std::uint32_t> reversed;
        for (int y = kSide - 1; y >= 0; --y)
            for (int x = 0; x < kSide; ++x)
                reversed.push_back(bare->pixel(x, y));
        const ImageRef looked =
            FilmLook::number(category).apply(*Image::fromPixels(kSide, kSide, reversed));
        const FilmFrame film = FilmFrame::forCategoryAndFrame(category, frame);
        const ImageRef framePicture = shippedImage(film.name);
        EXPECT_NE(framePicture, nullptr) << film.name;
        std::optional<DateStamp> stamp;
        if (delegate().canDate()) {
            const int printSide =
                PrintSize::forModel(delegate().isHighQuality(), delegate().platformString())
                    .printSide;
            const double size = DateStamp::fontSizeFor(delegate().isHighQuality(), printSide);
            stamp = DateStamp(DateStamp::textForDate(platform::Date::now()),
                              size * kSide / printSide, category == DateStamp::kWhiteInkCategory);
        }
        return PrintComposer::drawFullPrint(*looked, kSide, framePicture.get(), film.blendMode,
                                            stamp);
    }

    SelfTimer& notes() { return *delegate().selfTimer(); }
};

TEST_F(LiveLookTest, TheLivePictureIsThePrintOfWhatTheCameraShows) {
    launchWith({{DesktopPreferences::kShowsLookLive, platform::PropertyList::boolean(true)},
                {"canDate", platform::PropertyList::boolean(true)},
                {"isHighQuality", platform::PropertyList::boolean(true)}});
    ASSERT_TRUE(delegate().showsLookLive());
    // A toned look in the instant frame, the colour frame under hard light with white ink, the
    // red hue, and the untinted look with the rainbow in screen mode.
    const std::pair<int, int> choices[] = {{4, 1}, {9, 2}, {8, 0}, {6, 1}};
    for (const auto& [category, frame] : choices) {
        SCOPED_TRACE("category " + std::to_string(category) + ", frame " + std::to_string(frame));
        turnStripsTo(category, frame);
        const ImageRef live = livePicture();
        const ImageRef bare = barePicture();
        ASSERT_TRUE(live && bare);
        EXPECT_FALSE(samePixels(live, bare));
        EXPECT_TRUE(samePixels(live, printOf(bare, category, frame)));
    }
}

TEST_F(LiveLookTest, ThePictureFollowsAStripThatSettlesOnAnotherPage) {
    launchWith({{DesktopPreferences::kShowsLookLive, platform::PropertyList::boolean(true)}});
    turnStripsTo(1, 0);
    EXPECT_TRUE(samePixels(livePicture(), printOf(barePicture(), 1, 0)));

    // By key, as a swipe turns them: the strips glide to their next pages and settle.
    ASSERT_TRUE(KeyboardShortcuts::handle(delegate(), "right"));
    ASSERT_TRUE(KeyboardShortcuts::handle(delegate(), "down"));
    camera_.runFor(1);
    ASSERT_EQ(delegate().mainScreen()->categoryNumber(), 2);
    ASSERT_EQ(delegate().mainScreen()->frameNumber(), 1);
    EXPECT_TRUE(samePixels(livePicture(), printOf(barePicture(), 2, 1)));

    // Back by a page each: the picture is the first look's again, in the first frame.
    ASSERT_TRUE(KeyboardShortcuts::handle(delegate(), "left"));
    ASSERT_TRUE(KeyboardShortcuts::handle(delegate(), "up"));
    camera_.runFor(1);
    EXPECT_TRUE(samePixels(livePicture(), printOf(barePicture(), 1, 0)));
}

// Off, as by default, the picture is the bare one pixel for pixel, also after the look was
// shown and taken away again.
TEST_F(LiveLookTest, TheKeySwitchesItSaysSoAndKeepsTheChoice) {
    launchWith({});
    EXPECT_FALSE(delegate().showsLookLive());
    EXPECT_FALSE(preview()->hasSquareTreatment());
    turnStripsTo(3, 2);
    const ImageRef bare = livePicture();
    EXPECT_TRUE(samePixels(bare, barePicture()));

    const std::pair<bool, const char*> presses[] = {
        {true, "Look shown live"}, {false, "Look at print only"}, {true, "Look shown live"}};
    for (const auto& [shown, said] : presses) {
        SCOPED_TRACE(said);
        ASSERT_TRUE(KeyboardShortcuts::handle(delegate(), "p"));
        EXPECT_EQ(delegate().showsLookLive(), shown);
        const platform::UserDefaults defaults = platform::UserDefaults::standard();
        ASSERT_TRUE(defaults.objectForKey(DesktopPreferences::kShowsLookLive).has_value());
        EXPECT_EQ(DesktopPreferences::showsLookLive(defaults), shown);
        EXPECT_EQ(notes().noteLabel()->text(), said);
        EXPECT_EQ(notes().noteLabel()->superview(), delegate().window());
        EXPECT_EQ(samePixels(livePicture(), bare), !shown);
    }
    camera_.runFor(SelfTimer::kNoteSeconds + 0.1);
    EXPECT_EQ(notes().noteLabel()->superview(), nullptr);
}

} // namespace
