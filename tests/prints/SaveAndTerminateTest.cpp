#include "prints/PrintStore.h"
#include "support/LaunchedCamera.h"

#include "platform/foundation/PropertyList.h"

#include <gtest/gtest.h>

using platform::PropertyList;

namespace {

platform::ImageRef solidPicture(int side, std::uint32_t argb) {
    return platform::Image::fromPixels(side, side, std::vector<std::uint32_t>(side * side, argb));
}

class SaveAndTerminateTest : public ::testing::Test {
protected:
    void SetUp() override { camera_.launch(); }

    MorvaneAppDelegate& delegate() { return camera_.delegate(); }
    std::filesystem::path documents() const { return home_.documents(); }

    // n prints, oldest named "1.jpg", each with both files on disk.
    void makePrints(int n) {
        PrintLists::List prints;
        for (int i = n; i >= 1; --i) {
            const std::string name = std::to_string(i) + ".jpg";
            TempHome::writeText(documents() / name, "small");
            TempHome::writeText(documents() / ("big_" + name), "big");
            prints.push_back(PrintStore::makePrintEntry(name, std::chrono::system_clock::now()));
        }
        delegate().printLists().setPrintsXML(prints);
    }

    std::vector<std::string> names() {
        std::vector<std::string> result;
        for (const PropertyList& entry : delegate().printLists().printsXML())
            result.push_back(PrintStore::printName(entry));
        return result;
    }

    TempHome home_;
    LaunchedCamera camera_;
};

TEST_F(SaveAndTerminateTest, TheTwentyFirstPrintEvictsTheOldestWithBothItsFiles) {
    makePrints(19);
    delegate().saveImageWithName(solidPicture(250, 0xffcc2200u), "100.jpg");
    EXPECT_EQ(delegate().printLists().printsXML().size(), 20u);
    EXPECT_TRUE(std::filesystem::exists(documents() / "1.jpg"));

    delegate().saveImageWithName(solidPicture(250, 0xffcc2200u), "101.jpg");
    ASSERT_EQ(delegate().printLists().printsXML().size(), 20u);
    EXPECT_EQ(names().front(), "101.jpg");
    EXPECT_EQ(names()[1], "100.jpg");
    EXPECT_EQ(names().back(), "2.jpg");
    EXPECT_FALSE(std::filesystem::exists(documents() / "1.jpg"));
    EXPECT_FALSE(std::filesystem::exists(documents() / "big_1.jpg"));
    EXPECT_TRUE(std::filesystem::exists(documents() / "big_2.jpg"));
    EXPECT_TRUE(delegate().printLists().printsXML().front()[1].isDate());

    // The developed print shows what was stored.
    const auto shown = delegate().developingShow()->developedImage()->image();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->pixelWidth(), 250);
    EXPECT_TRUE(samePixels(shown, delegate().loadImage("101.jpg")));
}

TEST_F(SaveAndTerminateTest, TheOldestIsDeletedBeforeTheNewFileIsWritten) {
    // The evicted print shares the new one's name: only eviction first keeps the new file.
    makePrints(20);
    delegate().saveImageWithName(solidPicture(8, 0xff0000ffu), "1.jpg");
    EXPECT_EQ(delegate().printLists().printsXML().size(), 20u);
    const std::vector<std::string> listed = names();
    EXPECT_EQ(listed.front(), "1.jpg");
    EXPECT_EQ(std::count(listed.begin(), listed.end(), "1.jpg"), 1);
    const platform::ImageRef stored = delegate().loadImage("1.jpg");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->pixelWidth(), 8);
}

TEST_F(SaveAndTerminateTest, FullSizePrintsLeaveTheListAloneAndNeverReplaceAFile) {
    makePrints(3);
    delegate().saveImage2WithName(solidPicture(16, 0xff00ff00u), "big_4.jpg");
    EXPECT_EQ(names(), (std::vector<std::string>{"3.jpg", "2.jpg", "1.jpg"}));
    ASSERT_NE(delegate().loadImage("big_4.jpg"), nullptr);
    EXPECT_EQ(delegate().loadImage("big_4.jpg")->pixelWidth(), 16);
    // A name already on disk keeps its file: a print is never written over another.
    delegate().saveImage2WithName(solidPicture(16, 0xff00ff00u), "big_1.jpg");
    EXPECT_EQ(TempHome::readText(documents() / "big_1.jpg"), "big");
    // An unreadable file is no picture.
    EXPECT_EQ(delegate().loadImage("2.jpg"), nullptr);
    EXPECT_EQ(delegate().loadImage("missing.jpg"), nullptr);

    // Nothing happens for a name that could leave the folder.
    delegate().saveImageWithName(solidPicture(8, 0xff00ff00u), "../escape.jpg");
    EXPECT_EQ(delegate().printLists().printsXML().size(), 3u);
    EXPECT_FALSE(std::filesystem::exists(home_.root() / "escape.jpg"));
}

TEST_F(SaveAndTerminateTest, TerminationRecordsThePagesByTheirBoundaries) {
    struct Case {
        double categoryX, frameX;
        const char *category, *frame;
    };
    const Case cases[] = {{269.9, 319.9, "1", "0"},  {270, 320, "2", "1"},
                          {2429.9, 639.9, "9", "1"}, {2430, 640, "10", "2"},
                          {2700, 960, "1", "0"},     {-40, -40, "1", "0"},
                          {2699.9, 959.9, "10", "2"}};
    for (const Case& c : cases) {
        delegate().mainScreen()->catScrollView()->setContentOffset({c.categoryX, 0});
        delegate().mainScreen()->miniFrameView()->setContentOffset({c.frameX, 0});
        delegate().applicationWillTerminate(camera_.application());
        const auto config = PropertyList::readFile(documents() / "config.plist");
        ASSERT_TRUE(config);
        EXPECT_EQ((*config)[2], PropertyList::string(c.category)) << c.categoryX;
        EXPECT_EQ((*config)[8], PropertyList::string(c.frame)) << c.frameX;
    }
}

TEST_F(SaveAndTerminateTest, TerminationWritesBothListsKeepingEverythingElse) {
    PropertyList::Array config(11, PropertyList::string("keep"));
    config[4] = PropertyList::integer(7);
    config[2] = PropertyList::string("5");
    delegate().printLists().setConfigXML(config);
    makePrints(2);
    delegate().saveImageWithName(solidPicture(8, 0xff123456u), "3.jpg");
    delegate().mainScreen()->catScrollView()->setContentOffset({810, 0});
    camera_.terminate();

    const auto written = PropertyList::readFile(documents() / "config.plist");
    ASSERT_TRUE(written);
    ASSERT_EQ(written->size(), 11u);
    EXPECT_EQ((*written)[2], PropertyList::string("4"));
    EXPECT_EQ((*written)[4], PropertyList::integer(7));
    EXPECT_EQ((*written)[10], PropertyList::string("keep"));
    EXPECT_EQ(TempHome::readText(documents() / "prints.plist").rfind("<?xml", 0), 0u);
    EXPECT_EQ(PrintStore::loadPrintList().size(), 3u);
    EXPECT_EQ(PrintStore::printName(PrintStore::loadPrintList().front()), "3.jpg");
}

TEST_F(SaveAndTerminateTest, TwoPrintsInOneSecondGetTwoNames) {
    const std::string first = delegate().printLists().uniquePrintName(1700000000);
    delegate().saveImageWithName(solidPicture(8, 0xff0000ffu), first);
    delegate().saveImage2WithName(solidPicture(8, 0xff0000ffu), "big_" + first);
    const std::string second = delegate().printLists().uniquePrintName(1700000000);
    EXPECT_EQ(first, "1700000000.jpg");
    EXPECT_EQ(second, "1700000001.jpg");
}

} // namespace
