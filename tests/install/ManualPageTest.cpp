#include "InstalledTree.h"

#include "shell/ManualPage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <regex>
#include <set>
#include <sstream>
#include <vector>

namespace {

using namespace install_test;

// The words a reader sees in a page: roff requests dropped, escapes undone, case and a
// heading's colon ignored.
std::vector<std::string> wordsOfPage(const std::string& roff) {
    std::vector<std::string> words;
    std::istringstream lines(roff);
    for (std::string line; std::getline(lines, line);) {
        // Section headings are words the reader sees; other requests are not.
        if (line.starts_with(".SH "))
            line = line.substr(4);
        else if (line.starts_with(".") || line.starts_with("'"))
            continue;
        line = std::regex_replace(line, std::regex(R"(\\f[BIRP])"), "");
        line = std::regex_replace(line, std::regex(R"(\\-)"), "-");
        line = std::regex_replace(line, std::regex(R"(\\&)"), "");
        line = std::regex_replace(line, std::regex(R"(\\e)"), "\\");
        std::istringstream in(line);
        for (std::string word; in >> word;)
            words.push_back(word);
    }
    return words;
}

std::vector<std::string> wordsOfText(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

std::string normal(std::string word) {
    std::transform(word.begin(), word.end(), word.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    while (!word.empty() && word.back() == ':')
        word.pop_back();
    return word;
}

// The first help word the page lacks, keeping their order; empty when the page has them all.
// A page gives the synopsis before the description, so the help's usage line counts as first.
std::string firstMissingWord(const std::string& help, const std::string& page) {
    std::string reordered = help;
    if (const auto usage = help.find("Usage: "); usage != std::string::npos) {
        const auto end = help.find('\n', usage);
        reordered = help.substr(usage + 7, end - usage - 7) + "\n" + help.substr(0, usage) +
                    (end == std::string::npos ? "" : help.substr(end));
    }
    const auto wanted = wordsOfText(reordered);
    const auto have = wordsOfPage(page);
    std::size_t at = 0;
    for (const auto& word : wanted) {
        while (at < have.size() && normal(have[at]) != normal(word))
            ++at;
        if (at == have.size())
            return word;
        ++at;
    }
    return {};
}

// The built pages are the program's help, every word in order; a help line the converter
// dropped, or a page left over from an older help, would be missing here.
TEST(ManualPage, BuiltPagesSayEveryWordOfTheHelp) {
    const std::string program = MORVANE_BINARY;
    const fs::path pages = fs::path(MORVANE_BUILD_DIR) / "share" / "man" / "man1";
    const std::pair<const char*, const char*> cases[] = {{"--help", "morvane.1"},
                                                         {"print --help", "morvane-print.1"},
                                                         {"defaults --help", "morvane-defaults.1"}};
    for (const auto& [arguments, page] : cases) {
        const auto help = runCommand(program + " " + arguments);
        ASSERT_EQ(help.status, 0) << arguments;
        const std::string roff = readText(pages / page);
        ASSERT_FALSE(roff.empty()) << page;
        EXPECT_EQ(firstMissingWord(help.output, roff), "") << page;
        EXPECT_NE(roff.find(".SH EXIT STATUS"), std::string::npos) << page;
    }
}

TEST(ManualPage, HelpLayoutBecomesSectionsAndTaggedParagraphs) {
    const std::string help = "The camera.\n"
                             "Usage: cam [OPTIONS]\n"
                             "\n"
                             "Options:\n"
                             "  --scale N         Window pixels per point, from 0.5\n"
                             "                    up to 8\n"
                             "  cam take-a-very-long-command-name\n"
                             "                    what it does\n"
                             "\n"
                             "Files (below DIR/ with --home):\n"
                             "  a sentence without columns\n"
                             ".starts with a dot and has a \\ backslash\n"
                             "Exit status: 0 done, 1 failed.\n";
    const std::string page = ManualPage::fromHelp({"cam", "a camera", "Cam 1.0"}, help);
    EXPECT_TRUE(page.starts_with(".TH CAM 1 \"\" \"Cam 1.0\" \"User Commands\"\n")) << page;
    EXPECT_NE(page.find(".SH NAME\ncam \\- a camera\n"), std::string::npos) << page;
    EXPECT_NE(page.find(".SH SYNOPSIS\ncam [OPTIONS]\n"), std::string::npos) << page;
    EXPECT_NE(page.find(".SH OPTIONS\n.TP\n\\fB\\-\\-scale N\\fR\nWindow pixels per point, from "
                        "0.5\nup to 8\n"),
              std::string::npos)
        << page;
    EXPECT_NE(page.find(".TP\n\\fBcam take\\-a\\-very\\-long\\-command\\-name\\fR\nwhat it does\n"),
              std::string::npos)
        << page;
    EXPECT_NE(page.find(".SH FILES\n(below DIR/ with \\-\\-home)\n"), std::string::npos) << page;
    // A dot opening a line would be taken as a request and the line lost.
    EXPECT_NE(page.find("\n\\&.starts with a dot and has a \\e backslash\n"), std::string::npos)
        << page;
    EXPECT_NE(page.find(".SH EXIT STATUS\n0 done, 1 failed.\n"), std::string::npos) << page;
    EXPECT_EQ(firstMissingWord(help, page), "");
}

// Completion is written by hand, so it is held to the help: every option the program takes,
// every command and every preference key.
TEST(BashCompletion, OffersEveryOptionCommandAndKey) {
    const std::string completion =
        readText(fs::path(MORVANE_SOURCE_DIR) / "packaging" / "morvane.bash-completion");
    ASSERT_FALSE(completion.empty());
    const std::string program = MORVANE_BINARY;
    std::set<std::string> offered;
    for (const char* arguments : {"--help", "print --help", "defaults --help", "printers --help"}) {
        const auto help = runCommand(program + " " + arguments);
        ASSERT_EQ(help.status, 0) << arguments;
        const std::regex option(R"((?:^|[ ,])(--[a-z][a-z-]*))");
        for (std::sregex_iterator it(help.output.begin(), help.output.end(), option), end;
             it != end; ++it)
            offered.insert((*it)[1]);
    }
    ASSERT_TRUE(offered.count("--headless"));
    ASSERT_TRUE(offered.count("--high-quality"));
    for (const auto& option : offered)
        EXPECT_TRUE(std::regex_search(completion, std::regex("[^a-z-]" + option + "[^a-z-]")))
            << option;
    for (const char* word : {"print", "defaults", "printers", "read", "write", "delete", "skin",
                             "canVibrate", "canDate", "isHighQuality", "printer"})
        EXPECT_NE(completion.find(word), std::string::npos) << word;
}

} // namespace
