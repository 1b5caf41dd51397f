#include "shell/CommandLine.h"
#include "shell/HelpFormatter.h"
#include "shell/KeyboardShortcuts.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <vector>

namespace {

struct Parsed {
    std::optional<int> status;
    CommandLine::Options options;
    std::string out, err;
};

Parsed parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "morvane");
    Parsed p;
    std::ostringstream out, err;
    p.status = CommandLine::parse(int(arguments.size()), arguments.data(), p.options, out, err);
    p.out = out.str();
    p.err = err.str();
    return p;
}

TEST(CommandLineTest, TheMirrorChoiceIsOneOfThreeWordsAndAutoUnlessGiven) {
    EXPECT_EQ(parse({}).options.mirror, "auto");
    for (const char* word : {"auto", "on", "off"}) {
        const Parsed p = parse({"--mirror", word});
        EXPECT_FALSE(p.status) << word << ": " << p.err;
        EXPECT_EQ(p.options.mirror, word);
    }
    const Parsed wrong = parse({"--mirror", "sideways"});
    EXPECT_EQ(wrong.status, CommandLine::kUsageError);
    EXPECT_NE(wrong.err.find("--mirror"), std::string::npos) << wrong.err;
}

TEST(CommandLineTest, HelpIsAManualOfOptionsKeysFilesAndExitStatus) {
    const Parsed p = parse({"--help"});
    EXPECT_EQ(p.status, 0);
    for (const char* part :
         {"--mirror", "--camera", "--home", "print", "defaults", "Space", "Escape", "PgUp / PgDn",
          "F11", "Ctrl+Q", "F1 or ?", "scroll X Y", "Ctrl+P", "--printer", "printers",
          "prints.plist", "preferences.plist", "Exit status"})
        EXPECT_NE(p.out.find(part), std::string::npos) << part;
    // Every key the table lists, in the table's words.
    for (const auto& line : KeyboardShortcuts::guide())
        EXPECT_NE(p.out.find("  " + line.keys + " "), std::string::npos) << line.keys;
    EXPECT_NE(p.out.find("\n" + std::string(30, ' ') + "--script or standard input)"),
              std::string::npos)
        << "a continued description starts under the first line's column";
    // A command's own page, not the camera's manual again.
    for (const char* command : {"print", "defaults", "printers"}) {
        const Parsed page = parse({command, "--help"});
        EXPECT_NE(page.out.find("Exit status"), std::string::npos) << command;
        EXPECT_EQ(page.out.find("Keyboard"), std::string::npos) << command;
    }
}

// What the program prints, help or complaint, as a terminal of 80 columns shows it.
TEST(CommandLineTest, EveryHelpAndMessageFitsEightyColumns) {
    TempHome home;
    const std::string program = MORVANE_BINARY;
    const std::string many = " a b c d e f g h i j k l m n o p q r s t u v w x y z aa bb cc dd";
    const std::vector<std::string> commands = {
        "--help",
        "print --help",
        "defaults --help",
        "printers --help",
        "printers --printer ipp://127.0.0.1:1/ipp/print",
        "printers --printer no-such-queue",
        "print photo.jpg --out " + home.root().string() + " --printer ipp://127.0.0.1:1/x",
        "defaults write printer ''",
        "--no-such-option" + many,
        "--mirror sideways",
        "--scale 99",
        "print",
        "print photo.jpg --out " + home.root().string() + " --category 11",
        "print photo.jpg --out " + home.root().string() + " --look sepai",
        "print photo.jpg --out " + home.root().string() + " --frame round",
        "print photo.jpg --out " + home.root().string() + " --force --skip-existing",
        "print --out " + home.root().string() + " --date",
        "print " + home.root().string() + " --out " + (home.root() / "prints").string(),
        "defaults write canDate maybe",
        "defaults write isHighQuality perhaps",
        "defaults write canvibrate YES",
        "defaults write skin 9",
        "defaults frob",
        "--headless --camera nothing </dev/null",
        "--camera list",
        "--headless --camera scene <<< 'key q'",
        "--headless --camera scene <<< 'scroll 1 2 3'",
    };
    for (const std::string& command : commands) {
        const std::string line = "bash -c \"" + program + " " + command + "\" 2>&1";
        FILE* pipe = popen(line.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string output;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            output.append(buffer, n);
        pclose(pipe);
        EXPECT_FALSE(output.empty()) << command;
        std::istringstream lines(output);
        for (std::string text; std::getline(lines, text);)
            EXPECT_LE(text.size(), 80u) << command << ":\n" << text;
    }
}

TEST(CommandLineTest, WrappingBreaksAtSpacesAndKeepsLineBreaks) {
    EXPECT_EQ(HelpFormatter::wrap("one two three four", 9), "one two\nthree\nfour");
    EXPECT_EQ(HelpFormatter::wrap("a\nb c\n", 80), "a\nb c\n");
    EXPECT_EQ(HelpFormatter::wrap("x /a/very/long/path y", 5), "x\n/a/very/long/path\ny");
}

} // namespace
