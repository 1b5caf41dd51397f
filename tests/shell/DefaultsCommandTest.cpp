#include "shell/DefaultsCommand.h"
#include "shell/DesktopPreferences.h"

#include "platform/foundation/UserDefaults.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <sstream>

#include <sys/wait.h>

namespace {

class DefaultsCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Two skins shipped; frame3 after a gap does not count.
        const auto resources = home_.root() / "resources";
        for (const char* name : {"frame0.png", "frame1.png", "frame3.png"})
            TempHome::writeText(resources / name, "png");
        home_.setEnv("MORVANE_RESOURCES", resources.string());
    }

    int run(std::vector<std::string> arguments) {
        out_.str("");
        err_.str("");
        return DefaultsCommand::run(arguments, out_, err_);
    }

    TempHome home_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(DefaultsCommandTest, WrittenValuesAreWhatTheCameraReads) {
    EXPECT_EQ(DefaultsCommand::shippedSkinCount(), 2);
    EXPECT_EQ(run({"write", "skin", "1"}), 0);
    EXPECT_EQ(run({"write", "canVibrate", "yes"}), 0);
    EXPECT_EQ(run({"write", "canDate", "TRUE"}), 0);
    EXPECT_EQ(run({"write", "isHighQuality", "0"}), 0);

    const platform::UserDefaults defaults = platform::UserDefaults::standard();
    EXPECT_EQ(defaults.integerForKey("skin"), 1);
    EXPECT_TRUE(defaults.boolForKey("canVibrate"));
    EXPECT_TRUE(defaults.boolForKey("canDate"));
    EXPECT_FALSE(defaults.boolForKey("isHighQuality"));
    ASSERT_TRUE(defaults.objectForKey("canDate"));
    EXPECT_TRUE(defaults.objectForKey("canDate")->isBoolean());

    EXPECT_EQ(run({"read", "skin"}), 0);
    EXPECT_EQ(out_.str(), "1\n");
    EXPECT_EQ(run({"delete", "canDate"}), 0);
    EXPECT_EQ(run({"read"}), 0);
    EXPECT_EQ(out_.str(), "skin = 1\ncanVibrate = YES\ncanDate = NO (not set)\n"
                          "isHighQuality = NO\nselfTimer = 0 (not set)\n"
                          "playsSounds = YES (not set)\nshowsLookLive = NO (not set)\n"
                          "printer = (none) (not set)\n");
    EXPECT_EQ(run({"delete"}), 0);
    EXPECT_EQ(run({"read"}), 0);
    EXPECT_EQ(out_.str(), "skin = 0 (not set)\ncanVibrate = NO (not set)\n"
                          "canDate = NO (not set)\nisHighQuality = NO (not set)\n"
                          "selfTimer = 0 (not set)\nplaysSounds = YES (not set)\n"
                          "showsLookLive = NO (not set)\nprinter = (none) (not set)\n");

    // The self-timer takes only the delays its key steps through; sounds go off only by NO.
    EXPECT_EQ(run({"write", "selfTimer", "5"}), 2);
    EXPECT_EQ(err_.str(), "morvane defaults: \"selfTimer\" takes 0 (off), 3 or 10 seconds, not "
                          "\"5\"\n");
    EXPECT_EQ(run({"write", "selfTimer", "10"}), 0);
    EXPECT_EQ(run({"write", "playsSounds", "no"}), 0);
    // The look is shown live only when asked for.
    EXPECT_EQ(run({"write", "showsLookLive", "sometimes"}), 2);
    EXPECT_EQ(run({"write", "showsLookLive", "YES"}), 0);
    EXPECT_EQ(run({"read"}), 0);
    EXPECT_NE(out_.str().find("selfTimer = 10\nplaysSounds = NO\nshowsLookLive = YES\n"),
              std::string::npos)
        << out_.str();

    // The printer is a queue's name or an address, kept as written; --printer stands above it.
    EXPECT_EQ(run({"write", "printer", ""}), 2);
    EXPECT_EQ(run({"write", "printer", "ipp://"}), 2);
    EXPECT_EQ(run({"write", "printer", "Photo_Printer"}), 0);
    EXPECT_EQ(run({"read", "printer"}), 0);
    EXPECT_EQ(out_.str(), "Photo_Printer\n");
    EXPECT_EQ(DesktopPreferences::printer(platform::UserDefaults::standard()), "Photo_Printer");
    home_.setEnv(DesktopPreferences::kPrinterVariable, "ipp://10.0.0.9/ipp/print");
    EXPECT_EQ(DesktopPreferences::printer(platform::UserDefaults::standard()),
              "ipp://10.0.0.9/ipp/print");
}

TEST_F(DefaultsCommandTest, WrongKeysValuesAndActionsChangeNothingAndSayWhy) {
    ASSERT_EQ(run({"write", "skin", "1"}), 0);
    const std::string before = TempHome::readText(home_.root() / "preferences.plist");

    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const Case cases[] = {
        {{"write", "skin", "2"}, "from 0 to 1"},
        {{"write", "skin", "-1"}, "not \"-1\""},
        {{"write", "skin", "1.5"}, "whole number"},
        {{"write", "skin", ""}, "whole number"},
        {{"write", "canDate", "maybe"}, "YES or NO"},
        {{"write", "canvibrate", "YES"}, "did you mean \"canVibrate\""},
        {{"write", "colour", "1"}, "the keys are skin, canVibrate, canDate, isHighQuality"},
        {{"write", "skin"}, "a key and a value"},
        {{"write", "skin", "1", "2"}, "a key and a value"},
        {{"read", "skin", "1"}, "at most one key"},
        {{"delete", "nothing"}, "unknown key"},
        {{"erase", "skin"}, "unknown action"},
        {{}, "read, write or delete"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.arguments), 2) << c.message;
        EXPECT_NE(err_.str().find(c.message), std::string::npos) << err_.str();
    }
    EXPECT_EQ(TempHome::readText(home_.root() / "preferences.plist"), before);
}

TEST_F(DefaultsCommandTest, ThroughTheProgramHomeChoosesThePreferencesFile) {
    const std::string home = (home_.root() / "elsewhere").string();
    const std::string program = MORVANE_BINARY;
    const auto status = [&](const std::string& arguments) {
        const int raw = std::system((program + " " + arguments + " >/dev/null 2>&1").c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    EXPECT_EQ(status("defaults write canDate YES --home " + home), 0);
    EXPECT_TRUE(std::filesystem::exists(home + "/preferences.plist"));
    EXPECT_FALSE(std::filesystem::exists(home_.root() / "preferences.plist"));
    EXPECT_EQ(status("--home " + home + " defaults write skin 9"), 2);
    EXPECT_EQ(status("--home " + home + " defaults write"), 2);
    EXPECT_EQ(status("--no-such-option"), 2);
    EXPECT_EQ(status("--scale 0 --headless"), 2);
    EXPECT_EQ(status("--version"), 0);
}

} // namespace
