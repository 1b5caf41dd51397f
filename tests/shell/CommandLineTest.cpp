#include "shell/CommandLine.h"

#include <gtest/gtest.h>

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
    for (const char* part : {"--mirror", "--camera", "--home", "print", "defaults", "Space",
                             "Escape", "prints.plist", "preferences.plist", "Exit status"})
        EXPECT_NE(p.out.find(part), std::string::npos) << part;
    // Long descriptions broken to fit a terminal, each line under its own column.
    for (const Parsed& page : {p, parse({"print", "--help"})}) {
        std::istringstream lines(page.out);
        for (std::string line; std::getline(lines, line);)
            EXPECT_LE(line.size(), 96u) << line;
    }
    EXPECT_NE(p.out.find("\n                              (the scene, a picture"),
              std::string::npos)
        << "a continued description starts under the first line's column";
    // A command's own page, not the camera's manual again.
    for (const char* command : {"print", "defaults"}) {
        const Parsed page = parse({command, "--help"});
        EXPECT_NE(page.out.find("Exit status"), std::string::npos) << command;
        EXPECT_EQ(page.out.find("Keyboard"), std::string::npos) << command;
    }
}

} // namespace
