#include "platform/camera/CameraSource.h"
#include "platform/camera/SceneCameraSource.h"
#include "platform/ui/Application.h"
#include "platform/ui/CameraPreviewView.h"
#include "platform/ui/OpaqueCovers.h"
#include "platform/ui/RunLoop.h"
#include "platform/ui/ScreenPainter.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/VirtualClock.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using namespace platform;

namespace {

std::shared_ptr<View> box(Rect frame, std::optional<Color> color = Color{0.2, 0.2, 0.2, 1}) {
    auto v = std::make_shared<View>(frame);
    v->setBackgroundColor(color);
    return v;
}

} // namespace

// What is drawn after a view and paints opaquely hides it; nothing else does.
TEST(OpaqueCovers, OnlyOpaqueViewsDrawnLaterHideWhatLiesBeneath) {
    Application app{std::make_shared<VirtualClock>()};
    auto window = std::make_shared<Window>();
    auto picture = box({0, 0, 320, 320});
    auto behind = box({0, 0, 320, 480});
    window->addSubview(behind);
    window->addSubview(picture);
    const Rect area{0, 0, 320, 320};
    EXPECT_EQ(OpaqueCovers(*window, 0).visiblePart(*picture, area), area);

    // The lower part covered by the body: the upper part is left.
    auto body = box({0, 240, 320, 240});
    window->addSubview(body);
    EXPECT_EQ(OpaqueCovers(*window, 0).visiblePart(*picture, area), (Rect{0, 0, 320, 240}));

    // A panel in the middle leaves more than one rectangle: all of it counts as seen.
    auto panel = box({100, 100, 50, 50});
    window->addSubview(panel);
    EXPECT_EQ(OpaqueCovers(*window, 0).visiblePart(*picture, area), (Rect{0, 0, 320, 240}));

    // See-through views hide nothing: a faded one, one without a background, a hidden one.
    auto sheet = box({0, 0, 320, 480});
    window->addSubview(sheet);
    sheet->setAlpha(0.99);
    const Rect upper{0, 0, 320, 240};
    EXPECT_EQ(OpaqueCovers(*window, 0).visiblePart(*picture, area), upper);
    sheet->setAlpha(1);
    sheet->setBackgroundColor(Color{1, 1, 1, 0.5});
    EXPECT_EQ(OpaqueCovers(*window, 0).visiblePart(*picture, area), upper);
    sheet->setBackgroundColor(Color::white());
    sheet->setHidden(true);
    EXPECT_EQ(OpaqueCovers(*window, 0).visiblePart(*picture, area), upper);

    // Shown, it hides everything; a screen drawn at two pixels a point has it as the cover.
    sheet->setHidden(false);
    const OpaqueCovers covers(*window, 0);
    EXPECT_TRUE(covers.visiblePart(*picture, area).isEmpty());
    EXPECT_EQ(covers.coverOf({0, 0, 640, 960}, 2), sheet.get());
    // A view not in the tree is not drawn at all.
    EXPECT_TRUE(covers.visiblePart(*box({0, 0, 10, 10}), area).isEmpty());
}

// A cover is only what shows of it: a scroll view's page hides nothing beyond the scroll
// view, and pixels its edges cut are not painted whole.
TEST(OpaqueCovers, ACoverIsCutByWhatClipsItAndByItsPartPixels) {
    Application app{std::make_shared<VirtualClock>()};
    auto window = std::make_shared<Window>();
    auto picture = box({0, 0, 320, 480});
    window->addSubview(picture);
    auto strip = std::make_shared<ScrollView>(Rect{27, 380, 270, 50});
    strip->setContentSize({810, 50});
    for (int i = 0; i < 3; ++i)
        strip->addSubview(box({270.0 * i, 0, 270, 50}));
    window->addSubview(strip);
    const OpaqueCovers covers(*window, 0);
    EXPECT_EQ(covers.visiblePart(*picture, {300, 380, 20, 50}), (Rect{300, 380, 20, 50}));
    EXPECT_EQ(covers.coverOf({600, 770, 36, 80}, 2), picture.get());
    EXPECT_EQ(covers.coverOf({60, 770, 36, 80}, 2), strip->subviews()[0].get());

    auto half = box({0.25, 10, 100, 100});
    window->addSubview(half);
    const OpaqueCovers later(*window, 0);
    // At two pixels a point its left edge cuts pixel 0 in half: only from pixel 1 is it whole.
    EXPECT_EQ(later.coverOf({1, 20, 100, 100}, 2), half.get());
    EXPECT_EQ(later.coverOf({0, 20, 100, 100}, 2), picture.get());
}

namespace {

// Runs the loop on the real clock until `done`. The limit measures nothing; it only keeps a
// broken build from hanging the test.
bool runUntil(RunLoop& loop, const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > limit)
            return false;
        loop.runFor(0.01);
    }
    return true;
}

} // namespace

// The live picture costs nothing while nobody can see it: covered by an opaque view or with
// the window minimised it takes no frame and leaves no timer to wake the loop, and it takes
// frames again as soon as the screen changes so that it shows.
TEST(CameraPreview, TakesNoFramesWhileNobodyCanSeeIt) {
    Application app; // the real clock: a preview polls only there
    auto window = std::make_shared<Window>();
    window->makeKeyAndVisible();
    auto preview = std::make_shared<CameraPreviewView>(Rect{0, 0, 320, 480});
    preview->setSource(std::make_shared<SceneCameraSource>());
    window->addSubview(preview);
    window->addSubview(box({0, 320, 320, 160})); // the camera's body
    RunLoop& loop = app.runLoop();
    preview->startUpdating();

    // Each new frame marks where it changed in the part of the picture that shows: never
    // under the body. (The scene moves in parts, so it is seldom all of it.)
    window->takeDirtyRegion(loop.now());
    ASSERT_TRUE(runUntil(loop, [&] { return window->needsDisplay(); }));
    const Rect marked = window->takeDirtyRegion(loop.now()).bounds();
    EXPECT_FALSE(marked.isEmpty());
    EXPECT_TRUE((Rect{0, 0, 320, 320}).containsRect(marked));

    auto gallery = box({0, 0, 320, 480});
    window->addSubview(gallery);
    ASSERT_TRUE(runUntil(loop, [&] { return preview->isWaitingToBeSeen(); }));
    EXPECT_TRUE(std::isinf(loop.nextEventTime()));
    // The gallery's own frame does not wake it while it still covers everything.
    window->takeDirtyRegion(loop.now());
    EXPECT_TRUE(preview->isWaitingToBeSeen());
    loop.runFor(0.2);
    EXPECT_FALSE(window->needsDisplay());

    // Taken away, the next frame of the screen wakes it, and its frames mark the screen again.
    gallery->removeFromSuperview();
    window->takeDirtyRegion(loop.now());
    EXPECT_FALSE(preview->isWaitingToBeSeen());
    ASSERT_TRUE(runUntil(loop, [&] { return window->needsDisplay(); }));

    // Minimised, the same; shown again, at once.
    window->setScreenVisible(false);
    ASSERT_TRUE(runUntil(loop, [&] { return preview->isWaitingToBeSeen(); }));
    EXPECT_TRUE(std::isinf(loop.nextEventTime()));
    window->takeDirtyRegion(loop.now());
    window->setScreenVisible(true);
    EXPECT_FALSE(preview->isWaitingToBeSeen());
    EXPECT_TRUE(window->needsDisplay());
    preview->stopUpdating();
    EXPECT_TRUE(std::isinf(loop.nextEventTime()));
}

// Drawn frame by frame only where the scene changed, with its picture made again only there,
// the live picture on screen is still the one a whole snapshot draws of the same frame (but
// for a step of rounding where parts of a scaled picture are drawn on their own).
TEST(CameraPreview, DrawnWhereItChangesItStaysTheWholePicture) {
    Application app;
    auto window = std::make_shared<Window>();
    window->makeKeyAndVisible();
    auto preview = std::make_shared<CameraPreviewView>(Rect{0, 0, 320, 480});
    preview->setSource(std::make_shared<SceneCameraSource>());
    window->addSubview(preview);
    auto body = box({0, 320, 320, 160});
    window->addSubview(body);
    RunLoop& loop = app.runLoop();
    preview->startUpdating();
    ScreenPainter painter;
    int frames = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(600);
    while (std::chrono::steady_clock::now() < until) {
        loop.runFor(1.0 / 60);
        frames += !painter.paint(*window, 2, loop.now()).empty();
    }
    EXPECT_GT(frames, 2);
    const ImageRef kept = painter.picture();
    const ImageRef whole = app.snapshot(2);
    ASSERT_TRUE(kept && whole);
    int largest = 0;
    for (int y = 0; y < whole->pixelHeight(); ++y)
        for (int x = 0; x < whole->pixelWidth(); ++x)
            for (int shift = 0; shift < 32; shift += 8)
                largest = std::max(largest, std::abs(int(kept->pixel(x, y) >> shift & 255) -
                                                     int(whole->pixel(x, y) >> shift & 255)));
    EXPECT_LE(largest, 2);
    preview->stopUpdating();
}

namespace {

// A camera whose frames, status and side the test decides.
struct HandheldCamera : CameraSource {
    ImageRef shown;
    std::uint64_t counter = 1;
    bool webcam = false;
    CameraStatus said;
    ImageRef frame(double) override { return shown; }
    ImageRef stillFrame(double) override { return shown; }
    std::string description() const override { return "hand camera"; }
    bool failed() const override { return false; }
    std::uint64_t frameCounter() const override { return counter; }
    bool isLive() const override { return true; }
    bool isWebcam() const override { return webcam; }
    CameraStatus status() const override { return said; }
};

// A 4:3 frame with a bright square at (x, y) over a gradient: one frame differs from the next
// only around the squares.
ImageRef frameWithSquareAt(int x, int y) {
    constexpr int w = 160, h = 120;
    std::vector<std::uint32_t> argb(std::size_t(w) * h);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const bool square = i >= x && i < x + 20 && j >= y && j < y + 20;
            argb[std::size_t(j) * w + i] =
                square ? 0xffffe040u : 0xff000000u | std::uint32_t(i) << 16 | std::uint32_t(j) << 8;
        }
    return Image::fromPixels(w, h, argb);
}

// The picture is stretched by a hair (853 rows over 853 1/3 pixels), and drawn in parts it
// may be placed a fraction of a pixel off the whole: at the square's hard edge that moves a
// pixel by a few steps. A part left undrawn shows the other frame, over 100 steps away.
constexpr int kEdgeRounding = 8;

int largestDifference(const ImageRef& a, const ImageRef& b) {
    if (!a || !b || a->pixelWidth() != b->pixelWidth() || a->pixelHeight() != b->pixelHeight())
        return 256;
    int largest = 0;
    for (int y = 0; y < a->pixelHeight(); ++y)
        for (int x = 0; x < a->pixelWidth(); ++x)
            for (int shift = 0; shift < 32; shift += 8)
                largest = std::max(largest, std::abs(int(a->pixel(x, y) >> shift & 255) -
                                                     int(b->pixel(x, y) >> shift & 255)));
    return largest;
}

} // namespace

// Whatever the camera does between frames (moves in parts, turns into a mirror, goes away and
// says so over the picture or over black, comes back), the screen drawn only where the
// preview marked it is the screen a whole snapshot draws; with nothing new, nothing is drawn.
TEST(CameraPreview, EveryKindOfCameraChangeLeavesTheWholePicture) {
    Application app; // the real clock: a preview polls only there
    auto window = std::make_shared<Window>();
    window->makeKeyAndVisible();
    auto camera = std::make_shared<HandheldCamera>();
    camera->shown = frameWithSquareAt(10, 10);
    auto preview = std::make_shared<CameraPreviewView>(Rect{0, 0, 320, 480});
    preview->setSource(camera);
    preview->setMirrored(true);
    preview->setStatusText(
        [](const CameraStatus& s) {
            return s.kind == CameraStatus::Kind::Gone ? s.camera + " went away: " + s.reason
                                                      : std::string{};
        },
        "Helvetica");
    window->addSubview(preview);
    window->addSubview(box({0, 320, 320, 160}));
    RunLoop& loop = app.runLoop();
    preview->startUpdating();
    ScreenPainter painter;
    const CameraStatus gone{CameraStatus::Kind::Gone, "hand camera", "it was unplugged", {}};

    struct Step {
        const char* what;
        std::function<void()> change;
    };
    const std::vector<Step> steps{
        {"the square moves", [&] { camera->shown = frameWithSquareAt(40, 30); }},
        {"it turns into a mirror", [&] { camera->webcam = true; }},
        {"the mirror's square moves", [&] { camera->shown = frameWithSquareAt(90, 60); }},
        {"it goes, the last frame kept", [&] { camera->said = gone; }},
        {"the square moves under the words", [&] { camera->shown = frameWithSquareAt(60, 50); }},
        {"no frame at all", [&] { camera->shown = nullptr; }},
        {"back, not a mirror",
         [&] {
             camera->said = {};
             camera->webcam = false;
             camera->shown = frameWithSquareAt(0, 0);
         }},
        {"the square moves once more", [&] { camera->shown = frameWithSquareAt(130, 90); }},
    };
    loop.runFor(0.05);
    painter.paint(*window, 2, loop.now());
    for (const Step& step : steps) {
        step.change();
        ++camera->counter;
        loop.runFor(0.05);
        EXPECT_FALSE(painter.paint(*window, 2, loop.now()).empty()) << step.what;
        EXPECT_LE(largestDifference(painter.picture(), app.snapshot(2)), kEdgeRounding)
            << step.what;
        loop.runFor(0.05);
        EXPECT_TRUE(painter.paint(*window, 2, loop.now()).empty()) << step.what;
    }
    preview->stopUpdating();
}

namespace {

// A treatment that changes each pixel of the square from that pixel alone (its colours turned
// round) and marks a fixed corner, as a look with its frame does.
ImageRef turnedColours(const Image& portrait, int& calls) {
    ++calls;
    const int side = portrait.pixelWidth();
    std::vector<std::uint32_t> argb(std::size_t(side) * side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const std::uint32_t p = portrait.pixel(x, y);
            const bool corner = x < side / 8 && y < side / 8;
            argb[std::size_t(y) * side + x] =
                corner ? 0xff2040ffu
                       : (p & 0xff000000u) | (p & 0xff) << 16 | (p & 0xff00) | (p >> 16 & 0xff);
        }
    return Image::fromPixels(side, side, argb);
}

} // namespace

// With its square treated, the live picture is still drawn only where the camera's frame
// changed, the treatment made once a frame and never while nobody sees the picture; the
// screen stays the one a whole snapshot draws. Taken away, the picture is the bare one again.
TEST(CameraPreview, ATreatedSquareIsDrawnInPartsAndOnlyWhenSeen) {
    Application app; // the real clock: a preview polls only there
    auto window = std::make_shared<Window>();
    window->makeKeyAndVisible();
    auto camera = std::make_shared<HandheldCamera>();
    camera->shown = frameWithSquareAt(10, 10);
    auto preview = std::make_shared<CameraPreviewView>(Rect{0, 0, 320, 480});
    preview->setSource(camera);
    window->addSubview(preview);
    window->addSubview(box({0, 320, 320, 160}));
    RunLoop& loop = app.runLoop();
    preview->startUpdating();
    ScreenPainter painter;
    loop.runFor(0.05);
    painter.paint(*window, 2, loop.now());
    const ImageRef bare = app.snapshot(2);

    int calls = 0;
    preview->setSquareTreatment([&calls](const Image& p) { return turnedColours(p, calls); });
    EXPECT_EQ(painter.paint(*window, 2, loop.now()).size(), 1u) << "all of the picture anew";
    EXPECT_EQ(calls, 1);
    EXPECT_LE(largestDifference(painter.picture(), app.snapshot(2)), kEdgeRounding);
    EXPECT_GT(largestDifference(painter.picture(), bare), 100);

    for (int x : {40, 80, 120}) {
        camera->shown = frameWithSquareAt(x, 20);
        ++camera->counter;
        loop.runFor(0.05);
        calls = 0;
        const std::vector<Rect> drawn = painter.paint(*window, 2, loop.now());
        ASSERT_FALSE(drawn.empty());
        // Only around the square that moved: a small part of the picture.
        double area = 0;
        for (const Rect& r : drawn)
            area += r.width() * r.height();
        EXPECT_LT(area, 640.0 * 640 / 4) << "at " << x;
        EXPECT_EQ(calls, 1) << "at " << x;
        EXPECT_LE(largestDifference(painter.picture(), app.snapshot(2)), kEdgeRounding)
            << "at " << x;
    }

    // Covered, new frames are neither taken nor treated.
    auto gallery = box({0, 0, 320, 480});
    window->addSubview(gallery);
    painter.paint(*window, 2, loop.now());
    calls = 0;
    for (int i = 0; i < 3; ++i) {
        camera->shown = frameWithSquareAt(20 * i, 70);
        ++camera->counter;
        loop.runFor(0.05);
        painter.paint(*window, 2, loop.now());
    }
    EXPECT_TRUE(preview->isWaitingToBeSeen());
    EXPECT_EQ(calls, 0);
    gallery->removeFromSuperview();

    // Without the treatment, the same frame is the bare picture once more.
    camera->shown = frameWithSquareAt(10, 10);
    ++camera->counter;
    preview->setSquareTreatment(nullptr);
    loop.runFor(0.05);
    painter.paint(*window, 2, loop.now());
    EXPECT_LE(largestDifference(painter.picture(), bare), kEdgeRounding);
    preview->stopUpdating();
}
