#include "platform/foundation/UserDefaults.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

using platform::PropertyList;
using platform::UserDefaults;
using testing_support::TemporaryFolder;
using testing_support::writeText;

std::string preferences(const std::string& entries) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + entries +
           "</dict></plist>\n";
}

TEST(UserDefaults, ConvertsStoredValuesLikeThePlatform) {
    TemporaryFolder folder;
    writeText(folder / "preferences.plist",
              preferences("<key>skinText</key><string>3</string>"
                          "<key>skinNumber</key><integer>3</integer>"
                          "<key>skinReal</key><real>3.7</real>"
                          "<key>skinBool</key><true/>"
                          "<key>skinWord</key><string>classic</string>"
                          "<key>skinDate</key><date>2026-01-05T00:00:00Z</date>"
                          "<key>yes</key><string>YES</string>"
                          "<key>no</key><string>no</string>"
                          "<key>one</key><string>1</string>"
                          "<key>true</key><string> True </string>"
                          "<key>zero</key><string>0</string>"
                          "<key>falseText</key><string>false</string>"
                          "<key>other</key><string>maybe</string>"
                          "<key>number</key><integer>2</integer>"
                          "<key>zeroNumber</key><integer>0</integer>"
                          "<key>flag</key><false/>"));
    const UserDefaults defaults(folder / "preferences.plist");

    EXPECT_EQ(defaults.integerForKey("skinText"), 3);
    EXPECT_EQ(defaults.integerForKey("skinNumber"), 3);
    EXPECT_EQ(defaults.integerForKey("skinReal"), 3);
    EXPECT_EQ(defaults.integerForKey("skinBool"), 1);
    EXPECT_EQ(defaults.integerForKey("skinWord"), 0);
    EXPECT_EQ(defaults.integerForKey("skinDate"), 0);
    EXPECT_EQ(defaults.integerForKey("absent"), 0);

    EXPECT_TRUE(defaults.boolForKey("yes"));
    EXPECT_FALSE(defaults.boolForKey("no"));
    EXPECT_TRUE(defaults.boolForKey("one"));
    EXPECT_TRUE(defaults.boolForKey("true"));
    EXPECT_FALSE(defaults.boolForKey("zero"));
    EXPECT_FALSE(defaults.boolForKey("falseText"));
    EXPECT_FALSE(defaults.boolForKey("other"));
    EXPECT_TRUE(defaults.boolForKey("number"));
    EXPECT_FALSE(defaults.boolForKey("zeroNumber"));
    EXPECT_FALSE(defaults.boolForKey("flag"));
    EXPECT_TRUE(defaults.boolForKey("skinBool"));
    EXPECT_FALSE(defaults.boolForKey("skinDate"));
    EXPECT_FALSE(defaults.boolForKey("absent"));

    ASSERT_TRUE(defaults.objectForKey("skinText").has_value());
    EXPECT_EQ(*defaults.objectForKey("skinText"), PropertyList::string("3"));
    EXPECT_FALSE(defaults.objectForKey("absent").has_value());
}

TEST(UserDefaults, UnusableFilesReadAsNoPreferences) {
    TemporaryFolder folder;
    const std::vector<std::pair<std::string, std::string>> files = {
        {"malformed", preferences("<key>canDate</key><true/>").substr(0, 70)},
        {"array at the top", "<plist version=\"1.0\"><array><true/></array></plist>"},
        {"empty", ""},
    };
    for (const auto& [name, text] : files) {
        SCOPED_TRACE(name);
        writeText(folder / "preferences.plist", text);
        const UserDefaults defaults(folder / "preferences.plist");
        EXPECT_TRUE(defaults.dictionaryRepresentation().empty());
        EXPECT_FALSE(defaults.boolForKey("canDate"));
        EXPECT_EQ(defaults.integerForKey("skin"), 0);
    }
    EXPECT_TRUE(UserDefaults(folder / "missing.plist").dictionaryRepresentation().empty());
}

TEST(UserDefaults, SynchronizeKeepsWhatWasSet) {
    TemporaryFolder folder;
    const auto file = folder / "config" / "morvane" / "preferences.plist";
    UserDefaults defaults(file);
    defaults.setObjectForKey(PropertyList::integer(3), "skin");
    defaults.setObjectForKey(PropertyList::boolean(true), "canDate");
    defaults.setObjectForKey(PropertyList::boolean(true), "canVibrate");
    defaults.removeObjectForKey("canVibrate");
    ASSERT_TRUE(defaults.synchronize());

    const UserDefaults reread(file);
    EXPECT_EQ(reread.integerForKey("skin"), 3);
    EXPECT_TRUE(reread.boolForKey("canDate"));
    EXPECT_FALSE(reread.objectForKey("canVibrate").has_value());
    EXPECT_EQ(reread.dictionaryRepresentation().size(), 2u);
}

} // namespace
