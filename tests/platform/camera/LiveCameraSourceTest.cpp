#include "platform/camera/LiveCameraSource.h"
#include "platform/camera/GstreamerCameraSource.h"
#include "platform/camera/SceneCameraSource.h"

#include "support/GstreamerPlugins.h"
#include "support/TestPictures.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

using namespace platform;
using namespace testpictures;
using Kind = CameraStatus::Kind;

namespace {

// Cameras plugged in and out by the test: each is a real pipeline from a test pattern, found
// and opened as the machine's cameras are.
struct Desk {
    std::vector<CameraDevice> devices;
    std::map<std::string, std::string> pipelines;
    std::uint64_t changes = 0;

    void plug(const std::string& name, const std::string& pipeline, std::string path = {}) {
        devices.push_back({name, std::move(path), CameraDevice::Stack::V4l2, nullptr});
        pipelines[name] = pipeline;
        ++changes;
    }
    void unplug(const std::string& name) {
        std::erase_if(devices, [&](const CameraDevice& d) { return d.name == name; });
        ++changes;
    }
};

std::string solid(const char* pattern) {
    return std::string("videotestsrc is-live=true pattern=") + pattern +
           " ! video/x-raw,width=320,height=240";
}

class LiveCamera : public GstreamerPluginsTest {
protected:
    std::shared_ptr<Desk> desk = std::make_shared<Desk>();
    std::vector<CameraStatus> told;

    LiveCameraSource::Devices devices() {
        auto shared = desk;
        return {
            [shared] { return shared->devices; },
            [shared] { return shared->changes; },
            [shared](const CameraDevice& device) -> std::shared_ptr<CameraSource> {
                return std::make_shared<GstreamerCameraSource>(
                    shared->pipelines.at(device.name),
                    GstreamerCameraSource::Settings{device.name, true, 5});
            },
        };
    }

    std::unique_ptr<LiveCameraSource> make(LiveCameraSource::Request request) {
        return std::make_unique<LiveCameraSource>(
            std::move(request), devices(), [this](const CameraStatus& s) { told.push_back(s); });
    }

    static LiveCameraSource::Request fixed(const std::string& pipeline) {
        LiveCameraSource::Request request;
        request.kind = LiveCameraSource::Request::Kind::Fixed;
        request.name = "gst:" + pipeline;
        request.openFixed = [pipeline]() -> std::shared_ptr<CameraSource> {
            return std::make_shared<GstreamerCameraSource>(
                pipeline, GstreamerCameraSource::Settings{"gst:" + pipeline, false, 5});
        };
        return request;
    }

    // Waits until the camera shows what it is said to show, and returns its status.
    static CameraStatus settled(LiveCameraSource& camera, Kind kind, const std::string& name) {
        EXPECT_TRUE(eventually([&] {
            const CameraStatus status = camera.status();
            return status.kind == kind && status.camera == name;
        })) << "still "
            << camera.status().camera << " (" << camera.status().reason << ")";
        return camera.status();
    }

    static bool showsColour(LiveCameraSource& camera, std::uint32_t colour) {
        const ImageRef frame = camera.frame(0);
        return frame &&
               near(frame->pixel(frame->pixelWidth() / 2, frame->pixelHeight() / 2), colour, 4);
    }
};

} // namespace

TEST_F(LiveCamera, AutoShowsTheSceneUntilACameraComesAndSaysSoWhenItGoes) {
    const auto camera = make({});
    EXPECT_TRUE(camera->waitForFirstFrame(20));
    EXPECT_EQ(camera->status().kind, Kind::Live);
    EXPECT_EQ(camera->description(), "built-in scene");
    EXPECT_FALSE(camera->isWebcam());
    ASSERT_TRUE(camera->frame(0));
    EXPECT_EQ(camera->frame(0)->pixelWidth(), SceneCameraSource::kPreviewWidth);
    EXPECT_TRUE(told.empty());
    const std::uint64_t sceneCounter = camera->frameCounter();

    // Plugged in while the scene shows: taken at its first frame, shown as a webcam.
    desk->plug("Desk Cam", solid("red"));
    settled(*camera, Kind::Live, "Desk Cam");
    EXPECT_TRUE(showsColour(*camera, kRed));
    EXPECT_TRUE(camera->isWebcam());
    EXPECT_NE(camera->frameCounter(), sceneCounter);

    // Unplugged: no picture at all, neither the last frame nor the scene, said once.
    desk->unplug("Desk Cam");
    const CameraStatus gone = settled(*camera, Kind::Gone, "Desk Cam");
    EXPECT_EQ(gone.reason, "it was unplugged");
    EXPECT_FALSE(camera->frame(0));
    EXPECT_FALSE(camera->stillFrame(0));
    EXPECT_FALSE(camera->isWebcam());
    camera->status();
    camera->frame(1);
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[0].kind, Kind::Live);
    EXPECT_EQ(told[1], gone);

    // Any camera that appears then ends the wait.
    desk->plug("Other Cam", solid("blue"));
    settled(*camera, Kind::Live, "Other Cam");
    EXPECT_TRUE(showsColour(*camera, kBlue));
}

TEST_F(LiveCamera, ACameraInUseThatStopsLeavesTheCameraGoneWithTheReason) {
    desk->plug("Short Cam", "videotestsrc num-buffers=5 ! video/x-raw,width=64,height=48");
    const auto camera = make({});
    const CameraStatus gone = settled(*camera, Kind::Gone, "Short Cam");
    EXPECT_EQ(gone.reason, "its picture ended");
    EXPECT_FALSE(camera->frame(0));
    // A camera the user did not ask for that fails is passed over instead.
    desk->unplug("Short Cam");
    desk->plug("Broken Cam", "nosuchelement");
    desk->plug("Good Cam", solid("green"));
    const auto second = make({});
    EXPECT_TRUE(second->waitForFirstFrame(20));
    settled(*second, Kind::Live, "Good Cam");
    EXPECT_TRUE(showsColour(*second, kGreen));
    ASSERT_FALSE(told.empty());
    const auto notStarted = std::find_if(
        told.begin(), told.end(), [](const CameraStatus& s) { return s.kind == Kind::NotStarted; });
    ASSERT_NE(notStarted, told.end());
    EXPECT_EQ(notStarted->camera, "Broken Cam");
    EXPECT_NE(notStarted->reason.find("nosuchelement"), std::string::npos) << notStarted->reason;
}

TEST_F(LiveCamera, ANamedCameraThatIsMissingLeavesTheSceneUntilItComes) {
    desk->plug("Other Cam", solid("blue"));
    LiveCameraSource::Request request;
    request.kind = LiveCameraSource::Request::Kind::Named;
    request.name = "/dev/video5";
    const auto camera = make(request);
    camera->waitForFirstFrame(20);
    const CameraStatus missing = camera->status();
    EXPECT_EQ(missing.kind, Kind::Missing);
    EXPECT_EQ(missing.camera, "/dev/video5");
    EXPECT_EQ(missing.available, std::vector<std::string>{"Other Cam"});
    // The scene stands in, and is never a webcam's picture: it is not mirrored.
    ASSERT_TRUE(camera->frame(0));
    EXPECT_EQ(camera->frame(0)->pixelWidth(), SceneCameraSource::kPreviewWidth);
    EXPECT_FALSE(camera->isWebcam());
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], missing);

    // Another camera does not end it; the one asked for (here by its node) does.
    desk->plug("Third Cam", solid("green"));
    camera->frame(0);
    EXPECT_EQ(camera->status().kind, Kind::Missing);
    desk->plug("Desk Cam", solid("red"), "/dev/video5");
    settled(*camera, Kind::Live, "Desk Cam");
    EXPECT_TRUE(showsColour(*camera, kRed));
}

TEST_F(LiveCamera, TheNextCameraGoesThroughThePipelineTheCamerasAndTheScene) {
    desk->plug("Desk Cam", solid("red"));
    const auto camera = make(fixed(solid("blue")));
    ASSERT_TRUE(camera->waitForFirstFrame(20));
    const std::string pipeline = "gst:" + solid("blue");
    EXPECT_EQ(camera->status().camera, pipeline);
    EXPECT_TRUE(showsColour(*camera, kBlue));
    // A pipeline is not a webcam.
    EXPECT_FALSE(camera->isWebcam());

    const std::vector<std::string> order = {"Desk Cam", "built-in scene", pipeline, "Desk Cam"};
    for (const std::string& next : order) {
        const std::uint64_t before = camera->frameCounter();
        ASSERT_TRUE(camera->switchToNextCamera());
        camera->waitForFirstFrame(20);
        settled(*camera, Kind::Live, next);
        EXPECT_NE(camera->frameCounter(), before);
    }
    EXPECT_TRUE(showsColour(*camera, kRed));
}

TEST_F(LiveCamera, APipelineThatFailsLeavesACameraThatStillSwitches) {
    const auto camera = make(fixed("audiotestsrc"));
    camera->waitForFirstFrame(20);
    const CameraStatus gone = settled(*camera, Kind::Gone, "gst:audiotestsrc");
    EXPECT_NE(gone.reason.find("format not negotiated"), std::string::npos) << gone.reason;
    EXPECT_FALSE(camera->frame(0));

    ASSERT_TRUE(camera->switchToNextCamera());
    settled(*camera, Kind::Live, "built-in scene");
    EXPECT_TRUE(camera->stillFrame(0));
    // Back to the pipeline: tried afresh, and gone again for the same reason.
    ASSERT_TRUE(camera->switchToNextCamera());
    camera->waitForFirstFrame(20);
    EXPECT_EQ(settled(*camera, Kind::Gone, "gst:audiotestsrc").reason, gone.reason);

    // With the scene alone there is nothing to switch to.
    LiveCameraSource::Request scene;
    scene.kind = LiveCameraSource::Request::Kind::Scene;
    EXPECT_FALSE(make(scene)->switchToNextCamera());
}
