#include "platform/ui/PhotoAlbum.h"

#include "platform/foundation/Directories.h"

#include "PickerTestSupport.h"
#include "support/TestPictures.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

using namespace platform;
using namespace pickertest;
using namespace testpictures;

namespace {

struct Album : ::testing::Test {
    TemporaryHome home{"album"};
    VirtualScreen screen;

    // The album takes the application's name.
    void SetUp() override { screen.app.setName("Holiday"); }
    std::filesystem::path album() const { return home.pictures() / "Holiday"; }
    std::vector<std::string> names() const {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(album()))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }
};

} // namespace

TEST_F(Album, NamesAreNewAndNothingIsEverReplaced) {
    std::filesystem::create_directories(album());
    std::ofstream(album() / "Holiday-20240102-030405.jpg") << "someone else's";
    std::string error;
    const std::vector<std::uint8_t> bytes{0xff, 0xd8, 0xff, 0xd9};
    const auto second = PhotoAlbum::writeUnique(album(), "Holiday-20240102-030405", bytes, error);
    const auto third = PhotoAlbum::writeUnique(album(), "Holiday-20240102-030405", bytes, error);
    EXPECT_EQ(second.filename(), "Holiday-20240102-030405-2.jpg");
    EXPECT_EQ(third.filename(), "Holiday-20240102-030405-3.jpg");
    std::ifstream old(album() / "Holiday-20240102-030405.jpg");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(old), {}), "someone else's");
    EXPECT_EQ(std::filesystem::file_size(third), bytes.size());
    // No leftovers from writing.
    EXPECT_EQ(names().size(), 3u);

    std::tm moment{};
    moment.tm_year = 2024 - 1900;
    moment.tm_mon = 0;
    moment.tm_mday = 2;
    moment.tm_hour = 3;
    moment.tm_min = 4;
    moment.tm_sec = 5;
    moment.tm_isdst = -1;
    EXPECT_EQ(PhotoAlbum::baseName("Holiday", std::mktime(&moment)), "Holiday-20240102-030405");
}

TEST_F(Album, ASaveCompletesOnceLaterOnTheMainThread) {
    const ImageRef print = solid(120, 80, kRed);
    std::vector<std::optional<std::string>> completions;
    std::vector<std::thread::id> threads;
    for (int i = 0; i < 3; ++i)
        PhotoAlbum::writeToSavedPhotosAlbum(print, [&](std::optional<std::string> error) {
            completions.push_back(error);
            threads.push_back(std::this_thread::get_id());
        });
    EXPECT_TRUE(completions.empty());
    screen.run(0.1);
    ASSERT_EQ(completions.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_FALSE(completions[i].has_value()) << *completions[i];
        EXPECT_EQ(threads[i], std::this_thread::get_id());
    }
    // Three pictures in one second: three names, each the whole picture at full quality.
    const auto saved = names();
    ASSERT_EQ(saved.size(), 3u);
    for (const auto& name : saved) {
        EXPECT_TRUE(name.starts_with("Holiday-")) << name;
        const ImageRef back = Image::contentsOfFile(album() / name);
        ASSERT_TRUE(back) << name;
        EXPECT_EQ(back->pixelWidth(), 120);
        EXPECT_TRUE(near(back->pixel(60, 40), kRed, 2));
    }

    std::vector<std::uint8_t> jpeg = print->jpegData(0.5);
    int done = 0;
    PhotoAlbum::writeJpegData(jpeg, [&](std::optional<std::string> error) {
        EXPECT_FALSE(error);
        ++done;
    });
    screen.run(0.1);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(names().size(), 4u);
}

TEST_F(Album, AFailedWriteStillCompletesWithTheErrorAndSaysSo) {
    // Where the album should be there is a file, so nothing can be written in it, even by
    // a user who may write anywhere.
    std::ofstream(album()) << "in the way";
    std::vector<std::optional<std::string>> completions;
    testing::internal::CaptureStderr();
    PhotoAlbum::writeToSavedPhotosAlbum(
        solid(10, 10, kBlue), [&](std::optional<std::string> e) { completions.push_back(e); });
    // Each write runs on its own thread; waiting keeps the completions in a known order.
    screen.run(0.1);
    PhotoAlbum::writeToSavedPhotosAlbum(
        nullptr, [&](std::optional<std::string> e) { completions.push_back(e); });
    screen.run(0.1);
    const std::string said = testing::internal::GetCapturedStderr();
    ASSERT_EQ(completions.size(), 2u);
    ASSERT_TRUE(completions[0].has_value());
    EXPECT_NE(completions[0]->find("Holiday"), std::string::npos);
    EXPECT_TRUE(completions[1].has_value());
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2);
}

TEST_F(Album, AnApplicationWithoutANameHasNoAlbumToSaveTo) {
    screen.app.setName("");
    std::optional<std::string> error;
    testing::internal::CaptureStderr();
    PhotoAlbum::writeToSavedPhotosAlbum(solid(10, 10, kBlue),
                                        [&](std::optional<std::string> e) { error = e; });
    screen.run(0.1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("photo album"), std::string::npos);
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find("no name"), std::string::npos) << *error;
    // Nothing lands in the pictures folder itself.
    EXPECT_TRUE(std::filesystem::is_empty(home.pictures()));
}
