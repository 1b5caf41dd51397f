#include "platform/ui/ImagePickerController.h"

#include "platform/camera/CameraPicture.h"
#include "platform/camera/CameraSource.h"
#include "platform/camera/PictureCameraSource.h"
#include "platform/ui/CameraPreviewView.h"

#include "PickerTestSupport.h"
#include "support/TestPictures.h"

#include <gtest/gtest.h>

using namespace platform;
using namespace pickertest;
using namespace testpictures;

namespace {

struct Taker : ImagePickerControllerDelegate {
    std::vector<ImageRef> pictures;
    int cancels = 0;
    void imagePickerControllerDidFinishPickingMediaWithInfo(ImagePickerController&,
                                                            const MediaInfo& info) override {
        auto it = info.find(kImagePickerControllerOriginalImage);
        pictures.push_back(it == info.end() ? nullptr : it->second);
    }
    void imagePickerControllerDidCancel(ImagePickerController&) override { ++cancels; }
};

// A camera that is gone: no frames, and it says so.
struct VanishedCamera : CameraSource {
    ImageRef frame(double) override { return nullptr; }
    ImageRef stillFrame(double) override { return nullptr; }
    std::string description() const override { return "test camera"; }
    bool failed() const override { return false; }
    std::uint64_t frameCounter() const override { return 0; }
    bool isLive() const override { return true; }
    CameraStatus status() const override {
        return {CameraStatus::Kind::Gone, "test camera", "unplugged", {}};
    }
};

// A picture file that says it is a webcam, as a camera facing its user does.
struct WebcamPicture : PictureCameraSource {
    using PictureCameraSource::PictureCameraSource;
    bool isWebcam() const override { return true; }
};

// A square scene whose four edges (12 pixels thick) have their own colours: top red, right
// green, bottom blue, left white; grey inside.
std::uint32_t markedEdges(int x, int y) {
    constexpr int n = 300, edge = 12;
    if (y < edge)
        return kRed;
    if (y >= n - edge)
        return kBlue;
    if (x < edge)
        return kWhite;
    if (x >= n - edge)
        return kGreen;
    return kGrey;
}

struct CameraPicker : ::testing::Test {
    TemporaryHome home{"camera"};
    ScopedEnv model{"MORVANE_MODEL", "iPhone2,1"};
    VirtualScreen screen;
    std::shared_ptr<Taker> taker = std::make_shared<Taker>();
    std::shared_ptr<ImagePickerController> picker = std::make_shared<ImagePickerController>();
    std::shared_ptr<ViewController> root = std::make_shared<ViewController>();

    void SetUp() override {
        const auto file = home.path() / "scene.png";
        ASSERT_TRUE(picture(300, 300, markedEdges)->writePng(file));
        screen.app.setCameraSource(std::make_shared<PictureCameraSource>(file));
        // Set up as the camera sets up its picker.
        picker->setDelegate(taker);
        picker->setSourceType(1);
        picker->setShowsCameraControls(false);
        picker->setToolbarHidden(true);
        picker->setNavigationBarHidden(true);
        picker->setWantsFullScreenLayout(true);
        screen.window->addSubview(root->view());
    }
};

} // namespace

TEST_F(CameraPicker, EveryTakePictureAnswersOnceThroughTheRunLoopWithAStillOnItsSide) {
    root->presentModalViewController(picker, false);
    picker->takePicture();
    picker->takePicture();
    EXPECT_TRUE(taker->pictures.empty()); // never from inside the call
    screen.settle();
    ASSERT_EQ(taker->pictures.size(), 2u);
    screen.run(5);
    ASSERT_EQ(taker->pictures.size(), 2u);

    const ImageRef still = taker->pictures[0];
    ASSERT_TRUE(still);
    EXPECT_EQ(still->pixelWidth(), 2048);
    EXPECT_EQ(still->pixelHeight(), 1536);
    EXPECT_EQ(still->orientation(), ImageOrientation::Right);
    // The scene's top runs down the bitmap's left edge; its right edge along the top, its
    // left edge along the bottom; the portrait's black foot fills the right.
    EXPECT_TRUE(near(still->pixel(4, 768), kRed));
    EXPECT_TRUE(near(still->pixel(768, 4), kGreen));
    EXPECT_TRUE(near(still->pixel(768, 1531), kWhite));
    EXPECT_TRUE(near(still->pixel(1531, 768), kBlue));
    EXPECT_TRUE(near(still->pixel(768, 768), kGrey));
    EXPECT_TRUE(near(still->pixel(1900, 768), kBlack));
    // Seen upright, it is the portrait picture with the scene's square on top.
    const ImageRef upright = uprightImage(*still);
    ASSERT_TRUE(upright);
    EXPECT_EQ(upright->pixelWidth(), 1536);
    EXPECT_TRUE(near(upright->pixel(768, 4), kRed));
    EXPECT_TRUE(near(upright->pixel(4, 768), kWhite));
}

TEST_F(CameraPicker, TheFirstTwoModelsGetTheSmallerStill) {
    ScopedEnv first{"MORVANE_MODEL", "iPhone1,2"};
    picker->takePicture();
    screen.settle();
    ASSERT_EQ(taker->pictures.size(), 1u);
    EXPECT_EQ(taker->pictures[0]->pixelWidth(), 1600);
    EXPECT_EQ(taker->pictures[0]->pixelHeight(), 1200);
    EXPECT_EQ(taker->pictures[0]->orientation(), ImageOrientation::Right);
}

TEST_F(CameraPicker, AGoneCameraHasNoPictureSaysSoInTheWordsGivenAndGivesABlackStill) {
    screen.app.setCameraSource(std::make_shared<VanishedCamera>());
    root->presentModalViewController(picker, false);
    EXPECT_FALSE(picker->hasPicture());
    // Without words from the program the square is simply black.
    auto litPixels = [&] {
        const ImageRef shot = screen.app.snapshot(1);
        int lit = 0;
        for (int y = 0; y < 320; y += 2)
            for (int x = 0; x < 320; x += 2)
                lit += !near(shot->pixel(x, y), kBlack, 40);
        return lit;
    };
    EXPECT_EQ(litPixels(), 0);
    std::vector<CameraStatus> asked;
    picker->setCameraStatusText(
        [&](const CameraStatus& status) {
            asked.push_back(status);
            return "Camera gone\n" + status.camera + ": " + status.reason;
        },
        "MarkerFelt-Wide");
    EXPECT_GT(litPixels(), 20);
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back().reason, "unplugged");

    // A still all the same, once, but of nothing the camera did not see.
    testing::internal::CaptureStderr();
    picker->takePicture();
    screen.settle();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(taker->pictures.size(), 1u);
    ASSERT_TRUE(taker->pictures[0]);
    EXPECT_EQ(taker->pictures[0]->pixelWidth(), 2048);
    EXPECT_EQ(taker->pictures[0]->orientation(), ImageOrientation::Right);
    EXPECT_TRUE(near(taker->pictures[0]->pixel(768, 768), kBlack, 2));
}

TEST_F(CameraPicker, ThePictureAreaShowsExactlyThePrintsSquareWithBlackBelow) {
    root->presentModalViewController(picker, false);
    // Nothing of its own over the live picture: no controls, nothing a script can answer.
    EXPECT_EQ(picker->view()->subviews().size(), 1u);
    EXPECT_EQ(screen.app.frontResponder(), nullptr);
    for (double scale : {1.0, 2.0}) {
        const ImageRef shot = screen.app.snapshot(scale);
        auto at = [&](double x, double y) {
            return shot->pixel(static_cast<int>(x * scale), static_cast<int>(y * scale));
        };
        EXPECT_TRUE(near(at(160, 4), kRed)) << scale;
        EXPECT_TRUE(near(at(160, 315), kBlue)) << scale;
        EXPECT_TRUE(near(at(4, 160), kWhite)) << scale;
        EXPECT_TRUE(near(at(315, 160), kGreen)) << scale;
        // The square ends where the picture area does.
        EXPECT_TRUE(near(at(160, 321), kBlack)) << scale;
        EXPECT_TRUE(near(at(160, 470), kBlack)) << scale;
    }
    // The mirror is for a webcam's picture; a picture file stays as it is.
    picker->setMirrorsLivePicture(true);
    const ImageRef unmirrored = screen.app.snapshot(1);
    EXPECT_TRUE(near(unmirrored->pixel(4, 160), kWhite));
    screen.app.setCameraSource(std::make_shared<WebcamPicture>(home.path() / "scene.png"));
    picker->viewDidAppear(false);
    const ImageRef mirrored = screen.app.snapshot(1);
    EXPECT_TRUE(near(mirrored->pixel(4, 160), kGreen));
    EXPECT_TRUE(near(mirrored->pixel(315, 160), kWhite));
    // Stills are never mirrored.
    picker->takePicture();
    screen.settle();
    ASSERT_EQ(taker->pictures.size(), 1u);
    EXPECT_TRUE(near(taker->pictures[0]->pixel(768, 4), kGreen));
}

TEST_F(CameraPicker, ItsOwnControlsTakeAndCancelAndLetAScriptCancel) {
    picker->setShowsCameraControls(true);
    root->presentModalViewController(picker, false);
    EXPECT_EQ(screen.app.frontResponder().get(), static_cast<ScriptResponder*>(picker.get()));
    screen.tap({160, 448}); // the shutter
    ASSERT_EQ(taker->pictures.size(), 1u);
    screen.tap({40, 448}); // Cancel
    EXPECT_EQ(taker->cancels, 1);
    std::string error;
    EXPECT_FALSE(picker->pick(home.path() / "scene.png", error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(picker->cancel(error));
    EXPECT_EQ(taker->cancels, 2);
    root->dismissModalViewControllerAnimated(false);
    EXPECT_EQ(screen.app.frontResponder(), nullptr);
}
