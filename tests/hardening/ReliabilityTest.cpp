// The whole camera, headless on the virtual clock, when things go wrong around it: killed in
// the middle of a run, its Documents directory full or gone, hundreds of prints in a row.
#include "hardening/CameraProcess.h"
#include "hardening/ProcessStatus.h"

#include "platform/foundation/PropertyList.h"
#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdio.h>

#include <iostream>

#include <algorithm>
#include <memory>
#include <sstream>

using hardening::CameraProcess;
using hardening::ProcessLimits;
using platform::PropertyList;
namespace fs = std::filesystem;

namespace {

class Reliability : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "reliability-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path home() const { return root_ / home_; }
    fs::path documents() const { return home() / "Documents"; }
    fs::path album() const { return home() / "Pictures" / "Morvane"; }
    fs::path configFile() const { return documents() / "config.plist"; }
    fs::path printsFile() const { return documents() / "prints.plist"; }

    // Prints in a row through the shutter key, each given time to develop and drop, then the
    // end of the run as closing the window ends it.
    static std::string printsScript(int count, const std::string& end = "quit\n") {
        std::ostringstream script;
        for (int i = 0; i < count; ++i) {
            script << "key space\nwait 3\n";
        }
        script << end;
        return script.str();
    }

    std::unique_ptr<CameraProcess> start(const std::string& script, ProcessLimits limits = {}) {
        fs::create_directories(home());
        const fs::path file = root_ / ("script-" + std::to_string(++scripts_) + ".txt");
        std::ofstream(file) << script;
        // The smallest prints (750 pixels) keep the runs short.
        return std::make_unique<CameraProcess>(
            std::vector<std::string>{"--headless", "--camera", "scene", "--model", "default",
                                     "--home", home().string(), "--script", file.string()},
            root_ / "errors.txt", limits);
    }
    int run(const std::string& script, ProcessLimits limits = {}) {
        auto camera = start(script, limits);
        const int status = camera->wait();
        errors_ = camera->errors();
        peakResident_ = camera->peakResidentKilobytes();
        return status;
    }

    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // The pictures in a folder, leaving out the hidden temporaries of writes in progress.
    static std::vector<fs::path> pictures(const fs::path& folder) {
        std::vector<fs::path> found;
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            const std::string name = it->path().filename().string();
            if (name[0] != '.' && it->path().extension() == ".jpg") {
                found.push_back(it->path());
            }
        }
        std::sort(found.begin(), found.end());
        return found;
    }
    // Every print file and album picture on disk decodes as a whole picture.
    static void expectReadable(const std::vector<fs::path>& files) {
        for (const auto& file : files) {
            EXPECT_NE(platform::Image::contentsOfFile(file), nullptr) << file;
        }
    }
    static std::optional<PropertyList> list(const fs::path& file) {
        return PropertyList::readFile(file);
    }
    static std::size_t lines(const std::string& text, const std::string& containing) {
        std::size_t count = 0;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            count += line.find(containing) != std::string::npos;
        }
        return count;
    }

    fs::path root_;
    std::string home_ = "home";
    int scripts_ = 0;
    std::string errors_;
    long peakResident_ = 0;
};

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

TEST_F(Reliability, HundredsOfPrintsKeepTwentyInDocumentsAndMemoryFlat) {
#ifdef __SANITIZE_ADDRESS__
    // Under the sanitizers a print costs several times as much: a shorter run that still
    // cycles the list past twenty, without the memory comparison the sanitizers would blur.
    constexpr std::size_t kPrints = 60;
#else
    constexpr std::size_t kPrints = 500;
#endif
    constexpr std::size_t kEarly = 100;
    // A leaked descriptor per print would run into this limit long before the end.
    ProcessLimits limits;
    limits.openFiles = 32;
    auto camera = start(printsScript(kPrints), limits);
    // Peak memory and descriptors once the first hundred prints are made, then over the run.
    std::int64_t earlyPeak = 0;
    int earlyDescriptors = 0;
    int descriptors = 0;
    camera->waitUntil(
        [&] {
            descriptors = std::max(descriptors, hardening::openDescriptors(camera->pid()));
            if (earlyPeak == 0 && pictures(album()).size() >= kEarly) {
                earlyPeak = hardening::statusKilobytes("VmHWM", camera->pid());
                earlyDescriptors = descriptors;
            }
            return false;
        },
        3600);
    ASSERT_EQ(camera->wait(), 0) << camera->errors();
    EXPECT_EQ(camera->errors(), "");
    const long peak = camera->peakResidentKilobytes();

    const auto prints = list(printsFile());
    ASSERT_TRUE(prints);
    ASSERT_EQ(prints->size(), 20u);
    std::vector<fs::path> expected;
    for (std::size_t i = 0; i < prints->size(); ++i) {
        const std::string name = (*prints)[i][0].stringValue();
        expected.push_back(documents() / name);
        expected.push_back(documents() / ("big_" + name));
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(pictures(documents()), expected);
    EXPECT_EQ(std::distance(fs::directory_iterator(documents()), fs::directory_iterator()), 42);
    EXPECT_EQ(pictures(album()).size(), kPrints);

    std::cout << "[ figures  ] " << kPrints << " prints: peak resident " << peak / 1024 << " MB ("
              << earlyPeak / 1024 << " MB after " << kEarly << "), at most " << descriptors
              << " descriptors open (" << earlyDescriptors << " in the first " << kEarly << ")\n";
    if (kPrints > kEarly) {
        // Five times the prints, the same memory: a print's pictures are let go when it is done.
        ASSERT_GT(earlyPeak, 0) << "the peak after " << kEarly << " prints was never read";
        EXPECT_LT(peak - earlyPeak, 24 * 1024) << earlyPeak << " kB, then " << peak << " kB";
        EXPECT_LE(descriptors, earlyDescriptors + 1);
    }
}

} // namespace
