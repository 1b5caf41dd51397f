#pragma once

#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <string>

// `morvane print` run as a user runs it, in a home of its own, on the model whose print sizes
// the tests expect; what it says is kept.
class PrintCommandRun : public ::testing::Test {
protected:
    void SetUp() override { home_.setEnv("MORVANE_MODEL", "iPhone2,1"); }

    // Runs the program with these arguments; standard output and error are kept.
    int run(const std::string& arguments) {
        const std::string command = std::string(MORVANE_BINARY) + " print " + arguments + " >" +
                                    (home_.root() / "out.txt").string() + " 2>" +
                                    (home_.root() / "err.txt").string();
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string output() { return TempHome::readText(home_.root() / "out.txt"); }
    std::string errors() { return TempHome::readText(home_.root() / "err.txt"); }
    // Messages are wrapped to 80 columns: read joined, a phrase may span a line break.
    std::string joinedErrors() {
        std::string text = errors();
        std::replace(text.begin(), text.end(), '\n', ' ');
        return text;
    }

    TempHome home_;
};
