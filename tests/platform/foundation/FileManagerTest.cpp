#include "platform/foundation/FileManager.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <random>

namespace {

using platform::FileManager;
using testing_support::readText;
using testing_support::TemporaryFolder;
using testing_support::writeText;

// Every byte value, NULs and newlines included, and more than one read buffer's worth.
std::vector<std::uint8_t> awkwardBytes() {
    std::vector<std::uint8_t> bytes(200'000);
    std::mt19937 random(7);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = i < 256 ? static_cast<std::uint8_t>(i) : static_cast<std::uint8_t>(random());
    }
    return bytes;
}

TEST(FileManager, CopyIsByteForByteAndReplacesTheTarget) {
    TemporaryFolder folder;
    const auto bytes = awkwardBytes();
    ASSERT_TRUE(FileManager::createFile(folder / "source", bytes));
    writeText(folder / "target", "older and different");

    ASSERT_TRUE(FileManager::copyItem(folder / "source", folder / "target"));
    EXPECT_EQ(FileManager::contents(folder / "target"), bytes);
    EXPECT_EQ(FileManager::contents(folder / "source"), bytes);

    ASSERT_TRUE(FileManager::copyItem(folder / "source", folder / "source"));
    EXPECT_EQ(FileManager::contents(folder / "source"), bytes);

    // Nothing to copy: the target keeps what it had.
    EXPECT_FALSE(FileManager::copyItem(folder / "missing", folder / "target"));
    EXPECT_FALSE(FileManager::copyItem(folder.path(), folder / "target"));
    EXPECT_EQ(FileManager::contents(folder / "target"), bytes);
    EXPECT_EQ(folder.entries().size(), 2u);
}

TEST(FileManager, CreateReplacesAndLeavesNoTemporary) {
    TemporaryFolder folder;
    const auto path = folder / "1767614400.jpg";
    ASSERT_TRUE(FileManager::createFile(path, {1, 2, 3, 4, 5, 6}));
    ASSERT_TRUE(FileManager::createFile(path, {9}));
    EXPECT_EQ(FileManager::contents(path), (std::vector<std::uint8_t>{9}));
    ASSERT_TRUE(FileManager::createFile(path, {}));
    EXPECT_EQ(FileManager::contents(path), std::vector<std::uint8_t>{});
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"1767614400.jpg"});
}

TEST(FileManager, ContentsOnlyOfRegularFiles) {
    TemporaryFolder folder;
    EXPECT_FALSE(FileManager::contents(folder / "missing").has_value());
    EXPECT_FALSE(FileManager::contents(folder.path()).has_value());
    EXPECT_FALSE(FileManager::contents("/dev/zero").has_value());
    EXPECT_FALSE(FileManager::contents("").has_value());
}

TEST(FileManager, RemoveIsHarmlessAndNeverRecursive) {
    TemporaryFolder folder;
    writeText(folder / "a.jpg", "a");
    EXPECT_TRUE(FileManager::fileExists(folder / "a.jpg"));
    EXPECT_TRUE(FileManager::removeItem(folder / "a.jpg"));
    EXPECT_FALSE(FileManager::fileExists(folder / "a.jpg"));
    EXPECT_FALSE(FileManager::removeItem(folder / "a.jpg"));
    EXPECT_FALSE(FileManager::removeItem(""));

    // An empty print name appended to the Documents folder names the folder itself.
    std::filesystem::create_directory(folder / "Documents");
    writeText(folder / "Documents" / "prints.plist", "keep");
    EXPECT_FALSE(FileManager::removeItem(folder / "Documents" / ""));
    EXPECT_EQ(readText(folder / "Documents" / "prints.plist"), "keep");
    EXPECT_TRUE(FileManager::fileExists(folder / "Documents"));
}

} // namespace

namespace {

TEST(FileManager, ExclusiveCreationNeverReplacesAndLeavesNoTemporary) {
    TemporaryFolder folder;
    const auto path = folder / "1767614400.jpg";
    ASSERT_TRUE(FileManager::createFileExclusively(path, {1, 2, 3}));
    EXPECT_EQ(FileManager::contents(path), (std::vector<std::uint8_t>{1, 2, 3}));

    errno = 0;
    EXPECT_FALSE(FileManager::createFileExclusively(path, {9, 9}));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(FileManager::contents(path), (std::vector<std::uint8_t>{1, 2, 3}));
    // Whatever holds the name is left alone: a folder, or a link to a file elsewhere.
    std::filesystem::create_directory(folder / "sub");
    EXPECT_FALSE(FileManager::createFileExclusively(folder / "sub", {1}));
    writeText(folder / "elsewhere", "kept");
    std::filesystem::create_symlink(folder / "elsewhere", folder / "link.jpg");
    EXPECT_FALSE(FileManager::createFileExclusively(folder / "link.jpg", {1}));
    EXPECT_EQ(readText(folder / "elsewhere"), "kept");
    auto entries = folder.entries();
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries,
              (std::vector<std::string>{"1767614400.jpg", "elsewhere", "link.jpg", "sub"}));
}

TEST(FileManager, OnlyTheTemporariesOfInterruptedWritesAreCleanedAway) {
    TemporaryFolder folder;
    // What writes killed before their rename leave, named as the writer names them.
    writeText(folder / ".prints.plist.tmp-4242-0-123456", "half");
    writeText(folder / ".1767614400.jpg.tmp-17-3-99", "half");
    // Things that only look alike, and the user's own files.
    const std::vector<std::string> kept = {
        ".tmp-1-2-3",          ".notes.tmp-1-2", ".photo.tmp-1-2-x", "prints.plist.tmp-1-2-3",
        ".photo.jpg.tmp--1-2", "1767614400.jpg", "prints.plist"};
    for (const auto& name : kept)
        writeText(folder / name, "keep");
    EXPECT_EQ(FileManager::removeTemporaries(folder.path()), 2);
    auto expected = kept;
    std::sort(expected.begin(), expected.end());
    auto found = folder.entries();
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, expected);
    EXPECT_EQ(FileManager::removeTemporaries(folder / "missing"), 0);
}

} // namespace
