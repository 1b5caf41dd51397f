#include "prints/PrintStore.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <chrono>

using platform::PropertyList;

namespace {

std::string plist(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n" +
           body + "\n</plist>\n";
}

std::string stringArray(std::initializer_list<const char*> items) {
    std::string body = "<array>";
    for (const char* item : items)
        body += std::string("<string>") + item + "</string>";
    return body + "</array>";
}

// The shipped defaults here are this test's own, with pages that differ from the usual first
// ones, so that a fallback to them can be told from a fallback to anything else. The odd
// spacing and comment would not survive a parse and re-serialisation.
const std::string kShippedConfig =
    plist("<!-- shipped -->\n<array>\n  <string>a</string><string>b</string>"
          "<string>4</string><string>d</string><string>e</string><string>f</string>"
          "<string>g</string><string>h</string><string>2</string>\n</array>");
const std::string kShippedPrints = plist("<array>\n\n</array>");

class PrintStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        resources_ = home_.root() / "resources";
        TempHome::writeText(resources_ / "config.plist", kShippedConfig);
        TempHome::writeText(resources_ / "prints.plist", kShippedPrints);
        home_.setEnv("MORVANE_RESOURCES", resources_.string());
    }

    std::filesystem::path documents() const { return PrintStore::documentsDirectory(); }

    static platform::ImageRef smallPicture() {
        return platform::Image::fromPixels(4, 4, std::vector<std::uint32_t>(16, 0xff3366ccu));
    }

    static PropertyList entry(const std::string& name) {
        return PrintStore::makePrintEntry(name, std::chrono::system_clock::now());
    }

    TempHome home_;
    std::filesystem::path resources_;
};

TEST_F(PrintStoreTest, FirstLaunchCopiesTheShippedListsByteForByteAndLaterLaunchesKeepTheirOwn) {
    ASSERT_FALSE(std::filesystem::exists(home_.documents() / "config.plist"));

    const PrintStore::List config = PrintStore::loadConfigList();
    const PrintStore::List prints = PrintStore::loadPrintList();

    EXPECT_EQ(TempHome::readText(documents() / "config.plist"), kShippedConfig);
    EXPECT_EQ(TempHome::readText(documents() / "prints.plist"), kShippedPrints);
    ASSERT_EQ(config.size(), 9u);
    EXPECT_EQ(config[2].stringValue(), "4");
    EXPECT_TRUE(prints.empty());

    const std::string own = plist(stringArray({"0", "0", "7", "0", "0", "0", "0", "0", "1"}));
    TempHome::writeText(documents() / "config.plist", own);
    EXPECT_EQ(PrintStore::restoredCategoryNumber(PrintStore::loadConfigList()), 7);
    EXPECT_EQ(TempHome::readText(documents() / "config.plist"), own);
}

TEST_F(PrintStoreTest, PagesComeFromTheListOrFromTheShippedDefaultForWhatIsWrong) {
    const auto list = [](std::initializer_list<const char*> items) {
        PrintStore::List result;
        for (const char* item : items)
            result.push_back(PropertyList::string(item));
        return result;
    };
    // In range, as text with blanks, or as a number: taken as they are.
    const auto good = list({"", "", " 10", "", "", "", "", "", "1"});
    EXPECT_EQ(PrintStore::restoredCategoryNumber(good), 10);
    EXPECT_EQ(PrintStore::restoredFrameNumber(good), 1);
    PrintStore::List numbers = good;
    numbers[2] = PropertyList::integer(1);
    numbers[8] = PropertyList::integer(2);
    EXPECT_EQ(PrintStore::restoredCategoryNumber(numbers), 1);
    EXPECT_EQ(PrintStore::restoredFrameNumber(numbers), 2);

    // Out of range, not a number, or missing: the shipped 4 and 2, each on its own.
    const auto wrongCategory = list({"", "", "11", "", "", "", "", "", "1"});
    EXPECT_EQ(PrintStore::restoredCategoryNumber(wrongCategory), 4);
    EXPECT_EQ(PrintStore::restoredFrameNumber(wrongCategory), 1);
    const auto wrongBoth = list({"", "", "zero", "", "", "", "", "", "3"});
    EXPECT_EQ(PrintStore::restoredCategoryNumber(wrongBoth), 4);
    EXPECT_EQ(PrintStore::restoredFrameNumber(wrongBoth), 2);
    EXPECT_EQ(PrintStore::restoredCategoryNumber(list({"", "", "0"})), 4);
    EXPECT_EQ(PrintStore::restoredFrameNumber(list({"", "", "3"})), 2);
    EXPECT_EQ(PrintStore::restoredFrameNumber(list({"", "", "", "", "", "", "", "", "-1"})), 2);
    EXPECT_EQ(PrintStore::restoredCategoryNumber({}), 4);

    // With no usable shipped default either, the first pages.
    std::filesystem::remove(resources_ / "config.plist");
    EXPECT_EQ(PrintStore::restoredCategoryNumber({}), 1);
    EXPECT_EQ(PrintStore::restoredFrameNumber({}), 0);
}

TEST_F(PrintStoreTest, ABrokenConfigurationFileStillGivesASoundListAtTermination) {
    // Not an array: the shipped list loads instead, and no list at all still gives the
    // shipped list with the pages at termination.
    TempHome::writeText(documents() / "config.plist",
                        plist("<dict><key>a</key><string>b</string></dict>"));
    PrintStore::List config = PrintStore::loadConfigList();
    EXPECT_EQ(config, PrintStore::shippedConfigList());
    PrintStore::List written = PrintStore::configForTermination({}, 6, 1);
    ASSERT_EQ(written.size(), 9u);
    EXPECT_EQ(written[0].stringValue(), "a");
    EXPECT_EQ(written[2].stringValue(), "6");
    EXPECT_EQ(written[8].stringValue(), "1");

    // Too short: the same.
    TempHome::writeText(documents() / "config.plist", plist(stringArray({"x", "y", "3"})));
    written = PrintStore::configForTermination(PrintStore::loadConfigList(), 3, 0);
    ASSERT_EQ(written.size(), 9u);
    EXPECT_EQ(written[1].stringValue(), "b");

    // Long enough: every other element and the length pass through untouched.
    PrintStore::List longer;
    for (int i = 0; i < 12; ++i)
        longer.push_back(PropertyList::integer(100 + i));
    written = PrintStore::configForTermination(longer, 10, 2);
    ASSERT_EQ(written.size(), 12u);
    EXPECT_EQ(written[2], PropertyList::string("10"));
    EXPECT_EQ(written[8], PropertyList::string("2"));
    EXPECT_EQ(written[7], PropertyList::integer(107));
    EXPECT_EQ(written[11], PropertyList::integer(111));

    // Unreadable garbage is kept aside and the shipped default takes its place; a missing
    // file with no resource behind it gives no list.
    TempHome::writeText(documents() / "config.plist", "<plist><array><string>");
    EXPECT_EQ(PrintStore::loadConfigList().size(), 9u);
    std::filesystem::remove(documents() / "config.plist");
    std::filesystem::remove(resources_ / "config.plist");
    EXPECT_TRUE(PrintStore::loadConfigList().empty());
    written = PrintStore::configForTermination({}, 2, 1);
    ASSERT_EQ(written.size(), 9u);
    EXPECT_EQ(written[2].stringValue(), "2");
}

TEST_F(PrintStoreTest, EveryEntryThatNamesAPrintIsLoadedWhateverFollowsTheName) {
    TempHome::writeText(
        documents() / "prints.plist",
        plist("<array>"
              "<array><string>3.jpg</string><date>2024-05-01T10:00:00Z</date></array>"
              "<array><string>2.jpg</string></array>"
              "<array><integer>2</integer><date>2024-05-01T10:00:00Z</date></array>"
              "<array><string>../../x.jpg</string><date>2024-05-01T10:00:00Z</date></array>"
              "<array><string></string><date>2024-05-01T10:00:00Z</date></array>"
              "<array><string>..</string><date>2024-05-01T10:00:00Z</date></array>"
              "<array><string>4.jpg</string><string>today</string></array>"
              "<string>5.jpg</string>"
              "<array><string>6.jpg</string><date>2024-05-01T10:00:00Z</date><true/></array>"
              "<array><string>1.jpg</string><date>2024-04-01T10:00:00Z</date></array>"
              "</array>"));
    const PrintStore::List prints = PrintStore::loadPrintList();
    std::vector<std::string> names;
    for (const auto& print : prints)
        names.push_back(PrintStore::printName(print));
    EXPECT_EQ(names, (std::vector<std::string>{"3.jpg", "2.jpg", "4.jpg", "6.jpg", "1.jpg"}));

    // Not a list of entries at all: kept aside, and the list starts empty.
    TempHome::writeText(documents() / "prints.plist", plist("<dict/>"));
    EXPECT_TRUE(PrintStore::loadPrintList().empty());
    TempHome::writeText(documents() / "prints.plist", "not a list at all");
    EXPECT_TRUE(PrintStore::loadPrintList().empty());
    std::size_t aside = 0;
    for (const auto& item : std::filesystem::directory_iterator(documents()))
        aside += item.path().filename().string().rfind("prints.plist.damaged-", 0) == 0;
    EXPECT_EQ(aside, 2u);
}

TEST_F(PrintStoreTest, NamesThatLeaveTheDocumentsDirectoryReadAndDeleteNothing) {
    for (const char* name : {"", ".", "..", "a/b.jpg", "../1.jpg", "/etc/passwd"})
        EXPECT_FALSE(PrintStore::isPlainFileName(name)) << name;
    EXPECT_FALSE(PrintStore::isPlainFileName(std::string("1.jpg\0x", 7)));
    for (const char* name : {"1.jpg", "...", ".hidden", "big_1.jpg"})
        EXPECT_TRUE(PrintStore::isPlainFileName(name)) << name;

    // A picture and a "big_" file next to the Documents directory, where "../" would reach.
    const std::filesystem::path outside = home_.root() / "outside.jpg";
    ASSERT_TRUE(smallPicture()->writeJpeg(outside, 1.0));
    ASSERT_TRUE(smallPicture()->writeJpeg(home_.root() / "big_outside.jpg", 1.0));
    documents();
    EXPECT_EQ(PrintStore::loadPrintFile("../outside.jpg"), nullptr);
    PrintStore::removePrintFiles("../outside.jpg");
    EXPECT_TRUE(std::filesystem::exists(outside));
    EXPECT_FALSE(PrintStore::writePrintFile(smallPicture(), "../outside.jpg"));

    // An empty name must not delete the Documents directory's neighbour "big_".
    TempHome::writeText(documents() / "big_", "keep");
    PrintStore::removePrintFiles("");
    EXPECT_TRUE(std::filesystem::exists(documents() / "big_"));

    // A plain name works both ways; a print is never written over another.
    ASSERT_TRUE(PrintStore::writePrintFile(smallPicture(), "9.jpg"));
    ASSERT_TRUE(PrintStore::writePrintFile(smallPicture(), "big_9.jpg"));
    const std::string first = TempHome::readText(documents() / "9.jpg");
    EXPECT_FALSE(PrintStore::writePrintFile(
        platform::Image::fromPixels(8, 8, std::vector<std::uint32_t>(64, 0xff00ff00u)), "9.jpg"));
    EXPECT_EQ(TempHome::readText(documents() / "9.jpg"), first);
    const platform::ImageRef back = PrintStore::loadPrintFile("9.jpg");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->pixelWidth(), 4);
    PrintStore::removePrintFiles("9.jpg");
    EXPECT_FALSE(std::filesystem::exists(documents() / "9.jpg"));
    EXPECT_FALSE(std::filesystem::exists(documents() / "big_9.jpg"));
    PrintStore::removePrintFiles("9.jpg");
}

TEST_F(PrintStoreTest, ANameAlreadyTakenMovesToTheNextFreeNumber) {
    EXPECT_EQ(PrintStore::uniquePrintName(1000, {}), "1000.jpg");

    // Taken by a small file, by a full-size file alone, and by an entry whose files are gone.
    TempHome::writeText(documents() / "1000.jpg", "x");
    TempHome::writeText(documents() / "big_1001.jpg", "x");
    const PrintStore::List prints = {entry("1002.jpg"), entry("7.jpg")};
    EXPECT_EQ(PrintStore::uniquePrintName(1000, prints), "1003.jpg");
    EXPECT_EQ(PrintStore::uniquePrintName(1001, {}), "1002.jpg");
    EXPECT_EQ(PrintStore::uniquePrintName(999, prints), "999.jpg");
}

TEST_F(PrintStoreTest, ListsAreWrittenAsXmlPropertyListsThatLoadBackTheSame) {
    const auto when = std::chrono::system_clock::time_point(std::chrono::seconds(1700000000));
    const PrintStore::List prints = {PrintStore::makePrintEntry("2.jpg", when),
                                     PrintStore::makePrintEntry("1.jpg", when)};
    const PrintStore::List config = PrintStore::configForTermination({}, 5, 2);
    ASSERT_TRUE(PrintStore::writeList(config, PrintStore::kConfigFileName));
    ASSERT_TRUE(PrintStore::writeList(prints, PrintStore::kPrintsFileName));

    const std::string text = TempHome::readText(documents() / "config.plist");
    EXPECT_EQ(text.rfind("<?xml", 0), 0u);
    EXPECT_NE(text.find("<string>5</string>"), std::string::npos);
    EXPECT_EQ(PrintStore::loadConfigList(), config);
    EXPECT_EQ(PrintStore::loadPrintList(), prints);
}

} // namespace
