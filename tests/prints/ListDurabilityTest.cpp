// The lists on disk follow every change as it happens, and launch mends what an abnormal end
// or a damaged disk left: nothing the user did not remove goes missing from the gallery.
#include "prints/ListRecovery.h"
#include "prints/PrintStore.h"
#include "prints/RecentViewController.h"
#include "support/LaunchedCamera.h"

#include "platform/foundation/PropertyList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using platform::PropertyList;
namespace fs = std::filesystem;

namespace {

platform::ImageRef solidPicture(int side, std::uint32_t argb) {
    return platform::Image::fromPixels(side, side, std::vector<std::uint32_t>(side * side, argb));
}

// Captures standard error for the life of the object.
class ErrorCapture {
public:
    ErrorCapture() : previous_(std::cerr.rdbuf(text_.rdbuf())) {}
    ~ErrorCapture() { std::cerr.rdbuf(previous_); }
    std::string text() const { return text_.str(); }

private:
    std::ostringstream text_;
    std::streambuf* previous_;
};

class ListDurability : public ::testing::Test {
protected:
    fs::path documents() const { return home_.documents(); }

    void writePair(long long number) {
        const std::string name = std::to_string(number) + ".jpg";
        fs::create_directories(documents());
        TempHome::writeText(documents() / name, "small");
        TempHome::writeText(documents() / ("big_" + name), "big");
    }
    void writeList(const fs::path& file, const std::vector<std::string>& names) {
        PrintStore::List list;
        for (const auto& name : names)
            list.push_back(PrintStore::makePrintEntry(name, std::chrono::system_clock::now()));
        fs::create_directories(file.parent_path());
        ASSERT_TRUE(PropertyList::array(list).writeFile(file));
    }
    static std::vector<std::string> names(const PrintStore::List& list) {
        std::vector<std::string> result;
        for (const auto& entry : list)
            result.push_back(PrintStore::printName(entry));
        return result;
    }
    std::vector<std::string> namesOnDisk() const {
        const auto list = PropertyList::readFile(documents() / PrintStore::kPrintsFileName);
        return list ? names(list->array()) : std::vector<std::string>{"(unreadable)"};
    }
    std::vector<fs::path> filesStartingWith(const std::string& prefix) const {
        std::vector<fs::path> found;
        for (const auto& item : fs::directory_iterator(documents()))
            if (item.path().filename().string().rfind(prefix, 0) == 0)
                found.push_back(item.path());
        return found;
    }

    TempHome home_;
};

TEST_F(ListDurability, EveryPrintRemovalAndPageIsOnDiskBeforeTheCameraEnds) {
    LaunchedCamera camera;
    camera.launch();
    MorvaneAppDelegate& delegate = camera.delegate();
    for (const char* name : {"100.jpg", "101.jpg", "102.jpg"}) {
        delegate.saveImageWithName(solidPicture(250, 0xff336699u), name);
        delegate.saveImage2WithName(solidPicture(750, 0xff336699u), std::string("big_") + name);
    }
    // No termination yet: a kill now must not lose these.
    EXPECT_EQ(namesOnDisk(), (std::vector<std::string>{"102.jpg", "101.jpg", "100.jpg"}));

    delegate.recentButtonTouched();
    camera.runFor(1);
    const auto gallery = delegate.recentController();
    auto button = std::make_shared<platform::View>();
    button->setTag(1);
    gallery->removePrints(button);
    camera.runFor(0.5);
    ASSERT_TRUE(camera.application().frontResponder());
    std::string error;
    ASSERT_TRUE(camera.application().frontResponder()->pressAlertButton(1, error)) << error;
    EXPECT_EQ(namesOnDisk(), (std::vector<std::string>{"102.jpg", "100.jpg"}));

    // A strip that comes to rest on another page is recorded at once.
    delegate.mainScreen()->catScrollView()->setContentOffset({3 * 270.0, 0});
    delegate.mainScreen()->miniFrameView()->setContentOffset({2 * 320.0, 0});
    const auto config = PropertyList::readFile(documents() / PrintStore::kConfigFileName);
    ASSERT_TRUE(config);
    EXPECT_EQ((*config)[PrintStore::kCategoryElement].stringValue(), "4");
    EXPECT_EQ((*config)[PrintStore::kFrameElement].stringValue(), "2");
}

TEST_F(ListDurability, ALaunchThatChangesNothingWritesNothing) {
    const auto shipped = [](const char* name) {
        return TempHome::readText(*platform::Bundle::main().pathForResource(name, "plist"));
    };
    {
        LaunchedCamera camera;
        camera.launch();
        camera.runFor(1);
        camera.terminate();
    }
    // The first run leaves the shipped bytes, not a rewriting of them.
    EXPECT_EQ(TempHome::readText(documents() / "config.plist"), shipped("config"));
    EXPECT_EQ(TempHome::readText(documents() / "prints.plist"), shipped("prints"));

    const auto before = fs::last_write_time(documents() / "config.plist");
    fs::last_write_time(documents() / "config.plist", before - std::chrono::hours(1));
    const auto aged = fs::last_write_time(documents() / "config.plist");
    {
        LaunchedCamera camera;
        camera.launch();
        camera.terminate();
    }
    EXPECT_EQ(fs::last_write_time(documents() / "config.plist"), aged);
}

TEST_F(ListDurability, PrintsAKillLeftOutOfTheListAreTakenBackByTheirNumbers) {
    // Listed: 300 and 100. Left out by a kill: 400 (newest) and 200 (between them). A lone small
    // file, a lone full-size file and files of other names are no prints.
    for (long long n : {100, 200, 300, 400})
        writePair(n);
    TempHome::writeText(documents() / "500.jpg", "small without its full-size file");
    TempHome::writeText(documents() / "big_600.jpg", "full-size without its small file");
    TempHome::writeText(documents() / "holiday.jpg", "the user's own");
    TempHome::writeText(documents() / ".prints.plist.tmp-99-0-12345", "half a list");
    writeList(documents() / "prints.plist", {"300.jpg", "100.jpg"});

    LaunchedCamera camera;
    camera.launch();
    const std::vector<std::string> expected = {"400.jpg", "300.jpg", "200.jpg", "100.jpg"};
    EXPECT_EQ(names(camera.delegate().printLists().printsXML()), expected);
    EXPECT_EQ(namesOnDisk(), expected);
    // The interrupted write's temporary is gone; everything else is where it was.
    EXPECT_FALSE(fs::exists(documents() / ".prints.plist.tmp-99-0-12345"));
    for (const char* kept : {"500.jpg", "big_600.jpg", "holiday.jpg", "big_400.jpg"})
        EXPECT_TRUE(fs::exists(documents() / kept)) << kept;
}

TEST_F(ListDurability, ATakenBackPrintEvictsAsANewPrintWouldAndTooOldOnesStayUntouched) {
    std::vector<std::string> listed;
    for (long long n = 120; n > 100; --n) {
        writePair(n);
        listed.push_back(std::to_string(n) + ".jpg");
    }
    writePair(200); // newer than every listed print: it comes in, 101 goes as the 21st.
    writePair(50);  // older than every listed print: it would go at once, so it stays as it is.
    writeList(documents() / "prints.plist", listed);

    LaunchedCamera camera;
    camera.launch();
    const auto now = names(camera.delegate().printLists().printsXML());
    ASSERT_EQ(now.size(), PrintStore::kMaxPrints);
    EXPECT_EQ(now.front(), "200.jpg");
    EXPECT_EQ(now.back(), "102.jpg");
    EXPECT_FALSE(fs::exists(documents() / "101.jpg"));
    EXPECT_FALSE(fs::exists(documents() / "big_101.jpg"));
    EXPECT_TRUE(fs::exists(documents() / "50.jpg"));
    EXPECT_TRUE(fs::exists(documents() / "big_50.jpg"));
}

TEST_F(ListDurability, ADamagedPrintListIsKeptAsideAndTheListRebuiltFromThePrintFiles) {
    for (long long n : {100, 200})
        writePair(n);
    writeList(documents() / "prints.plist", {"200.jpg", "100.jpg"});
    std::string bytes = TempHome::readText(documents() / "prints.plist");
    bytes[bytes.find("<array>") + 1] = 'X'; // one damaged byte
    TempHome::writeText(documents() / "prints.plist", bytes);

    ErrorCapture errors;
    LaunchedCamera camera;
    camera.launch();
    EXPECT_EQ(names(camera.delegate().printLists().printsXML()),
              (std::vector<std::string>{"200.jpg", "100.jpg"}));
    EXPECT_EQ(namesOnDisk(), (std::vector<std::string>{"200.jpg", "100.jpg"}));
    const auto aside = filesStartingWith("prints.plist.damaged-");
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(TempHome::readText(aside[0]), bytes);
    EXPECT_NE(errors.text().find(aside[0].filename().string()), std::string::npos) << errors.text();
}

TEST_F(ListDurability, AnOversizedPrintListIsKeptAsideToo) {
    writePair(100);
    fs::create_directories(documents());
    {
        std::ofstream huge(documents() / "prints.plist", std::ios::binary);
        huge.seekp(static_cast<std::streamoff>(PropertyList::kMaxFileBytes) + 1);
        huge.put('\n');
    }
    LaunchedCamera camera;
    camera.launch();
    EXPECT_EQ(names(camera.delegate().printLists().printsXML()),
              std::vector<std::string>{"100.jpg"});
    const auto aside = filesStartingWith("prints.plist.damaged-");
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_GT(fs::file_size(aside[0]), PropertyList::kMaxFileBytes);
}

TEST_F(ListDurability, ADamagedConfigListIsKeptAsideAndTheStripsStartOnTheirFirstPages) {
    fs::create_directories(documents());
    TempHome::writeText(documents() / "config.plist", "<?xml version=\"1.0\"?><plist><arr");
    ErrorCapture errors;
    LaunchedCamera camera;
    camera.launch();
    EXPECT_EQ(camera.delegate().mainScreen()->catScrollView()->contentOffset().x, 0);
    EXPECT_EQ(camera.delegate().mainScreen()->miniFrameView()->contentOffset().x, 0);
    const auto aside = filesStartingWith("config.plist.damaged-");
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(TempHome::readText(aside[0]), "<?xml version=\"1.0\"?><plist><arr");
    EXPECT_NE(errors.text().find("config.plist"), std::string::npos);
    const auto config = PropertyList::readFile(documents() / "config.plist");
    ASSERT_TRUE(config && config->isArray());
}

TEST_F(ListDurability, AnEntryIsKeptWhateverFollowsItsName) {
    // The date is never read back, so an entry with a name and anything else still names a
    // print; dropping it would hide the print and orphan its files.
    for (long long n : {100, 200, 300})
        writePair(n);
    const PrintStore::List entries = {
        PropertyList::array({PropertyList::string("300.jpg"), PropertyList::string("yesterday")}),
        PropertyList::array({PropertyList::string("200.jpg")}),
        PropertyList::array({PropertyList::string("100.jpg"), PropertyList::integer(7),
                             PropertyList::boolean(true)}),
        PropertyList::array({PropertyList::string("../escape.jpg"), PropertyList::integer(1)}),
    };
    ASSERT_TRUE(PropertyList::array(entries).writeFile(documents() / "prints.plist"));
    LaunchedCamera camera;
    camera.launch();
    EXPECT_EQ(names(camera.delegate().printLists().printsXML()),
              (std::vector<std::string>{"300.jpg", "200.jpg", "100.jpg"}));
    EXPECT_EQ(camera.delegate().printLists().printsXML()[0][1].stringValue(), "yesterday");
}

TEST(ListRecovery, PrintNumbersAreDigitsThenJpegOnly) {
    EXPECT_EQ(ListRecovery::printNumber("1733671234.jpg"), 1733671234);
    EXPECT_EQ(ListRecovery::printNumber("0.jpg"), 0);
    for (const char* other : {"big_1.jpg", ".jpg", "12.JPG", "-1.jpg", "1 .jpg", "12.jpg.tmp",
                              "99999999999999999999999.jpg", "1e5.jpg"})
        EXPECT_FALSE(ListRecovery::printNumber(other).has_value()) << other;
}

} // namespace
