#include "platform/camera/PictureCameraSource.h"
#include "platform/camera/CameraDeviceMonitor.h"
#include "platform/camera/CameraPicture.h"
#include "platform/camera/CameraSourceFactory.h"

#include "support/TestPictures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

using namespace platform;
using namespace testpictures;

namespace {

class PictureFiles : public testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("morvane-pictures-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::filesystem::path path(const std::string& name) const { return folder_ / name; }

    void write(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }

    // A JPEG as a phone writes it: the pixels as stored, and an EXIF block right after the
    // start marker whose only entry is the orientation flag.
    void writeJpegWithFlag(const Image& stored, int flag, const std::filesystem::path& file) {
        std::vector<std::uint8_t> jpeg = stored.jpegData(1.0);
        ASSERT_GT(jpeg.size(), 2u);
        // clang-format off
        const std::vector<std::uint8_t> app1 = {
            0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0, 0,   // marker, length 34
            'M', 'M', 0x00, 0x2A, 0x00, 0x00, 0x00, 0x08,      // big-endian TIFF
            0x00, 0x01,                                        // one entry
            0x01, 0x12, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01,    // Orientation, one SHORT
            0x00, static_cast<std::uint8_t>(flag), 0x00, 0x00, // its value
            0x00, 0x00, 0x00, 0x00};                           // no next directory
        // clang-format on
        jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
        write(file, jpeg);
    }

    std::filesystem::path folder_;
};

// Stored quarters: red top left, green top right, blue bottom left, white bottom right.
std::uint32_t quarters(int x, int y) {
    return y < 30 ? (x < 40 ? kRed : kGreen) : (x < 40 ? kBlue : kWhite);
}

} // namespace

TEST_F(PictureFiles, JpegIsTurnedUprightAfterItsFlagAndStillComesOutTheSame) {
    const ImageRef stored = picture(80, 60, quarters);
    writeJpegWithFlag(*stored, 6, path("sideways.jpg"));
    PictureCameraSource source(path("sideways.jpg"));
    ASSERT_FALSE(source.failed()) << source.failureReason();
    const ImageRef frame = source.frame(0);
    ASSERT_TRUE(frame);
    // Flag Right: the stored top row is the right side, so the 80 by 60 bitmap is seen 60 by
    // 80 with the stored top-left quarter at the top right.
    EXPECT_EQ(frame->orientation(), ImageOrientation::Up);
    ASSERT_EQ(frame->pixelWidth(), 60);
    ASSERT_EQ(frame->pixelHeight(), 80);
    EXPECT_TRUE(near(frame->pixel(45, 20), kRed, 12));
    EXPECT_TRUE(near(frame->pixel(45, 60), kGreen, 12));
    EXPECT_TRUE(near(frame->pixel(15, 20), kBlue, 12));
    EXPECT_TRUE(near(frame->pixel(15, 60), kWhite, 12));
    EXPECT_FALSE(source.isLive());

    // The still of that scene: its first column is the scene's top row read from the right,
    // red then blue; the portrait's lower part below the frame's last row is black.
    const ImageRef still = makeStill(*source.stillFrame(0), "iPhone2,1");
    ASSERT_TRUE(still);
    EXPECT_TRUE(near(still->pixel(0, 100), kRed, 12));
    EXPECT_TRUE(near(still->pixel(0, 1400), kBlue, 12));
    EXPECT_TRUE(near(still->pixel(1700, 100), kGreen, 12));
    EXPECT_EQ(still->pixel(2000, 700), kBlack);
}

TEST_F(PictureFiles, LargePictureShowsSmallAndStillsInFull) {
    const ImageRef big = picture(3000, 2000, quarters);
    ASSERT_TRUE(big->writePng(path("big.png")));
    PictureCameraSource source(path("big.png"));
    ASSERT_FALSE(source.failed());
    EXPECT_EQ(source.stillFrame(0)->pixelWidth(), 3000);
    const ImageRef preview = source.frame(0);
    EXPECT_EQ(preview->pixelWidth(), PictureCameraSource::kPreviewLongSide);
    EXPECT_NEAR(preview->pixelHeight(), 853, 1);
    EXPECT_NE(source.description().find("3000 by 2000"), std::string::npos);
}

TEST_F(PictureFiles, UnreadablePicturesFailWithAReason) {
    write(path("notes.jpg"), {'h', 'e', 'l', 'l', 'o'});
    write(path("empty.png"), {});
    struct Case {
        std::filesystem::path file;
        const char* reason;
    };
    for (const Case& c :
         {Case{path("notes.jpg"), "not a readable"}, Case{path("empty.png"), "not a readable"},
          Case{path("missing.png"), "no such file"}, Case{folder_, "folder"}}) {
        SCOPED_TRACE(c.file);
        PictureCameraSource source(c.file);
        EXPECT_TRUE(source.failed());
        EXPECT_NE(source.failureReason().find(c.reason), std::string::npos)
            << source.failureReason();
        EXPECT_FALSE(source.frame(0));
        EXPECT_FALSE(source.stillFrame(0));
        EXPECT_EQ(source.frameCounter(), 0u);
    }
}

TEST_F(PictureFiles, CameraArgumentChoosesTheSource) {
    std::string error;
    const auto scene = makeCameraSource("scene", error);
    ASSERT_TRUE(scene);
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(scene->description(), "built-in scene");
    EXPECT_EQ(scene->status().kind, CameraStatus::Kind::Live);

    ASSERT_TRUE(picture(40, 30, quarters)->writePng(path("shot.png")));
    const auto file = makeCameraSource(path("shot.png").string(), error);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->frame(0)->pixelWidth(), 40);
    EXPECT_EQ(file->status().camera, path("shot.png").string());
    EXPECT_FALSE(file->isWebcam());

    // Refused before anything starts: a picture that cannot be read, a file that is not
    // there, a pipeline with nothing in it.
    write(path("broken.jpg"), {0xFF, 0xD8, 0xFF});
    EXPECT_FALSE(makeCameraSource(path("broken.jpg").string(), error));
    EXPECT_NE(error.find("not a readable"), std::string::npos) << error;
    for (const std::string& absent : {path("absent.png").string(), std::string("holiday.JPG")}) {
        EXPECT_FALSE(makeCameraSource(absent, error)) << absent;
        EXPECT_NE(error.find("no such file"), std::string::npos) << error;
    }
    EXPECT_FALSE(makeCameraSource("gst:  ", error));
    EXPECT_NE(error.find("gst:videotestsrc"), std::string::npos) << error;
}

TEST_F(PictureFiles, ACameraNamedThatIsNotThereIsSaidOnceAndTheSceneShownUnmirrored) {
    if (!CameraDeviceMonitor::list().empty())
        GTEST_SKIP() << "this machine has cameras";
    for (const std::string name : {"/dev/video99", "sceen"}) {
        std::vector<CameraStatus> told;
        std::string error;
        const auto camera =
            makeCameraSource(name, error, [&](const CameraStatus& s) { told.push_back(s); });
        ASSERT_TRUE(camera) << error;
        camera->waitForFirstFrame(5);
        ASSERT_TRUE(camera->frame(0));
        EXPECT_EQ(camera->frame(0)->pixelWidth(), 480);
        EXPECT_FALSE(camera->isWebcam());
        camera->status();
        ASSERT_EQ(told.size(), 1u);
        EXPECT_EQ(told[0].kind, CameraStatus::Kind::Missing);
        EXPECT_EQ(told[0].camera, name);
        EXPECT_TRUE(told[0].available.empty());
    }
}

TEST_F(PictureFiles, WithoutCamerasTheListIsEmptyAndAutoIsTheSceneQuietly) {
    if (!CameraDeviceMonitor::list().empty())
        GTEST_SKIP() << "this machine has cameras";
    CameraDeviceMonitor monitor;
    EXPECT_TRUE(monitor.devices().empty());
    EXPECT_EQ(monitor.changes(), 0u);
    std::vector<CameraStatus> told;
    std::string error;
    testing::internal::CaptureStderr();
    const auto camera =
        makeCameraSource("auto", error, [&](const CameraStatus& s) { told.push_back(s); });
    camera->waitForFirstFrame(5);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_TRUE(camera);
    EXPECT_EQ(camera->description(), "built-in scene");
    EXPECT_TRUE(told.empty());
    // Nothing to switch to but the scene it shows.
    EXPECT_FALSE(camera->switchToNextCamera());
}
