#include "prints/PrintStore.h"
#include "prints/RecentViewController.h"
#include "shell/AlbumFolder.h"
#include "shell/MainInterface.h"
#include "support/LaunchedCamera.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/Label.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using platform::Button;
using platform::ImageView;
using platform::Rect;

platform::ImageRef solidPicture(int side, std::uint32_t argb) {
    return platform::Image::fromPixels(side, side, std::vector<std::uint32_t>(side * side, argb));
}

class GalleryTest : public ::testing::Test {
protected:
    void SetUp() override { camera_.launch(); }

    MorvaneAppDelegate& delegate() { return camera_.delegate(); }
    RecentViewController& gallery() { return *delegate().recentController(); }
    std::filesystem::path documents() const { return home_.documents(); }

    // n prints, newest first, named "n.jpg" down to "1.jpg", each with both files. The small
    // file of print i is a flat picture of its own grey, so a row shows whose print it is.
    void makePrints(int n) {
        PrintLists::List prints;
        for (int i = n; i >= 1; --i) {
            const std::string name = std::to_string(i) + ".jpg";
            ASSERT_TRUE(PrintStore::writePrintFile(solidPicture(250, grey(i)), name));
            TempHome::writeText(documents() / ("big_" + name), "big");
            prints.push_back(PrintStore::makePrintEntry(name, std::chrono::system_clock::now()));
        }
        delegate().printLists().setPrintsXML(prints);
    }
    static std::uint32_t grey(int i) {
        const std::uint32_t v = static_cast<std::uint32_t>(i * 10);
        return 0xFF000000u | v << 16 | v << 8 | v;
    }

    std::vector<std::shared_ptr<ImageView>> pictures() {
        std::vector<std::shared_ptr<ImageView>> result;
        for (const auto& view : gallery().scrollArea()->subviews())
            if (auto picture = std::dynamic_pointer_cast<ImageView>(view))
                result.push_back(picture);
        return result;
    }
    std::vector<std::shared_ptr<Button>> buttons() {
        std::vector<std::shared_ptr<Button>> result;
        for (const auto& view : gallery().scrollArea()->subviews())
            if (auto button = std::dynamic_pointer_cast<Button>(view))
                result.push_back(button);
        return result;
    }
    // The alert on screen, if any.
    std::shared_ptr<platform::AlertView> openAlert() {
        for (const auto& view : delegate().window()->subviews())
            if (auto alert = std::dynamic_pointer_cast<platform::AlertView>(view))
                if (alert->isVisible())
                    return alert;
        return nullptr;
    }
    bool filesExist(const std::string& name) {
        return std::filesystem::exists(documents() / name) ||
               std::filesystem::exists(documents() / ("big_" + name));
    }

    TempHome home_;
    LaunchedCamera camera_;
};

TEST_F(GalleryTest, RowsFollowTheListNewestFirstWithTheirExactGeometry) {
    delegate().printLists().setPrintsXML({});
    gallery().refreshImages();
    EXPECT_EQ(gallery().scrollArea()->contentSize().height, 0);
    EXPECT_TRUE(gallery().scrollArea()->subviews().empty());

    makePrints(20);
    delegate().recentButtonTouched();
    EXPECT_EQ(gallery().scrollArea()->contentSize().width, 320);
    EXPECT_EQ(gallery().scrollArea()->contentSize().height, 5400);
    const auto rows = pictures();
    const auto removes = buttons();
    ASSERT_EQ(rows.size(), 20u);
    ASSERT_EQ(removes.size(), 20u);
    const platform::ImageRef removeArt = shippedImage("remove");
    ASSERT_TRUE(removeArt);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(rows[i]->frame(), (Rect{35, 270.0 * i + 20, 250, 250}));
        EXPECT_EQ(removes[i]->frame(), (Rect{240, 270.0 * i + 200, 68, 38}));
        EXPECT_EQ(removes[i]->tag(), i);
        EXPECT_TRUE(samePixels(removes[i]->backgroundImage(), removeArt));
        ASSERT_TRUE(rows[i]->image());
        // Newest first: row i shows print 20 - i.
        EXPECT_NEAR(rows[i]->image()->pixel(125, 125) & 0xFF, (20 - i) * 10, 2);
    }
    EXPECT_EQ(rows.back()->frame().maxY(), 5400);
    // Each button lies above its own picture.
    const auto& all = gallery().scrollArea()->subviews();
    EXPECT_EQ(all[0], rows[0]);
    EXPECT_EQ(all[1], removes[0]);

    // A refresh replaces the rows rather than adding to them.
    gallery().refreshImages();
    EXPECT_EQ(gallery().scrollArea()->subviews().size(), 40u);
}

TEST_F(GalleryTest, RemovingOnePrintDeletesItsFilesAndRenumbersTheRows) {
    makePrints(5);
    const std::string listBefore = TempHome::readText(documents() / "prints.plist");
    delegate().recentButtonTouched();
    // Row 3 holds "2.jpg"; the touch goes through the button as a finger's would.
    buttons()[3]->sendActionsForControlEvents(platform::ControlEvent::TouchUpInside);
    const auto alert = openAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "Remove This Print");
    EXPECT_EQ(alert->message(),
              "Full size print will remain in your camera roll and won't be deleted.");
    EXPECT_EQ(alert->buttonTitleAtIndex(0), "Cancel");
    EXPECT_EQ(alert->buttonTitleAtIndex(1), "OK");

    // While it is open, further requests are dropped: no second alert, no change of target.
    buttons()[0]->sendActionsForControlEvents(platform::ControlEvent::TouchUpInside);
    gallery().removeAllPrints(nullptr);
    EXPECT_EQ(openAlert(), alert);

    ASSERT_TRUE(alert->dismissWithClickedButtonIndex(1));
    EXPECT_FALSE(filesExist("2.jpg"));
    EXPECT_TRUE(filesExist("1.jpg"));
    EXPECT_TRUE(filesExist("5.jpg"));
    ASSERT_EQ(delegate().printLists().printsXML().size(), 4u);
    EXPECT_EQ(PrintStore::printName(delegate().printLists().printsXML()[3]), "1.jpg");
    const auto removes = buttons();
    ASSERT_EQ(removes.size(), 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(removes[i]->tag(), i);
    EXPECT_NEAR(pictures()[3]->image()->pixel(10, 10) & 0xFF, 10, 2);
    EXPECT_FALSE(gallery().isSaving());

    // The list file follows at once, so that a camera killed now has not lost the removal.
    EXPECT_NE(TempHome::readText(documents() / "prints.plist"), listBefore);
    EXPECT_EQ(PrintStore::loadPrintList().size(), 4u);
}

TEST_F(GalleryTest, CancelRemovesNothingAndAllowsTheNextRequest) {
    makePrints(3);
    delegate().recentButtonTouched();
    buttons()[1]->sendActionsForControlEvents(platform::ControlEvent::TouchUpInside);
    ASSERT_TRUE(openAlert());
    ASSERT_TRUE(openAlert()->dismissWithClickedButtonIndex(0));
    EXPECT_EQ(delegate().printLists().printsXML().size(), 3u);
    EXPECT_TRUE(filesExist("2.jpg"));
    EXPECT_FALSE(gallery().isSaving());

    gallery().removeAllPrints(nullptr);
    const auto alert = openAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "Remove All Prints");
    EXPECT_EQ(alert->message(),
              "Full size prints will remain in your camera roll and won't be deleted.");
}

TEST_F(GalleryTest, RemoveAllDeletesEveryListedFileAndNothingElse) {
    makePrints(4);
    TempHome::writeText(documents() / "unlisted.jpg", "keep");
    delegate().recentButtonTouched();
    gallery().removeAllPrints(nullptr);
    ASSERT_TRUE(openAlert()->dismissWithClickedButtonIndex(1));
    for (int i = 1; i <= 4; ++i)
        EXPECT_FALSE(filesExist(std::to_string(i) + ".jpg"));
    EXPECT_TRUE(std::filesystem::exists(documents() / "unlisted.jpg"));
    EXPECT_TRUE(delegate().printLists().printsXML().empty());
    EXPECT_TRUE(gallery().scrollArea()->subviews().empty());
    EXPECT_EQ(gallery().scrollArea()->contentSize().height, 0);

    // With nothing left the confirmation is still asked, and OK is harmless.
    gallery().removeAllPrints(nullptr);
    ASSERT_TRUE(openAlert());
    EXPECT_TRUE(openAlert()->dismissWithClickedButtonIndex(1));
    EXPECT_FALSE(gallery().isSaving());
}

TEST_F(GalleryTest, AStaleTagOrAHostileNameDeletesNothing) {
    makePrints(3);
    delegate().recentButtonTouched();
    buttons()[2]->sendActionsForControlEvents(platform::ControlEvent::TouchUpInside);
    // The list shrinks behind the open confirmation: the tag no longer names an entry.
    delegate().printLists().printsXML().pop_back();
    ASSERT_TRUE(openAlert()->dismissWithClickedButtonIndex(1));
    EXPECT_EQ(delegate().printLists().printsXML().size(), 2u);
    EXPECT_TRUE(filesExist("1.jpg"));
    EXPECT_TRUE(filesExist("2.jpg"));

    // An entry naming a file outside the Documents directory, as a hand-edited list could.
    const auto outside = home_.root() / "outside.jpg";
    TempHome::writeText(outside, "keep");
    const auto hostile = platform::PropertyList::array(
        {platform::PropertyList::string("../outside.jpg"),
         platform::PropertyList::date(std::chrono::system_clock::now())});
    delegate().printLists().printsXML().insert(delegate().printLists().printsXML().begin(),
                                               hostile);
    gallery().refreshImages();
    buttons()[0]->sendActionsForControlEvents(platform::ControlEvent::TouchUpInside);
    ASSERT_TRUE(openAlert()->dismissWithClickedButtonIndex(1));
    EXPECT_TRUE(std::filesystem::exists(outside));
    EXPECT_EQ(delegate().printLists().printsXML().size(), 2u);
}

TEST_F(GalleryTest, DoneSlidesTheGalleryAwayAndKeepsTheRows) {
    makePrints(2);
    delegate().recentButtonTouched();
    camera_.runFor(1);
    gallery().doneButtonClicked(nullptr);
    EXPECT_EQ(gallery().view()->transform().ty, 480);
    camera_.runFor(0.25);
    EXPECT_GT(gallery().view()->presentationTransform().ty, 0);
    EXPECT_LT(gallery().view()->presentationTransform().ty, 480);
    camera_.runFor(0.3);
    EXPECT_EQ(gallery().view()->presentationTransform().ty, 480);
    EXPECT_EQ(pictures().size(), 2u);
}

} // namespace

namespace {

TEST_F(GalleryTest, ARowDecodesAnOversizedFileOnlyAsLargeAsItShows) {
    // A small print file that claims far more than a row shows (a small print is 250).
    makePrints(2);
    ASSERT_TRUE(solidPicture(4000, grey(7))->writeJpeg(documents() / "2.jpg", 0.9));
    gallery().refreshImages();
    const auto rows = pictures();
    ASSERT_EQ(rows.size(), 2u);
    ASSERT_TRUE(rows[0]->image());
    // 250 points at two pixels a point: read at 1/8, not at 4000 a side.
    EXPECT_EQ(rows[0]->image()->pixelWidth(), 500);
    EXPECT_NEAR(rows[0]->image()->pixel(250, 250) & 0xFF, 70, 2);
    // An ordinary small print is shown exactly as it is stored.
    ASSERT_TRUE(rows[1]->image());
    EXPECT_EQ(rows[1]->image()->pixelWidth(), 250);
    EXPECT_TRUE(samePixels(rows[1]->image(), PrintStore::loadPrintFile("1.jpg")));
}

} // namespace

namespace {

// The words on the empty gallery's note, top to bottom; none when it is not on screen.
std::vector<std::string> noteLines(RecentViewController& gallery) {
    std::vector<std::string> lines;
    const auto& note = gallery.emptyNote();
    if (!note || note->superview() != gallery.view())
        return lines;
    for (const auto& view : note->subviews())
        if (auto label = std::dynamic_pointer_cast<platform::Label>(view))
            lines.push_back(label->text());
    return lines;
}

TEST_F(GalleryTest, AnEmptyGallerySaysHowToMakeAPrintAndWhereTheyGo) {
    delegate().printLists().setPrintsXML({});
    delegate().recentButtonTouched();
    const auto lines = noteLines(gallery());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "No prints yet");
    // The album's folder, shortened with "~" only where it lies in the home folder.
    const auto album = home_.root() / "Pictures" / MainInterface::kApplicationName;
    EXPECT_EQ(lines.back(), album.string());
    home_.setEnv("HOME", home_.root().string());
    EXPECT_EQ(AlbumFolder::shown(), "~/Pictures/" + std::string(MainInterface::kApplicationName));

    // Gone with the first print, back when the last one is removed.
    makePrints(1);
    gallery().refreshImages();
    EXPECT_TRUE(noteLines(gallery()).empty());
    gallery().removeAllPrints(nullptr);
    for (const auto& view : delegate().window()->subviews())
        if (auto alert = std::dynamic_pointer_cast<platform::AlertView>(view))
            if (alert->isVisible())
                alert->dismissWithClickedButtonIndex(1);
    EXPECT_EQ(noteLines(gallery()), lines);
}

} // namespace
