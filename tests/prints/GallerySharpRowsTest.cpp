#include "capture/MorvaneViewController.h"
#include "prints/GalleryRowPictures.h"
#include "prints/PrintStore.h"
#include "prints/RecentViewController.h"
#include "support/AreaReference.h"
#include "support/LaunchedCamera.h"
#include "support/ScriptedCamera.h"

#include "platform/ui/ImageView.h"
#include "platform/ui/ScreenPainter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace {

using platform::ImageRef;
using platform::ImageView;

class GallerySharpRowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        camera_.launch();
        delegate().viewController()->viewDidAppear(false);
    }

    MorvaneAppDelegate& delegate() { return camera_.delegate(); }
    RecentViewController& gallery() { return *delegate().recentController(); }
    platform::Window& window() { return *delegate().window(); }
    std::filesystem::path documents() const { return home_.documents(); }

    // Prints made as the shutter makes them, from the built-in scene, each in the next look;
    // their names, newest first.
    std::vector<std::string> makeRealPrints(int n) {
        for (int i = 0; i < n; ++i) {
            delegate().shutterButtonTouched();
            for (int step = 0; step < 2000 && delegate().isSaving(); ++step)
                camera_.runFor(0.01);
            // The print is taken away and the camera is back before the next press.
            camera_.runFor(3);
            camera_.application().key("right");
            camera_.runFor(1);
        }
        std::vector<std::string> names;
        for (const auto& entry : delegate().printLists().printsXML())
            names.push_back(PrintStore::printName(entry));
        return names;
    }
    // `count` rows from the files of the real prints, in turn, as a full gallery holds them.
    void fillGallery(const std::vector<std::string>& made, int count) {
        PrintLists::List prints;
        for (int i = 0; i < count; ++i) {
            const std::string name = std::to_string(5000 + i) + ".jpg";
            const std::string from = made[static_cast<std::size_t>(i) % made.size()];
            std::filesystem::copy_file(documents() / from, documents() / name);
            std::filesystem::copy_file(documents() / ("big_" + from),
                                       documents() / ("big_" + name));
            prints.push_back(PrintStore::makePrintEntry(name, std::chrono::system_clock::now()));
        }
        delegate().printLists().setPrintsXML(prints);
    }

    void openGallery() {
        delegate().recentButtonTouched();
        camera_.runFor(1);
    }
    // The window now draws at `scale` pixels a point; what that sets off has settled.
    void drawAt(double scale) {
        window().setPixelScale(scale);
        camera_.runFor(0.1);
    }
    std::vector<std::shared_ptr<ImageView>> rows() {
        std::vector<std::shared_ptr<ImageView>> result;
        for (const auto& view : gallery().scrollArea()->subviews())
            if (auto picture = std::dynamic_pointer_cast<ImageView>(view))
                result.push_back(picture);
        return result;
    }
    std::vector<bool> sharpRows() {
        std::vector<bool> sharp;
        for (const auto& row : rows())
            sharp.push_back(row->image() && row->image()->pixelWidth() > 250);
        return sharp;
    }
    std::string rowName(std::size_t row) {
        return PrintStore::printName(delegate().printLists().printsXML()[row]);
    }

    TempHome home_;
    LaunchedCamera camera_;
};

TEST_F(GallerySharpRowsTest, ARowShowsTheSmallPrintAtOnePixelAPointAndTheFullSizePrintAbove) {
    const auto names = makeRealPrints(3);
    ASSERT_EQ(names.size(), 3u);
    openGallery();
    const ImageRef before = camera_.application().snapshot(1);

    // One pixel a point: each row is its small print as stored, and nothing else is read.
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(samePixels(rows()[i]->image(), PrintStore::loadPrintFile(names[i]))) << i;

    // Two: the full-size print shrunk to exactly the row's 500 pixels by area.
    drawAt(2);
    const ImageRef big = platform::Image::readFile(documents() / ("big_" + names[0]));
    ASSERT_TRUE(big);
    const ImageRef shown = rows()[0]->image();
    ASSERT_TRUE(shown);
    ASSERT_EQ(shown->pixelWidth(), 500);
    ASSERT_EQ(shown->pixelHeight(), 500);
    // Decoded whole (a half would be too small) and averaged: rounding apart, exact.
    EXPECT_LE(differenceFromAreaAverage(*shown, *big).worst, 1.0);
    // Every print gets its own picture: the rows differ as their looks do.
    EXPECT_FALSE(samePixels(rows()[0]->image(), rows()[1]->image()));
    EXPECT_EQ(sharpRows(), (std::vector<bool>{true, true, true}));

    // Full screen on a 1080-pixel display: 2.25 pixels a point, a row of 562.5 drawn on 563.
    drawAt(2.25);
    ASSERT_TRUE(rows()[1]->image());
    EXPECT_EQ(rows()[1]->image()->pixelWidth(), 563);

    // Back at one pixel a point, the sharp pictures are let go and the screen is as before.
    drawAt(1);
    EXPECT_EQ(gallery().rowPictures().sharpCount(), 0u);
    EXPECT_TRUE(samePixels(camera_.application().snapshot(1), before));
}

TEST_F(GallerySharpRowsTest, AMissingOrBrokenFullSizeFileLeavesTheSmallPrint) {
    const auto names = makeRealPrints(3);
    ASSERT_EQ(names.size(), 3u);
    std::filesystem::remove(documents() / ("big_" + names[0]));
    // Cut short, as a full disk leaves a file.
    std::filesystem::resize_file(documents() / ("big_" + names[1]), 300);
    openGallery();
    drawAt(2);
    EXPECT_TRUE(samePixels(rows()[0]->image(), PrintStore::loadPrintFile(names[0])));
    EXPECT_TRUE(samePixels(rows()[1]->image(), PrintStore::loadPrintFile(names[1])));
    EXPECT_EQ(sharpRows(), (std::vector<bool>{false, false, true}));
    // Scrolling back and forth does not read the bad files again.
    gallery().scrollArea()->setContentOffset({0, 270});
    gallery().scrollArea()->setContentOffset({0, 0});
    EXPECT_EQ(gallery().rowPictures().pendingCount(), 0u);
}

TEST_F(GallerySharpRowsTest, OnlyRowsNearTheViewAreMadeSharpAndFewAreKept) {
    fillGallery(makeRealPrints(2), 20);
    drawAt(2);
    // The gallery away: nothing is read for it.
    EXPECT_EQ(gallery().rowPictures().pendingCount(), 0u);
    openGallery();
    // The scroll area shows rows 0 and 1; row 2 is next.
    std::vector<bool> expected(20, false);
    expected[0] = expected[1] = expected[2] = true;
    EXPECT_EQ(sharpRows(), expected);

    // Down to the end a page at a time: the rows in view are always sharp, and only the few
    // around them keep a sharp picture.
    std::size_t most = 0;
    while (gallery().scrollArea()->scrollPage(1)) {
        camera_.runFor(1);
        const double top = gallery().scrollArea()->contentOffset().y;
        const auto sharp = sharpRows();
        for (std::size_t i = 0; i < sharp.size(); ++i) {
            const double rowTop = RecentViewController::kRowHeight * static_cast<double>(i) + 20;
            const bool inView = rowTop + 250 > top && rowTop < top + 436;
            const bool near = rowTop + 250 + RecentViewController::kRowHeight > top &&
                              rowTop - RecentViewController::kRowHeight < top + 436;
            if (inView) {
                EXPECT_TRUE(sharp[i]) << "row " << i << " at " << top;
            }
            if (!near) {
                EXPECT_FALSE(sharp[i]) << "row " << i << " at " << top;
            }
        }
        most = std::max(most, gallery().rowPictures().sharpCount());
    }
    EXPECT_TRUE(sharpRows().back());
    EXPECT_LE(most, 5u);

    // Closed, the gallery keeps none.
    gallery().doneButtonClicked(nullptr);
    camera_.runFor(1);
    EXPECT_EQ(gallery().rowPictures().sharpCount(), 0u);
    EXPECT_EQ(sharpRows(), std::vector<bool>(20, false));
}

TEST_F(GallerySharpRowsTest, AnIdleGalleryCostsNoFramesOnceItsSharpRowsAreIn) {
    makeRealPrints(2);
    openGallery();
    drawAt(2);
    platform::ScreenPainter painter;
    const double now = camera_.application().runLoop().now();
    EXPECT_FALSE(painter.paint(window(), 2, now).empty());
    camera_.runFor(5);
    EXPECT_TRUE(painter.paint(window(), 2, camera_.application().runLoop().now()).empty());
    // What was painted piece by piece is what a whole snapshot shows.
    EXPECT_TRUE(samePixels(painter.picture(), camera_.application().snapshot(2)));
}

// The program as a user runs it: three prints, then the gallery, shot as the screen shows it.
TEST(GallerySharpRowsRun, TheGalleryShotAtTwoPixelsAPointShowsTheFullSizePrintAveraged) {
    ScriptedCamera camera;
    const auto shots = camera.home().root() / "shots";
    const std::string prints = "key space\nwait 5\nkey right\nkey space\nwait 5\n"
                               "key right\nkey space\nwait 5\nkey r\nwait 1\n";
    HeadlessOptions twice;
    twice.scale = 2;
    ASSERT_EQ(camera.runScript(prints + "shot " + (shots / "two.png").string() + "\n", twice), 0)
        << camera.errors();
    const auto names = camera.listedNames();
    ASSERT_EQ(names.size(), 3u);

    // The newest print's row: 250 points at (35, 64) on the screen.
    const ImageRef two = platform::Image::contentsOfFile(shots / "two.png");
    ASSERT_TRUE(two);
    ASSERT_EQ(two->pixelWidth(), 640);
    ASSERT_EQ(two->pixelHeight(), 960);
    const ImageRef big =
        platform::Image::readFile(camera.home().documents() / ("big_" + names.front()));
    ASSERT_TRUE(big);
    // Its remove button lies over the picture's lower right.
    const platform::Rect button{410, 360, 136, 76};
    EXPECT_LE(differenceFromAreaAverage(*two->cropped({70, 128, 500, 500}), *big, button).worst,
              1.0);

    // Without --scale the shot is the 320 by 480 screen with the small print as stored.
    ASSERT_EQ(camera.runScript("key r\nwait 1\nshot " + (shots / "one.png").string() + "\n"), 0)
        << camera.errors();
    const ImageRef one = platform::Image::contentsOfFile(shots / "one.png");
    ASSERT_TRUE(one);
    ASSERT_EQ(one->pixelWidth(), 320);
    EXPECT_TRUE(samePixels(one->cropped({35, 64, 200, 180}),
                           platform::Image::readFile(camera.home().documents() / names.front())
                               ->cropped({0, 0, 200, 180})));
}

} // namespace
