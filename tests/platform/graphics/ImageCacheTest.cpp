// Pictures read again from an unchanged file come from the cache; any change to the file, or
// its removal, is seen on the next read, whatever the cache holds.
#include "platform/graphics/ImageCache.h"
#include "PixelHelpers.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using platform::Image;
using platform::ImageCache;
using platform::ImageRef;
using testing_pixels::pack;

class ImageCacheTest : public testing::Test {
protected:
    void SetUp() override {
        ImageCache::removeAll();
        dir_ = fs::temp_directory_path() /
               ("morvane-image-cache-" + std::to_string(::getpid()) + "-" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        fs::remove_all(dir_);
        ImageCache::removeAll();
    }

    // A small PNG of one colour; width sets the file's size.
    fs::path writePicture(const std::string& name, std::uint32_t colour, int width = 4) {
        const fs::path path = dir_ / name;
        const ImageRef picture =
            Image::fromPixels(width, 3, std::vector<std::uint32_t>(std::size_t(width) * 3, colour));
        EXPECT_TRUE(picture && picture->writePng(path));
        return path;
    }

    fs::path dir_;
};

TEST_F(ImageCacheTest, AnUnchangedFileReadAgainGivesTheSamePicture) {
    const fs::path path = writePicture("frame.png", pack(10, 20, 30));
    const ImageRef first = Image::contentsOfFile(path);
    ASSERT_TRUE(first);
    EXPECT_EQ(Image::contentsOfFile(path), first);
    // Another spelling of the same path meets the same entry.
    EXPECT_EQ(Image::contentsOfFile(dir_ / "." / "frame.png"), first);
    EXPECT_EQ(ImageCache::entryCount(), 1u);
    EXPECT_EQ(ImageCache::byteCount(), 4u * 3 * 4);
}

TEST_F(ImageCacheTest, AReplacedRewrittenOrRemovedFileIsReadAfresh) {
    const fs::path path = writePicture("frame.png", pack(10, 20, 30));
    const ImageRef original = Image::contentsOfFile(path);
    ASSERT_TRUE(original);

    // Replaced by another file moved over it, as atomic writes do.
    const fs::path other = writePicture("other.png", pack(200, 100, 50));
    fs::rename(other, path);
    const ImageRef replaced = Image::contentsOfFile(path);
    ASSERT_TRUE(replaced);
    EXPECT_EQ(replaced->pixel(0, 0), pack(200, 100, 50));

    // Rewritten in place with a picture of another size.
    {
        const ImageRef wider =
            Image::fromPixels(9, 3, std::vector<std::uint32_t>(27, pack(1, 2, 3)));
        ASSERT_TRUE(wider->writePng(path));
    }
    const ImageRef rewritten = Image::contentsOfFile(path);
    ASSERT_TRUE(rewritten);
    EXPECT_EQ(rewritten->pixelWidth(), 9);

    // Only touched: read again, the same pixels.
    fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(5));
    const ImageRef touched = Image::contentsOfFile(path);
    ASSERT_TRUE(touched);
    EXPECT_NE(touched, rewritten);
    EXPECT_EQ(touched->pixel(8, 2), pack(1, 2, 3));

    // Gone, or no longer a picture: no picture, as without a cache.
    fs::remove(path);
    EXPECT_FALSE(Image::contentsOfFile(path));
    std::ofstream(path) << "not a picture";
    EXPECT_FALSE(Image::contentsOfFile(path));
}

TEST_F(ImageCacheTest, TheLeastRecentlyUsedPictureMakesRoomForANewOne) {
    std::vector<fs::path> paths;
    std::vector<ImageRef> first;
    for (std::size_t i = 0; i < ImageCache::kMostEntries; ++i) {
        paths.push_back(writePicture("p" + std::to_string(i) + ".png", pack(int(i), 0, 0)));
        first.push_back(Image::contentsOfFile(paths.back()));
    }
    // The oldest is used again, so the second oldest goes when one more arrives.
    EXPECT_EQ(Image::contentsOfFile(paths[0]), first[0]);
    const fs::path extra = writePicture("extra.png", pack(0, 0, 255));
    ASSERT_TRUE(Image::contentsOfFile(extra));
    EXPECT_EQ(ImageCache::entryCount(), ImageCache::kMostEntries);
    EXPECT_EQ(Image::contentsOfFile(paths[0]), first[0]);
    const ImageRef again = Image::contentsOfFile(paths[1]);
    EXPECT_NE(again, first[1]);
    EXPECT_EQ(again->pixel(0, 0), first[1]->pixel(0, 0));
}

TEST_F(ImageCacheTest, ThreadsReadingTheSameFilesAllGetWholePictures) {
    std::vector<fs::path> paths;
    for (int i = 0; i < 24; ++i)
        paths.push_back(writePicture("t" + std::to_string(i) + ".png", pack(i, 2 * i, 3 * i), 8));
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 30; ++round) {
                const int i = (round * 7 + t * 5) % 24;
                const ImageRef picture = Image::contentsOfFile(paths[std::size_t(i)]);
                if (!picture || picture->pixel(7, 2) != pack(i, 2 * i, 3 * i))
                    ++wrong;
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_LE(ImageCache::entryCount(), ImageCache::kMostEntries);
}

} // namespace
