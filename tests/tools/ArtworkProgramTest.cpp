#include "ResourcePicture.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// The artwork program the build runs to draw the resources.
fs::path artworkProgram() {
    return MORVANE_ARTWORK_PROGRAM;
}

struct ProgramRun {
    int status = -1;
    std::string output;
};

ProgramRun run(const std::string& arguments) {
    const std::string command = artworkProgram().string() + " " + arguments + " 2>&1";
    ProgramRun result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) {
        result.output += buffer;
    }
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ArtworkProgram : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("morvane-artwork-" + std::to_string(getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path folder_;
};

// Pictures that must come out the same on every build: noise, random scratches and the rows
// shared among threads may not change a single byte.
TEST_F(ArtworkProgram, DrawsTheSameBytesAsTheBuildDid) {
    for (const char* prefix : {"cat", "frame", "background", "film_vintage1", "film_rainbow2"}) {
        const ProgramRun drawn = run(std::string("--only ") + prefix + " " + folder_.string());
        ASSERT_EQ(drawn.status, 0) << drawn.output;
    }
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(folder_)) {
        const fs::path built = fs::path(MORVANE_RESOURCE_DIR) / entry.path().filename();
        EXPECT_EQ(bytes(entry.path()), bytes(built)) << entry.path().filename();
        ++compared;
    }
    EXPECT_EQ(compared, 10 + 3 + 3 + 1 + 1);
}

TEST_F(ArtworkProgram, RefusesABadCommandLineWithAClearMessage) {
    const ProgramRun nothing = run("");
    EXPECT_EQ(nothing.status, 2);
    EXPECT_NE(nothing.output.find("no output folder"), std::string::npos) << nothing.output;

    const ProgramRun unknown = run("--shiny " + folder_.string());
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.output.find("--shiny"), std::string::npos) << unknown.output;

    // A file where the folder should be: nothing is drawn and the message names the path.
    const fs::path blocker = folder_ / "taken";
    std::ofstream(blocker) << "x";
    const ProgramRun blocked = run("--only lamp " + blocker.string());
    EXPECT_EQ(blocked.status, 1);
    EXPECT_NE(blocked.output.find(blocker.string()), std::string::npos) << blocked.output;
    EXPECT_EQ(bytes(blocker), "x");
}

// Borders measured along the middle row and column of the plain frames, in pixels of 1500.
struct Borders {
    int left = 0, right = 0, top = 0, bottom = 0;
};

Borders measure(const ResourcePicture& frame) {
    Borders b;
    const int mid = 750;
    const int n = frame.width();
    while (b.left < n && frame.alpha(b.left, mid) != 0) {
        ++b.left;
    }
    while (b.right < n && frame.alpha(n - 1 - b.right, mid) != 0) {
        ++b.right;
    }
    while (b.top < n && frame.alpha(mid, b.top) != 0) {
        ++b.top;
    }
    while (b.bottom < n && frame.alpha(mid, n - 1 - b.bottom) != 0) {
        ++b.bottom;
    }
    return b;
}

TEST(FrameShapes, SquareFrameIsEvenAndInstantFrameHasItsWideBottom) {
    const ResourcePicture square("film_normal0");
    const ResourcePicture instant("film_normal1");
    ASSERT_TRUE(square.loaded());
    ASSERT_TRUE(instant.loaded());

    const Borders even = measure(square);
    for (int side : {even.left, even.right, even.top, even.bottom}) {
        EXPECT_NEAR(side, 90, 2); // six per cent of the print
    }
    const Borders tall = measure(instant);
    EXPECT_NEAR(tall.left, tall.right, 1);
    EXPECT_NEAR(tall.top, tall.left, 1);
    EXPECT_GT(tall.bottom, 2 * tall.top);
    EXPECT_LT(tall.bottom, 400); // the picture keeps most of the print
}

} // namespace
