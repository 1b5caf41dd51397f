// The whole camera, headless on the virtual clock, when things go wrong around it: killed in
// the middle of a run, its Documents directory full or gone.
#include "hardening/CameraHome.h"

#include "platform/foundation/PropertyList.h"
#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdio.h>

using platform::PropertyList;
namespace fs = std::filesystem;

namespace {

class Reliability : public hardening::CameraHome {};

TEST_F(Reliability, AKilledRunLosesNoPrintFromTheGalleryAndLeavesOnlyWholePictures) {
    ASSERT_EQ(run(printsScript(3)), 0) << errors_;
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

        // The lists are whole, and name every print but at most the one being saved at the
        // kill, whose entry the next start takes back.
        ASSERT_TRUE(list(configFile()));
        const auto listed = list(printsFile());
        ASSERT_TRUE(listed);
        EXPECT_LE(unlistedPrints(*listed).size(), 1u);
        expectReadable(pictures(documents()));
        expectReadable(pictures(album()));
    }

    // Started again, the gallery shows every print in Documents: none is left unseen there.
    ASSERT_EQ(run("quit\n"), 0) << errors_;
    const auto after = list(printsFile());
    ASSERT_TRUE(after);
    EXPECT_EQ(after->size(), 20u);
    EXPECT_TRUE(unlistedPrints(*after).empty());
    EXPECT_EQ(pictures(documents()).size(), 40u);
}

TEST_F(Reliability, HangingUpEndsTheCameraAsQuittingDoes) {
    ASSERT_EQ(run(printsScript(1)), 0) << errors_;
    auto camera = start(printsScript(30));
    ASSERT_TRUE(camera->waitUntil([&] { return pictures(album()).size() >= 3; }, 900))
        << camera->errors();
    camera->kill(SIGHUP);
    EXPECT_EQ(camera->wait(), 0) << camera->errors();
    const auto listed = list(printsFile());
    ASSERT_TRUE(listed);
    EXPECT_TRUE(unlistedPrints(*listed).empty());
    EXPECT_GE(listed->size(), 3u);
}

TEST_F(Reliability, ASecondCameraOnTheSameFolderIsTurnedAwayAndTouchesNothing) {
    ASSERT_EQ(run(printsScript(2)), 0) << errors_;
    // The first camera holds the folder's lock as long as it runs; the second is started while
    // it is still making prints.
    auto first = start(printsScript(30));
    ASSERT_TRUE(first->waitUntil([&] { return pictures(album()).size() >= 3; }, 900))
        << first->errors();
    // Held still, so that whatever changes now is the second camera's doing.
    first->kill(SIGSTOP);
    const auto documentsBefore = snapshot(documents());
    const auto albumBefore = snapshot(album());

    EXPECT_EQ(camera_.runScript("key space\nwait 3\nquit\n"), 1);
    const std::string messages = camera_.errors();
    EXPECT_EQ(lines(messages, "already open on " + documents().string()), 1u) << messages;
    EXPECT_NE(messages.find("(process " + std::to_string(first->pid()) + ")"), std::string::npos)
        << messages;
    EXPECT_EQ(snapshot(documents()), documentsBefore);
    EXPECT_EQ(snapshot(album()), albumBefore);

    first->kill(SIGCONT);
    first->kill(SIGTERM);
    EXPECT_EQ(first->wait(), 0) << first->errors();
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
    // The configuration list did not change, so it was never to be written.
    EXPECT_EQ(lines(errors_, "config.plist"), 0u) << errors_;
    EXPECT_GE(lines(errors_, "prints.plist"), 1u) << errors_;
    // The lists in the folder taken away are whole and name the prints made before the swap,
    // which are whole too.
    EXPECT_EQ(read(blocker / "config.plist"), config);
    const auto moved = list(blocker / "prints.plist");
    ASSERT_TRUE(moved);
    EXPECT_GE(moved->size(), 2u);
    expectReadable(pictures(blocker));

    // With its folder back, the camera carries on from there.
    fs::remove(documents());
    fs::rename(blocker, documents());
    ASSERT_EQ(run(printsScript(1)), 0) << errors_;
    const auto after = list(printsFile());
    ASSERT_TRUE(after);
    EXPECT_EQ(after->size(), moved->size() + 1);
    EXPECT_TRUE(unlistedPrints(*after).empty());
}

} // namespace
