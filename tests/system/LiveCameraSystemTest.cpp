#include "support/GstreamerPlugins.h"
#include "support/ScriptedCamera.h"
#include "support/TestPictures.h"

#include "platform/camera/CameraDeviceMonitor.h"
#include "platform/camera/GstreamerCameraSource.h"
#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

using platform::Image;
using platform::ImageRef;
using namespace testpictures;

namespace {

// Standard error with the lines of each wrapped message joined again: a message starts with
// "morvane:", and a line that does not continues the one before.
std::string unwrapped(const std::string& text) {
    std::string joined;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!joined.empty())
            joined += line.rfind("morvane:", 0) == 0 ? "\n" : " ";
        joined += line;
    }
    return joined.empty() ? joined : joined + "\n";
}

// The built program, headless, with its camera a GStreamer pipeline: the real capture code
// from the first frame to the print.
class LiveCameraSystemTest : public GstreamerPluginsTest {
protected:
    int run(const std::string& camera, const std::string& script) {
        HeadlessOptions options;
        options.camera = camera;
        return camera_.runScript(script, options);
    }
    std::filesystem::path file(const std::string& name) const {
        return camera_.home().root() / name;
    }
    // The small print of the newest print made.
    ImageRef newestPrint() const {
        const auto names = camera_.listedNames();
        return names.empty() ? nullptr
                             : Image::contentsOfFile(camera_.home().documents() / names[0]);
    }
    std::string newestPrintBytes() const {
        const auto names = camera_.listedNames();
        if (names.empty())
            return {};
        std::ifstream in(camera_.home().documents() / names[0], std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // The colour class of a pixel: which of red, green, blue are bright.
    static std::string channels(std::uint32_t pixel) {
        std::string lit;
        if (((pixel >> 16) & 0xFF) > 128)
            lit += 'r';
        if (((pixel >> 8) & 0xFF) > 128)
            lit += 'g';
        if ((pixel & 0xFF) > 128)
            lit += 'b';
        return lit;
    }

    // Fewest changed channels that tell the two prints' pixels apart over a region, as a
    // share of the region's pixels.
    static double differingShare(const Image& a, const Image& b, int top, int bottom) {
        int differing = 0, all = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < a.pixelWidth(); ++x, ++all)
                differing += !near(a.pixel(x, y), b.pixel(x, y), 12);
        return all ? static_cast<double>(differing) / all : 1;
    }

    ScriptedCamera camera_;
};

constexpr const char* kPrintScript = "key space\nwait 4\nquit\n";

} // namespace

TEST_F(LiveCameraSystemTest, ASolidRedPatternPrintsAsARedPictureDoesEveryTime) {
    const std::string red =
        "gst:videotestsrc pattern=red ! video/x-raw,width=640,height=480,framerate=30/1";
    ASSERT_EQ(run(red, kPrintScript), 0) << camera_.errors();
    const std::string first = newestPrintBytes();
    ASSERT_FALSE(first.empty());
    ASSERT_EQ(run(red, kPrintScript), 0) << camera_.errors();
    // A steady pattern, a script: the same print to the byte.
    EXPECT_EQ(newestPrintBytes(), first);
    const ImageRef live = newestPrint();

    ASSERT_TRUE(picture(640, 480, [](int, int) { return kRed; })->writePng(file("red.png")));
    ASSERT_EQ(run(file("red.png").string(), kPrintScript), 0) << camera_.errors();
    const ImageRef still = newestPrint();
    ASSERT_TRUE(live && still);
    // The look's colour for red, frame and all.
    EXPECT_LT(differingShare(*live, *still, 0, live->pixelHeight()), 0.001);
    EXPECT_TRUE(near(live->pixel(125, 125), still->pixel(125, 125), 4))
        << std::hex << live->pixel(125, 125) << " " << still->pixel(125, 125);
}

TEST_F(LiveCameraSystemTest, ColourBarsShowAndPrintAsTheCentreSquareOfTheFrame) {
    const std::string bars = "gst:videotestsrc pattern=smpte";
    ASSERT_EQ(run(bars, "shot " + file("bars.png").string() + "\n" + kPrintScript), 0)
        << camera_.errors();
    const ImageRef shot = Image::contentsOfFile(file("bars.png"));
    ASSERT_TRUE(shot);
    // The frame is 2048 by 1536 with seven bars across its top two thirds; the picture area
    // shows its centre square (columns 256 to 1792), so the bars met along a row are the five
    // middle ones, each where the geometry puts it.
    const char* const kBars[] = {"rgb", "rg", "gb", "g", "rb", "r", "b"};
    for (int bar = 1; bar <= 5; ++bar) {
        const double middle = (bar + 0.5) * 2048.0 / 7;
        const int x = static_cast<int>((middle - 256) * 320 / 1536);
        EXPECT_EQ(channels(shot->pixel(x, 100)), kBars[bar]) << "bar " << bar << " at " << x;
    }

    // The print is the print of that frame as a picture: the same square, the same look. Only
    // the noise in the pattern's lower corner moves from frame to frame.
    platform::GstreamerCameraSource source("videotestsrc pattern=smpte", {"bars", false});
    ASSERT_TRUE(source.waitForFirstFrame(20)) << source.failureReason();
    ASSERT_EQ(source.frame(0)->pixelWidth(), 2048);
    ASSERT_TRUE(source.frame(0)->writePng(file("bars-frame.png")));
    const ImageRef live = newestPrint();
    ASSERT_EQ(run(file("bars-frame.png").string(), kPrintScript), 0) << camera_.errors();
    const ImageRef still = newestPrint();
    ASSERT_TRUE(live && still && live != still);
    const int side = live->pixelHeight();
    EXPECT_LT(differingShare(*live, *still, 0, side * 60 / 100), 0.002);
}

TEST_F(LiveCameraSystemTest, APipelineThatFailsSaysSoRefusesTheShutterAndStillSwitches) {
    const std::string script = "key space\nwait 4\nshot " + file("gone.png").string() +
                               "\nkey v\nkey space\nwait 4\nquit\n";
    ASSERT_EQ(run("gst:audiotestsrc", script), 0) << camera_.errors();
    // One message, wrapped to the terminal's 80 columns.
    const std::string said = unwrapped(camera_.errors());
    EXPECT_NE(said.find("morvane: the camera \"gst:audiotestsrc\" is gone (it offers no picture "
                        "format that can be used (format not negotiated))"),
              std::string::npos)
        << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(said.find("morvane:", 1), std::string::npos) << said;
    // Only the print made after switching to the scene.
    EXPECT_EQ(camera_.listedNames().size(), 1u);
    EXPECT_EQ(camera_.albumCount(), 1u);
    // The picture area is dark but for what it says.
    const ImageRef gone = Image::contentsOfFile(file("gone.png"));
    ASSERT_TRUE(gone);
    int dark = 0, lit = 0;
    for (int y = 30; y < 290; y += 2)
        for (int x = 30; x < 290; x += 2)
            (near(gone->pixel(x, y), kBlack, 40) ? dark : lit) += 1;
    EXPECT_GT(lit, 50);
    EXPECT_GT(dark, 8 * lit);
}

// What a user sees of cameras that are not there: GStreamer's own library, no plugins needed.
TEST(LiveCameraWithoutCameras, AMissingCameraIsSaidOnceAndTheSceneShownUnmirroredAndListed) {
    if (!platform::CameraDeviceMonitor::list().empty())
        GTEST_SKIP() << "this machine has cameras";
    ScriptedCamera camera;
    const auto shot = [&](const char* name) { return camera.home().root() / name; };
    HeadlessOptions options;
    ASSERT_EQ(camera.runScript("shot " + shot("scene.png").string() + "\n", options), 0);
    options.camera = "nosuch";
    ASSERT_EQ(camera.runScript("shot " + shot("nosuch.png").string() + "\n", options), 0);
    EXPECT_EQ(unwrapped(camera.errors()),
              "morvane: no camera \"nosuch\" (no camera found; morvane --camera "
              "list); showing the built-in scene\n");
    const ImageRef scene = Image::contentsOfFile(shot("scene.png"));
    const ImageRef missing = Image::contentsOfFile(shot("nosuch.png"));
    ASSERT_TRUE(scene && missing);
    // The same scene the same way round above the line that says what happened.
    int same = 0, all = 0;
    for (int y = 0; y < 180; ++y)
        for (int x = 0; x < 320; ++x, ++all)
            same += near(scene->pixel(x, y), missing->pixel(x, y), 2);
    EXPECT_EQ(same, all);
    EXPECT_FALSE(near(scene->pixel(160, 265), missing->pixel(160, 265), 30));

    const auto listing = camera.home().root() / "list.txt";
    EXPECT_EQ(
        camera.runCommand(std::string(MORVANE_BINARY) + " --camera list >" + listing.string()), 0);
    EXPECT_EQ(TempHome::readText(listing).rfind("No cameras found.", 0), 0u)
        << TempHome::readText(listing);
}
