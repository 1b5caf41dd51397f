#include "support/ScriptedCamera.h"

#include "platform/graphics/Image.h"
#include "platform/graphics/ImageContext.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <vector>

using platform::Image;
using platform::ImageRef;

namespace {

constexpr int kCategories = 10;
constexpr int kFrames = 3;
const char* const kCategoryNames[kCategories] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};

// The built program, headless, printing one picture in every film look as a user would:
// swipe the strips, press the shutter, wait for the print to drop.
class ShutterSystemTest : public ::testing::Test {
protected:
    int run(const std::string& camera, const std::string& script) {
        HeadlessOptions options;
        options.camera = camera;
        return camera_.runScript(script, options);
    }

    // Category n + 1 and frame n % 3 for print n; the shutter button and the Space key take
    // turns. Shots of the first print while it develops and while it drops.
    std::string tenPrintsScript() {
        std::ostringstream script;
        for (int n = 0; n < kCategories; ++n) {
            if (n > 0)
                script << "swipe 250 407 60 407\nwait 1\n";
            if (n % kFrames == 0 && n > 0)
                script << "swipe 40 150 280 150\nwait 1\nswipe 40 150 280 150\nwait 1\n";
            else if (n % kFrames != 0)
                script << "swipe 280 150 40 150\nwait 1\n";
            script << (n % 2 == 0 ? "tap 285 335\n" : "key space\n");
            if (n == 0) {
                script << "wait 0.45\nshot " << (camera_.home().root() / "developing.png").string()
                       << "\n";
                script << "wait 0.45\nshot " << (camera_.home().root() / "dropping.png").string()
                       << "\n";
            }
            script << "wait 3\n";
        }
        script << "quit\n";
        return script.str();
    }

    std::size_t documentPrintFiles() {
        std::size_t count = 0;
        std::error_code ignored;
        for (const auto& entry :
             std::filesystem::directory_iterator(camera_.home().documents(), ignored))
            count += entry.path().extension() == ".jpg";
        return count;
    }

    void checkTenPrints() {
        const auto names = camera_.listedNames();
        ASSERT_EQ(names.size(), std::size_t(kCategories)) << camera_.errors();
        // Newest first: each name's second is later than the next one's.
        for (std::size_t i = 0; i + 1 < names.size(); ++i)
            EXPECT_GT(std::stoll(names[i]), std::stoll(names[i + 1]));
        for (const auto& name : names) {
            EXPECT_TRUE(camera_.bothFiles(name)) << name;
        }
        EXPECT_EQ(documentPrintFiles(), 2u * kCategories);
        EXPECT_EQ(camera_.albumCount(), std::size_t(kCategories));
    }

    // The ten small prints side by side, oldest (category 1) first, each with its name.
    ImageRef contactSheet() {
        auto names = camera_.listedNames();
        std::reverse(names.begin(), names.end());
        constexpr int kSide = 250, kGap = 10, kLabel = 30;
        const int width = kGap + int(names.size()) * (kSide + kGap);
        const int height = kGap + kSide + kLabel;
        platform::ImageContext sheet(width, height);
        sheet.setRGBFillColor(1, 1, 1, 1);
        sheet.fillRect({0, 0, double(width), double(height)});
        // A y-up space: pictures and text both come out upright.
        sheet.scaleCTM(1, -1);
        sheet.translateCTM(0, -height);
        sheet.setRGBFillColor(0, 0, 0, 1);
        sheet.selectFont("DejaVu Sans", 16);
        sheet.setTextDrawingMode(0);
        for (std::size_t i = 0; i < names.size(); ++i) {
            const double left = kGap + double(i) * (kSide + kGap);
            if (const ImageRef print = Image::contentsOfFile(camera_.home().documents() / names[i]))
                sheet.drawImage({left, double(kLabel), kSide, kSide}, *print);
            const std::string label = std::string("Look ") + kCategoryNames[i] + "  " + names[i];
            sheet.showTextAtPoint({left + 4, 10}, label);
        }
        return sheet.makeImage();
    }

    ScriptedCamera camera_;
};

TEST_F(ShutterSystemTest, TenLooksFromAPictureFile) {
    // A photograph-like picture: sky over ground, with a sun, so a wrong turn shows.
    platform::ImageContext context(800, 600);
    for (int y = 0; y < 600; y += 4) {
        const double t = y / 600.0;
        context.setRGBFillColor(0.3 + 0.4 * t, 0.5 + 0.2 * t, 0.9 - 0.6 * t, 1);
        context.fillRect({0, double(y), 800, 4});
    }
    context.setRGBFillColor(0.35, 0.55, 0.2, 1);
    context.fillRect({0, 380, 800, 220});
    context.setRGBFillColor(1, 0.9, 0.3, 1);
    context.fillRect({500, 80, 90, 90});
    const auto picture = camera_.home().root() / "landscape.png";
    ASSERT_TRUE(context.makeImage()->writePng(picture));

    ASSERT_EQ(run(picture.string(), tenPrintsScript()), 0) << camera_.errors();
    checkTenPrints();

    // While developing the panel covers the picture area; while dropping the print is seen
    // in the slot below it.
    const ImageRef developing = Image::contentsOfFile(camera_.home().root() / "developing.png");
    const ImageRef dropping = Image::contentsOfFile(camera_.home().root() / "dropping.png");
    ASSERT_TRUE(developing && dropping);
    EXPECT_EQ(developing->pixelWidth(), 320);
    // The panel sits over the picture area only while developing, and the slot shows the
    // print only while it drops, so both places differ between the two shots.
    EXPECT_NE(developing->pixel(160, 260), dropping->pixel(160, 260));
    EXPECT_NE(developing->pixel(160, 420), dropping->pixel(160, 420));

    if (const char* keep = std::getenv("MORVANE_KEEP_SHOTS")) {
        std::filesystem::copy_file(camera_.home().root() / "developing.png",
                                   std::filesystem::path(keep) / "developing.png",
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::copy_file(camera_.home().root() / "dropping.png",
                                   std::filesystem::path(keep) / "dropping.png",
                                   std::filesystem::copy_options::overwrite_existing);
    }
}

TEST_F(ShutterSystemTest, TenLooksFromTheBuiltInScene) {
    ASSERT_EQ(run("scene", tenPrintsScript()), 0) << camera_.errors();
    checkTenPrints();
    // The scene's colours and faces show the looks best, so the README's sheet comes from here.
    if (const char* out = std::getenv("MORVANE_CONTACT_SHEET")) {
        const ImageRef sheet = contactSheet();
        ASSERT_TRUE(sheet && sheet->writePng(out));
    }
}

} // namespace
