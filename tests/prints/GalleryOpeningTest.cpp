#include "prints/PrintStore.h"
#include "prints/RecentViewController.h"
#include "shell/MainInterface.h"
#include "support/LaunchedCamera.h"

#include "platform/foundation/Directories.h"
#include "platform/foundation/FileManager.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/PhotoAlbum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Three prints made a minute apart, newest first; each full-size file is its own flat grey.
// The desktop's opener is a real program: a script that writes down what it is given.
class GalleryOpeningTest : public ::testing::Test {
protected:
    static constexpr long long kFirstSecond = 1796774810;

    void SetUp() override {
        const fs::path opener = home_.root() / "opener";
        std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"$0.log\"\n";
        fs::permissions(opener, fs::perms::owner_all);
        home_.setEnv("MORVANE_OPENER", opener.string());
        camera_.launch();

        PrintLists::List prints;
        for (int i = 2; i >= 0; --i) {
            const std::string name = std::to_string(kFirstSecond + 60 * i) + ".jpg";
            const auto grey = 0xFF000000u | (0x40u + 0x30u * i) * 0x010101u;
            const auto picture =
                platform::Image::fromPixels(32, 32, std::vector<std::uint32_t>(32 * 32, grey));
            ASSERT_TRUE(PrintStore::writePrintFile(picture, name));
            ASSERT_TRUE(PrintStore::writePrintFile(picture, "big_" + name));
            names_.push_back(name);
            prints.push_back(PrintStore::makePrintEntry(name, std::chrono::system_clock::now()));
        }
        delegate().printLists().setPrintsXML(prints);
        delegate().recentButtonTouched();
        camera_.runFor(1);
    }

    MorvaneAppDelegate& delegate() { return camera_.delegate(); }
    RecentViewController& gallery() { return *delegate().recentController(); }
    fs::path big(int row) const {
        return PrintStore::documentsDirectory() / ("big_" + names_[row]);
    }
    fs::path album() const {
        return platform::Directories::photoAlbumDirectory(MainInterface::kApplicationName);
    }
    // Saves into the album, as the camera does, under the name of `second`.
    fs::path saveInAlbum(const std::vector<std::uint8_t>& bytes, long long second) {
        fs::create_directories(album());
        std::string error;
        const auto file = platform::PhotoAlbum::writeUnique(
            album(), platform::PhotoAlbum::baseName(MainInterface::kApplicationName, second), bytes,
            error);
        EXPECT_FALSE(file.empty()) << error;
        return file;
    }

    // What the opener has been given so far, once it has been given `count` things (the
    // opener runs on its own, a moment after it is started).
    std::vector<std::string> opened(std::size_t count) {
        const fs::path log = home_.root() / "opener.log";
        std::vector<std::string> lines;
        for (int wait = 0; wait < 100; ++wait) {
            lines.clear();
            std::ifstream in(log);
            for (std::string line; std::getline(in, line);)
                lines.push_back(line);
            if (lines.size() >= count)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return lines;
    }
    std::shared_ptr<platform::AlertView> alert() {
        for (const auto& view : delegate().window()->subviews())
            if (auto found = std::dynamic_pointer_cast<platform::AlertView>(view))
                if (found->isVisible())
                    return found;
        return nullptr;
    }
    // A window point on row `row`'s picture.
    platform::Point onRow(int row) {
        return gallery().scrollArea()->convertPointToView(
            {100, RecentViewController::kRowHeight * row + 120}, nullptr);
    }

    TempHome home_;
    LaunchedCamera camera_;
    std::vector<std::string> names_;
};

TEST_F(GalleryOpeningTest, ADoubleClickOpensTheAlbumCopyOfThatRowsPrint) {
    // The album holds, under the second row's time, another picture first and its copy after.
    const auto bytes = platform::FileManager::contents(big(1));
    ASSERT_TRUE(bytes);
    const long long second = kFirstSecond + 60;
    saveInAlbum(*platform::FileManager::contents(big(0)), second + 1);
    const fs::path copy = saveInAlbum(*bytes, second + 1);

    // One click, or two far apart in time or place, open nothing.
    camera_.tap(onRow(1));
    camera_.runFor(1);
    camera_.tap(onRow(1));
    camera_.runFor(0.1);
    camera_.tap(onRow(0));
    EXPECT_TRUE(opened(0).empty());

    camera_.runFor(1);
    camera_.tap(onRow(1));
    camera_.runFor(0.1);
    camera_.tap(onRow(1));
    EXPECT_EQ(opened(1), std::vector<std::string>{copy.string()});
    EXPECT_FALSE(alert());
}

TEST_F(GalleryOpeningTest, ReturnOpensTheRowInViewAndOTheAlbumFolder) {
    // No album copy of the third print: its own full-size file is the same picture.
    gallery().scrollArea()->setContentOffset({0, RecentViewController::kRowHeight * 2});
    EXPECT_TRUE(camera_.application().key("return"));
    EXPECT_TRUE(camera_.application().key("o"));
    // The two openers run side by side, so either may write its line first.
    auto both = opened(2);
    std::sort(both.begin(), both.end());
    auto expected = std::vector<std::string>{big(2).string(), album().string()};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(both, expected);
    EXPECT_TRUE(fs::is_directory(album()));
}

TEST_F(GalleryOpeningTest, WhatCannotBeOpenedIsSaidAndNothingIsLost) {
    fs::remove(big(0));
    EXPECT_FALSE(gallery().openPrint(0));
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "Cannot Open the Print");
    EXPECT_EQ(alert()->message(), "Its full-size file is no longer there.");
    alert()->dismissWithClickedButtonIndex(0);

    home_.setEnv("MORVANE_OPENER", (home_.root() / "no-such-viewer").string());
    EXPECT_FALSE(gallery().openPrint(1));
    ASSERT_TRUE(alert());
    EXPECT_NE(alert()->message().find("no-such-viewer cannot be started"), std::string::npos)
        << alert()->message();
    alert()->dismissWithClickedButtonIndex(0);
    EXPECT_EQ(delegate().printLists().printsXML().size(), 3u);
    EXPECT_TRUE(fs::exists(big(1)));
    EXPECT_TRUE(opened(0).empty());
}

} // namespace
