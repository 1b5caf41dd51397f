// The whole camera, headless on the virtual clock, when things go wrong around it: killed in
// the middle of a run, its Documents directory full or gone.
#include "hardening/CameraHome.h"

#include "platform/foundation/PropertyList.h"
#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdio.h>

using hardening::CameraProcess;
using hardening::ProcessLimits;
using platform::PropertyList;
namespace fs = std::filesystem;

namespace {

class Reliability : public hardening::CameraHome {};

TEST_F(Reliability, AKilledRunLeavesTheListsOfTheLastCleanEndAndOnlyWholePictures) {
    ASSERT_EQ(run(printsScript(3)), 0) << errors_;
    const std::string config = read(configFile());
    const std::string prints = read(printsFile());
    ASSERT_EQ(list(printsFile())->size(), 3u);

    // Killed early, in the middle, and once old prints have been evicted from memory and disk.
    std::size_t albumSize = pictures(album()).size();
    for (std::size_t killAfter : {1, 8, 22}) {
        SCOPED_TRACE("killed after " + std::to_string(killAfter) + " prints");
        auto camera = start(printsScript(30));
        ASSERT_TRUE(camera->waitUntil(
            [&] { return pictures(album()).size() >= albumSize + killAfter; }, 900))
            << "the run ended before it could be killed:\n"
            << camera->errors();
        camera->kill(SIGKILL);
        EXPECT_EQ(camera->wait(), -SIGKILL);
        albumSize = pictures(album()).size();

        EXPECT_EQ(read(configFile()), config);
        EXPECT_EQ(read(printsFile()), prints);
        expectReadable(pictures(documents()));
        expectReadable(pictures(album()));
    }

    // Started again, the camera goes on from those lists.
    ASSERT_EQ(run(printsScript(1)), 0) << errors_;
    const auto before = PropertyList::fromXml(prints);
    const auto after = list(printsFile());
    ASSERT_TRUE(after && before);
    ASSERT_EQ(after->size(), 4u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ((*after)[i + 1], (*before)[i]);
    }
    EXPECT_NE(platform::Image::contentsOfFile(documents() / (*after)[0][0].stringValue()), nullptr);
}

TEST_F(Reliability, AFullDiskLosesOnlyThePicturesAndSaysWhich) {
    ASSERT_EQ(run(printsScript(2)), 0) << errors_;
    const auto kept = pictures(documents());
    ASSERT_EQ(kept.size(), 4u);

    // No file may grow past 8 KB: the lists still fit, no print does. Three prints, then the
    // gallery, then the end.
    ProcessLimits full;
    full.fileBytes = 8 * 1024;
    ASSERT_EQ(run(printsScript(3, "key r\nwait 1\nkey escape\nwait 1\nquit\n"), full), 0)
        << errors_;

    // The shutter kept working after each failed save, and the lists were written whole.
    const auto prints = list(printsFile());
    ASSERT_TRUE(prints);
    EXPECT_EQ(prints->size(), 5u);
    ASSERT_TRUE(list(configFile()));
    EXPECT_EQ(pictures(documents()), kept);
    expectReadable(kept);
    // Each print's two files and its album picture are named as not written.
    EXPECT_EQ(lines(errors_, documents().string()), 6u) << errors_;
    EXPECT_EQ(lines(errors_, "photo album"), 3u) << errors_;
}

TEST_F(Reliability, DocumentsTurningIntoAFileMidRunLeavesTheCameraRunningAndTheListsWhole) {
    ASSERT_EQ(run(printsScript(1)), 0) << errors_;
    const std::string config = read(configFile());
    const std::string prints = read(printsFile());

    const fs::path blocker = home() / "blocker";
    std::ofstream(blocker) << "not a folder";
    auto camera = start(printsScript(12));
    ASSERT_TRUE(camera->waitUntil([&] { return pictures(album()).size() >= 2; }, 900))
        << "the run ended before Documents could be taken away:\n"
        << camera->errors();
    // Swapped in one step, so that the camera never finds the name free to make a new folder.
    ASSERT_EQ(
        ::renameat2(AT_FDCWD, documents().c_str(), AT_FDCWD, blocker.c_str(), RENAME_EXCHANGE), 0);
    EXPECT_EQ(camera->wait(), 0) << camera->errors();
    errors_ = camera->errors();

    // The file in its way is left alone, and what could not be written is named.
    EXPECT_EQ(read(documents()), "not a folder");
    EXPECT_GE(lines(errors_, "config.plist"), 1u) << errors_;
    EXPECT_GE(lines(errors_, "prints.plist"), 1u) << errors_;
    // The lists stay those of the last end that could write them; the prints made before the
    // swap are whole.
    EXPECT_EQ(read(blocker / "config.plist"), config);
    EXPECT_EQ(read(blocker / "prints.plist"), prints);
    expectReadable(pictures(blocker));

    // With its folder back, the camera carries on from there.
    fs::remove(documents());
    fs::rename(blocker, documents());
    ASSERT_EQ(run(printsScript(1)), 0) << errors_;
    EXPECT_EQ(list(printsFile())->size(), 2u);
}

} // namespace
