#include "platform/foundation/FolderLock.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using platform::FolderLock;
using testing_support::TemporaryFolder;

TEST(FolderLock, OneHolderAtATimeNamedToTheOneTurnedAway) {
    TemporaryFolder folder;
    const auto documents = folder / "Documents";
    FolderLock::Refusal refusal;
    auto held = FolderLock::acquire(documents, ".lock", refusal);
    ASSERT_TRUE(held) << refusal.error;
    const auto bytes = testing_support::readText(documents / ".lock");

    // Another process is turned away, told who holds the lock, and changes nothing.
    int channel[2];
    ASSERT_EQ(::pipe(channel), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        FolderLock::Refusal theirs;
        const bool got = FolderLock::acquire(documents, ".lock", theirs) != nullptr;
        const long answer[2] = {got ? 1 : 0, static_cast<long>(theirs.holder)};
        [[maybe_unused]] auto written = ::write(channel[1], answer, sizeof answer);
        ::_exit(0);
    }
    long answer[2] = {-1, -1};
    ASSERT_EQ(::read(channel[0], answer, sizeof answer), static_cast<ssize_t>(sizeof answer));
    ::waitpid(child, nullptr, 0);
    ::close(channel[0]);
    ::close(channel[1]);
    EXPECT_EQ(answer[0], 0);
    EXPECT_EQ(answer[1], ::getpid());
    EXPECT_EQ(testing_support::readText(documents / ".lock"), bytes);

    // In this process too: a second open of the file is a second holder.
    EXPECT_EQ(FolderLock::acquire(documents, ".lock", refusal), nullptr);
    EXPECT_TRUE(refusal.error.empty());

    held.reset();
    EXPECT_NE(FolderLock::acquire(documents, ".lock", refusal), nullptr);
}

TEST(FolderLock, AHolderThatDiesLeavesTheLockFree) {
    TemporaryFolder folder;
    const pid_t child = ::fork();
    if (child == 0) {
        FolderLock::Refusal refusal;
        auto lock = FolderLock::acquire(folder.path(), ".lock", refusal);
        // Killed with the lock held: no destructor runs.
        ::raise(SIGKILL);
        ::_exit(lock ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    FolderLock::Refusal refusal;
    EXPECT_NE(FolderLock::acquire(folder.path(), ".lock", refusal), nullptr) << refusal.error;
}

TEST(FolderLock, AFolderThatCannotHoldTheLockSaysWhy) {
    TemporaryFolder folder;
    testing_support::writeText(folder / "plain", "a file where the folder should be");
    FolderLock::Refusal refusal;
    EXPECT_EQ(FolderLock::acquire(folder / "plain", ".lock", refusal), nullptr);
    EXPECT_NE(refusal.error.find("plain"), std::string::npos) << refusal.error;
    EXPECT_EQ(refusal.holder, 0);
}

} // namespace
