#include "platform/location/ResourceFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace {

using platform::ResourceFolder;
namespace fs = std::filesystem;

// Every layout the program runs from keeps share/morvane beside bin/: an install under any
// prefix, a staging tree, an unpacked package and the build folder (whose test programs sit in
// tests/, a sibling of share/ too).
TEST(ResourceFolder, BesideTheProgramsFolderWhereverItLies) {
    EXPECT_EQ(ResourceFolder::forProgram("/usr/bin/morvane", std::nullopt), "/usr/share/morvane");
    EXPECT_EQ(ResourceFolder::forProgram("/tmp/stage/opt/m/bin/morvane", std::nullopt),
              "/tmp/stage/opt/m/share/morvane");
    EXPECT_EQ(ResourceFolder::forProgram("/home/u/build/tests/test_shell", std::nullopt),
              "/home/u/build/share/morvane");
    EXPECT_EQ(ResourceFolder::forProgram("/x/bin/../bin/morvane", std::nullopt),
              "/x/share/morvane");
}

TEST(ResourceFolder, OverrideWinsUnlessEmpty) {
    EXPECT_EQ(ResourceFolder::forProgram("/usr/bin/morvane", "/elsewhere"), "/elsewhere");
    EXPECT_EQ(ResourceFolder::forProgram("/usr/bin/morvane", ""), "/usr/share/morvane");

    const char* saved = std::getenv(ResourceFolder::kOverrideVariable);
    const std::string kept = saved ? saved : "";
    setenv(ResourceFolder::kOverrideVariable, "/chosen/folder", 1);
    EXPECT_EQ(ResourceFolder::current(), "/chosen/folder");
    unsetenv(ResourceFolder::kOverrideVariable);
    // This test program lives in the build's tests/ folder, beside its share/morvane.
    EXPECT_EQ(ResourceFolder::current(), fs::path(MORVANE_RESOURCE_DIR).lexically_normal());
    if (saved)
        setenv(ResourceFolder::kOverrideVariable, kept.c_str(), 1);
}

TEST(ResourceFolder, ProblemNamesWhereItLookedUnlessAFolderIsThere) {
    const fs::path root =
        fs::temp_directory_path() / ("morvane-location-" + std::to_string(getpid()));
    fs::create_directories(root / "share" / "morvane");
    std::ofstream(root / "file") << "x";

    EXPECT_EQ(ResourceFolder::problem(root / "share" / "morvane"), std::nullopt);
    const auto missing = ResourceFolder::problem(root / "nowhere" / "share" / "morvane");
    ASSERT_TRUE(missing.has_value());
    EXPECT_NE(missing->find((root / "nowhere" / "share" / "morvane").string()), std::string::npos)
        << *missing;
    EXPECT_TRUE(ResourceFolder::problem(root / "file").has_value());
    fs::remove_all(root);
}

} // namespace
