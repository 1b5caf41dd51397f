#include "support/ScriptedCamera.h"

#include "platform/backend/ScriptParser.h"

#include <gtest/gtest.h>

namespace {

// The gallery with three prints, scrolled to its end, and "Remove This Print" opened on the
// second row (1002.jpg): after the glide the second row's remove button stands at y 140.
const std::string kConfirmSecondRow = "tap 160 460\nwait 1\nswipe 160 440 160 60\nwait 2\n"
                                      "tap 270 160\nwait 0.5\n";

class ModalKeysTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(camera_.seedPrints(3)); }

    ScriptedCamera camera_;
};

TEST_F(ModalKeysTest, KeysUnderTheRemoveAlertNeitherCloseTheGalleryNorMakeAPrint) {
    // Escape is the alert's Cancel; the shutter key then finds the alert in front and does
    // nothing, so the OK that follows has no alert left to press.
    EXPECT_EQ(camera_.runScript(kConfirmSecondRow + "key escape\nkey space\nwait 5\nalert 1\n"), 1);
    EXPECT_NE(camera_.errors().find("no alert is open"), std::string::npos) << camera_.errors();
    EXPECT_EQ(camera_.listedNames(),
              (std::vector<std::string>{"1003.jpg", "1002.jpg", "1001.jpg"}));
    EXPECT_EQ(camera_.albumCount(), 0u);
    for (const char* name : {"1003.jpg", "1002.jpg", "1001.jpg"})
        EXPECT_TRUE(camera_.bothFiles(name)) << name;
}

TEST_F(ModalKeysTest, ReturnPressesOkAndRemovesExactlyTheChosenPrint) {
    ASSERT_EQ(camera_.runScript(kConfirmSecondRow + "key space\nwait 5\nkey Return\nwait 1\n"), 0)
        << camera_.errors();
    EXPECT_EQ(camera_.listedNames(), (std::vector<std::string>{"1003.jpg", "1001.jpg"}));
    EXPECT_FALSE(camera_.bothFiles("1002.jpg"));
    EXPECT_EQ(camera_.albumCount(), 0u);
}

TEST_F(ModalKeysTest, AScriptPastItsSizeLimitIsRefusedBeforeAnythingChanges) {
    // A shutter press, then comments without end; cut at four times the limit so that a
    // camera that never stops reading fails here instead of eating the machine's memory.
    const std::string stream = "(echo 'key space'; yes '# and so on, and so on') | head -c " +
                               std::to_string(4 * platform::ScriptParser::kMaxScriptBytes);
    EXPECT_EQ(camera_.runCommand(stream + " | " + MORVANE_BINARY +
                                 " --headless --camera scene --home " +
                                 camera_.home().root().string()),
              2);
    EXPECT_NE(camera_.errors().find("script:"), std::string::npos) << camera_.errors();
    EXPECT_NE(camera_.errors().find("MiB"), std::string::npos) << camera_.errors();
    EXPECT_FALSE(std::filesystem::exists(camera_.home().documents() / "config.plist"));
    EXPECT_EQ(camera_.listedNames().size(), 3u);
    EXPECT_EQ(camera_.albumCount(), 0u);
}

} // namespace
