#include "platform/backend/ScriptParser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

using namespace platform;
using Kind = ScriptCommand::Kind;

TEST(ScriptParser, ReadsEveryCommandWithItsLineSkippingCommentsAndBlanks) {
    std::string error;
    auto script = ScriptParser::parseText("# a demo\n"
                                          "\n"
                                          "tap 160 240   # the middle\r\n"
                                          "swipe 250 400 20.5 400\n"
                                          "   key Escape\n"
                                          "wait 1.5\n"
                                          "pick /home/me/My Pictures/cat.jpg\n"
                                          "cancel\n"
                                          "alert 1\n"
                                          "shot out/first shot.PNG\n"
                                          "quit\n"
                                          "scroll 160 300 0 -2.5",
                                          error);
    ASSERT_TRUE(script) << error;
    const auto& c = script->commands();
    ASSERT_EQ(c.size(), 10u);
    EXPECT_EQ(c[0].kind, Kind::Tap);
    EXPECT_EQ(c[0].line, 3);
    EXPECT_EQ(c[0].from, (Point{160, 240}));
    EXPECT_EQ(c[1].kind, Kind::Swipe);
    EXPECT_EQ(c[1].to, (Point{20.5, 400}));
    EXPECT_EQ(c[2].text, "escape") << "a key named as the manual prints it";
    EXPECT_DOUBLE_EQ(c[3].seconds, 1.5);
    EXPECT_EQ(c[4].text, "/home/me/My Pictures/cat.jpg");
    EXPECT_EQ(c[5].kind, Kind::Cancel);
    EXPECT_EQ(c[6].index, 1);
    EXPECT_EQ(c[7].text, "out/first shot.PNG");
    EXPECT_EQ(c[8].kind, Kind::Quit);
    EXPECT_EQ(c[8].line, 11);
    EXPECT_EQ(c[9].kind, Kind::Scroll);
    EXPECT_EQ(c[9].from, (Point{160, 300}));
    EXPECT_EQ(c[9].notches, (Point{0, -2.5}));

    auto empty = ScriptParser::parseText("", error);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}

TEST(ScriptParser, AMalformedLineIsNamedByNumber) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"tap 1 2\njump 3", "script:2: unknown command 'jump'"},
        {"tap 1", "script:1: tap takes 2 arguments, not 1"},
        {"swipe 1 2 3", "script:1: swipe takes 4 arguments, not 3"},
        {"cancel now", "script:1: cancel takes 0 arguments, not 1"},
        {"tap one 2", "script:1: 'one' is not a number"},
        {"tap 1 2x", "script:1: '2x' is not a number"},
        {"tap 400 2", "script:1: point (400, 2) is off the 320 by 480 screen"},
        {"# fine\nwait -1", "script:2: cannot wait a negative time"},
        {"wait nan", "script:1: 'nan' is not a number of seconds"},
        {"wait inf", "script:1: 'inf' is not a number of seconds"},
        {"wait 1e300", "script:1: a wait is at most 86400 seconds"},
        {"key enter", "script:1: unknown key 'enter'"},
        {"key", "script:1: key takes 1 argument, not 0"},
        {"shot out.jpg", "script:1: the shot path 'out.jpg' must end in .png"},
        {"shot .png", "script:1: the shot path '.png' must end in .png"},
        {"shot", "script:1: shot needs the path of a .png file"},
        {"pick   # nothing", "script:1: pick needs the path of a picture"},
        {"alert 0.5", "script:1: '0.5' is not a button index"},
        {"alert -1", "script:1: '-1' is not a button index"},
        {"scroll 1 2 3", "script:1: scroll takes 4 arguments, not 3"},
        {"scroll 1 500 0 1", "script:1: point (1, 500) is off the 320 by 480 screen"},
        {"scroll 1 2 0 down", "script:1: 'down' is not a number of wheel notches"},
        {"scroll 1 2 -101 0", "script:1: a scroll is at most 100 notches each way"},
    };
    for (const auto& [text, message] : cases) {
        std::string error;
        EXPECT_FALSE(ScriptParser::parseText(text, error)) << text;
        EXPECT_EQ(error.rfind(message, 0), 0u) << text << " gave: " << error;
    }
}

TEST(ScriptParser, KeysAreThoseTheProgramHandsInOrElseAnyKeysName) {
    const std::vector<std::string> keys = {"space", "escape", "return"};
    std::string error;
    auto script = ScriptParser::parseText("key Space\nkey RETURN\n", error, keys);
    ASSERT_TRUE(script) << error;
    EXPECT_EQ(script->commands()[1].text, "return");
    // A key of the keyboard that the program has no use for is refused, naming the ones it has,
    // before anything runs.
    EXPECT_FALSE(ScriptParser::parseText("key space\nkey q\n", error, keys));
    EXPECT_EQ(error, "script:2: unknown key 'q'; the keys are:\n  space escape return");
    EXPECT_FALSE(ScriptParser::parseText("key ctrl+escape", error, keys));
    // However many keys there are, the list keeps to a terminal's width.
    std::vector<std::string> many;
    for (int n = 1; n <= 12; ++n)
        many.insert(many.end(), {"f" + std::to_string(n), "ctrl+f" + std::to_string(n)});
    EXPECT_FALSE(ScriptParser::parseText("key q", error, many));
    std::istringstream lines(error);
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count)
        EXPECT_LE(line.size(), 80u) << line;
    EXPECT_GT(count, 2);
    EXPECT_NE(error.find(" ctrl+f12"), std::string::npos);

    script = ScriptParser::parseText("key q\nkey Ctrl+Alt+Delete\nkey F12\n", error);
    ASSERT_TRUE(script) << error;
    EXPECT_EQ(script->commands()[1].text, "ctrl+alt+delete");
    EXPECT_EQ(script->commands()[2].text, "f12");
}

TEST(ScriptParser, AHugeLineIsRefusedWithoutReadingItAll) {
    std::string text = "wait 1\n" + std::string(ScriptParser::kMaxLineBytes, ' ') + "quit\n";
    std::string error;
    EXPECT_FALSE(ScriptParser::parseText(text, error));
    EXPECT_EQ(error, "script:2: line longer than 65536 bytes");
    // Exactly at the limit is still fine.
    text = "wait 1\n" + std::string(ScriptParser::kMaxLineBytes - 4, ' ') + "quit\n";
    EXPECT_TRUE(ScriptParser::parseText(text, error)) << error;
}

TEST(ScriptParser, AScriptPastItsSizeLimitIsRefusedAtTheLineThatPassesIt) {
    // Comment lines of 1 KiB, newline included, up to the limit exactly: accepted.
    const std::string line = "#" + std::string(1022, '.') + "\n";
    std::string text = "key space\n";
    while (text.size() + line.size() <= ScriptParser::kMaxScriptBytes)
        text += line;
    text += std::string(ScriptParser::kMaxScriptBytes - text.size() - 1, '#') + "\n";
    ASSERT_EQ(text.size(), ScriptParser::kMaxScriptBytes);
    std::string error;
    EXPECT_TRUE(ScriptParser::parseText(text, error)) << error;
    const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));

    // One byte more, even a blank line, is refused, naming the line it falls in.
    text += "\n";
    EXPECT_FALSE(ScriptParser::parseText(text, error));
    EXPECT_EQ(error, "script:" + std::to_string(lines + 1) +
                         ": the script is longer than 4 MiB, the most read before a run");
}

TEST(ScriptParser, FilesThatCannotBeReadAreReported) {
    std::string error;
    EXPECT_FALSE(ScriptParser::parseFile("/nonexistent/script.txt", error));
    EXPECT_EQ(error, "script: cannot open /nonexistent/script.txt");
    EXPECT_FALSE(ScriptParser::parseFile("/", error));
    EXPECT_EQ(error, "script: / is a folder");
}
