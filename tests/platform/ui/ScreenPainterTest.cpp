#include "platform/ui/ScreenPainter.h"

#include "platform/ui/Application.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/VirtualClock.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>

using namespace platform;

namespace {

// A picture like the camera's skin: transparent at the top, opaque below, with a soft row
// between; or like the frame strip: a translucent ring around a transparent middle.
ImageRef skinPicture(int width, int height) {
    std::vector<std::uint32_t> argb(std::size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t a = y < height / 2 ? 0 : y == height / 2 ? 0x80 : 0xff;
            const std::uint32_t c = (x * 5 + y * 3) & 0x7f;
            argb[std::size_t(y) * width + x] =
                a << 24 | (c * a / 255) << 16 | (a / 2) << 8 | (c * a / 510);
        }
    return Image::fromPixels(width, height, argb);
}

ImageRef ringPicture(int side) {
    std::vector<std::uint32_t> argb(std::size_t(side) * side, 0);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if (x < 4 || y < 4 || x >= side - 4 || y >= side - 4)
                argb[std::size_t(y) * side + x] = 0xc0604020;
    return Image::fromPixels(side, side, argb);
}

// Cairo fits its fixed-point transform of a scaled picture to the middle of what it draws,
// so part of a picture drawn on its own may round a step or two differently from the whole.
constexpr int kRounding = 2;

// The largest difference of any channel of any pixel between two pictures of one size.
int largestDifference(const ImageRef& a, const ImageRef& b, std::string& where) {
    if (!a || !b || a->pixelWidth() != b->pixelWidth() || a->pixelHeight() != b->pixelHeight()) {
        where = "sizes differ";
        return 256;
    }
    int largest = 0;
    for (int y = 0; y < a->pixelHeight(); ++y)
        for (int x = 0; x < a->pixelWidth(); ++x) {
            const std::uint32_t p = a->pixel(x, y), q = b->pixel(x, y);
            for (int shift = 0; shift < 32; shift += 8) {
                const int d = std::abs(int(p >> shift & 255) - int(q >> shift & 255));
                if (d > largest) {
                    largest = d;
                    where = "pixel " + std::to_string(x) + "," + std::to_string(y) +
                            " differs by " + std::to_string(d);
                }
            }
        }
    return largest;
}

Rect pixelsOf(const Rect& points, double scale) {
    const double x0 = std::floor(points.minX() * scale), y0 = std::floor(points.minY() * scale);
    return {x0, y0, std::ceil(points.maxX() * scale) - x0, std::ceil(points.maxY() * scale) - y0};
}

Rect grown(const Rect& r, double by) {
    return {r.x() - by, r.y() - by, r.width() + 2 * by, r.height() + 2 * by};
}

std::shared_ptr<View> box(Rect frame, Color color) {
    auto v = std::make_shared<View>(frame);
    v->setBackgroundColor(color);
    return v;
}

// A screen of every kind of view the camera is made of, in an application on a virtual
// clock, and a painter keeping its picture.
struct ScreenPainting : ::testing::Test {
    Application app{std::make_shared<VirtualClock>()};
    std::shared_ptr<Window> window = std::make_shared<Window>();
    ScreenPainter painter;

    std::shared_ptr<View> back = box({0, 0, 320, 480}, {0.2, 0.3, 0.4, 1});
    std::shared_ptr<View> red = box({20, 30, 60, 40}, {1, 0, 0, 1});
    std::shared_ptr<ImageView> skin = std::make_shared<ImageView>(Rect{0, 0, 320, 480});
    std::shared_ptr<View> faded = std::make_shared<View>(Rect{40, 200, 200, 120});
    std::shared_ptr<View> fadedChild = box({10, 10, 50, 30}, {0, 1, 0, 1});
    std::shared_ptr<ImageView> ring = std::make_shared<ImageView>(Rect{0, 0, 200, 120});
    std::shared_ptr<ScrollView> strip = std::make_shared<ScrollView>(Rect{27, 380, 270, 50});
    std::shared_ptr<Label> label = std::make_shared<Label>(Rect{30, 440, 200, 30});
    std::shared_ptr<View> cover = box({0, 0, 320, 480}, {0.15, 0.14, 0.13, 1});
    std::vector<std::shared_ptr<View>> movers;

    void SetUp() override {
        skin->setImage(skinPicture(160, 240));
        ring->setImage(ringPicture(50));
        faded->setAlpha(0.4);
        faded->addSubview(fadedChild);
        faded->addSubview(ring);
        strip->setContentSize({270 * 3, 50});
        for (int i = 0; i < 3; ++i)
            strip->addSubview(box({270.0 * i, 0, 270, 50}, {0.3 * i, 0.5, 1 - 0.3 * i, 1}));
        label->setText("Blue cool cast");
        label->setTextColor({1, 1, 0.8, 1});
        label->setFontSize(19);
        cover->setHidden(true);
        for (const auto& v :
             std::vector<std::shared_ptr<View>>{back, red, skin, faded, strip, label, cover})
            window->addSubview(v);
        window->makeKeyAndVisible();
        movers = {red, faded, fadedChild, strip, label, skin};
    }

    double now() { return app.runLoop().now(); }
    void advance(double seconds) { app.runLoop().runFor(seconds); }

    // The painter's picture is what a whole snapshot at the same scale and moment shows.
    void expectSameAsSnapshot(double scale, const std::string& after) {
        std::string where;
        EXPECT_LE(largestDifference(painter.picture(), app.snapshot(scale), where), kRounding)
            << "after " << after << " at scale " << scale << ": " << where;
    }
};

const char* const kChanges[] = {"colour",  "move",     "slide",  "fade", "hide",
                                "re-add",  "to front", "scroll", "text", "clip",
                                "picture", "resize",   "cover"};

} // namespace

// Every kind of change, in a long random mix, with animations caught at any moment: after each
// frame the kept picture is pixel for pixel the whole screen drawn afresh. So nothing that
// changed is left undrawn, nothing is drawn differently in parts, and kept pictures of faded
// views and everything left out under covers or outside the changes leave no trace.
TEST_F(ScreenPainting, EachFrameLeavesThePictureAWholeSnapshotWouldShow) {
    for (const double scale : {2.0, 1.5, 1.0}) {
        std::mt19937 random(7 + static_cast<unsigned>(scale * 10));
        auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
        auto real = [&](double a, double b) {
            return std::uniform_real_distribution<double>(a, b)(random);
        };
        painter.paint(*window, scale, now());
        expectSameAsSnapshot(scale, "the first frame");
        for (int step = 0; step < 160; ++step) {
            const int change = pick(std::size(kChanges));
            const auto& v = movers[static_cast<std::size_t>(pick(int(movers.size())))];
            switch (change) {
            case 0:
                fadedChild->setBackgroundColor(Color{real(0, 1), real(0, 1), real(0, 1), 1});
                red->setBackgroundColor(Color{real(0, 1), 0, real(0, 1), real(0.3, 1)});
                break;
            case 1:
                v->setCenter({real(-40, 360), real(-40, 520)});
                break;
            case 2:
                View::animate(real(0.05, 0.4), [&] {
                    v->setTransform(AffineTransform::makeTranslation(real(-60, 60), real(-90, 90)));
                });
                break;
            case 3:
                View::animate(real(0, 0.3), [&] { v->setAlpha(real(0, 1)); });
                break;
            case 4:
                v->setHidden(!v->isHidden());
                break;
            case 5: {
                // Taken out, then put back into one of the screen's views.
                const std::vector<std::shared_ptr<View>> parents{window, faded, back};
                const auto parent = parents[static_cast<std::size_t>(pick(3))];
                v->removeFromSuperview();
                if (v != parent && !parent->isDescendantOf(*v))
                    parent->addSubview(v);
                else
                    window->addSubview(v);
                break;
            }
            case 6:
                if (auto parent = v->superview())
                    parent->bringSubviewToFront(v);
                break;
            case 7:
                strip->setContentOffset({real(-30, 600), 0});
                break;
            case 8:
                label->setText(pick(2) ? "Vintage" : "Rainbow glow");
                break;
            case 9:
                faded->setClipsToBounds(!faded->clipsToBounds());
                break;
            case 10:
                skin->setImage(pick(3) ? skinPicture(160, 240) : ringPicture(40));
                break;
            case 11:
                v->setFrame({real(0, 200), real(0, 300), real(10, 200), real(10, 200)});
                break;
            case 12:
                cover->setHidden(!cover->isHidden());
                cover->setFrame(pick(2) ? Rect{0, 0, 320, 480} : Rect{0, 0, 320, real(100, 480)});
                break;
            }
            advance(pick(3) ? real(0, 0.12) : 0);
            painter.paint(*window, scale, now());
            expectSameAsSnapshot(scale, kChanges[change]);
            if (HasFailure())
                return;
        }
        // Once everything has come to rest a frame draws nothing.
        advance(1);
        painter.paint(*window, scale, now());
        expectSameAsSnapshot(scale, "coming to rest");
        EXPECT_TRUE(painter.paint(*window, scale, now()).empty());
        EXPECT_FALSE(window->needsDisplay());
    }
}

// What a change redraws is where the changed view was drawn and where it is drawn now, and no
// more: the rest of the screen is left as it is.
TEST_F(ScreenPainting, AChangeRedrawsOnlyWhereTheViewWasAndIs) {
    const double scale = 2;
    painter.paint(*window, scale, now());
    const Rect screen{0, 0, 640, 960};
    struct Case {
        const char* what;
        std::shared_ptr<View> view;
        std::function<void()> change;
    };
    const std::vector<Case> cases{
        {"colour", red,
         [&] {
             red->setBackgroundColor(Color{0, 0, 1, 1});
         }},
        {"move", red,
         [&] {
             red->setCenter({250, 100});
         }},
        {"hide", red, [&] { red->setHidden(true); }},
        {"show", red, [&] { red->setHidden(false); }},
        {"text", label, [&] { label->setText("Sepia"); }},
        {"scroll", strip,
         [&] {
             strip->setContentOffset({270, 0});
         }},
        {"inside a faded view", faded,
         [&] {
             fadedChild->setBackgroundColor(Color{1, 1, 0, 1});
         }},
        {"remove", label, [&] { label->removeFromSuperview(); }},
        // Beside the strip, just beneath it, where its next page would lie if it did not clip
        // it: that page hides nothing here.
        {"beside a clipped page", red,
         [&] {
             const auto& order = window->subviews();
             const auto at = std::find(order.begin(), order.end(), strip) - order.begin();
             window->insertSubviewAt(red, static_cast<std::size_t>(at));
             red->setFrame({300, 385, 18, 40});
         }},
        {"colour beside it", red,
         [&] {
             red->setBackgroundColor(Color{1, 0.5, 0, 1});
         }},
    };
    for (const Case& c : cases) {
        const Rect before = c.view->drawnRect(now());
        c.change();
        const Rect after = c.view->drawnRect(now());
        const Rect allowed = grown(pixelsOf(before.united(after), scale), 1).intersection(screen);
        const std::vector<Rect> drawn = painter.paint(*window, scale, now());
        EXPECT_FALSE(drawn.empty()) << c.what;
        for (const Rect& box : drawn)
            EXPECT_TRUE(allowed.containsRect(box)) << c.what;
        expectSameAsSnapshot(scale, c.what);
    }
    // A move drawn over frames: each frame draws between where the view was drawn last and
    // where it is now.
    View::animate(0.5, [&] { red->setTransform(AffineTransform::makeTranslation(0, 200)); });
    Rect last = red->drawnRect(now());
    for (int frame = 0; frame < 40; ++frame) {
        advance(1.0 / 60);
        const Rect here = red->drawnRect(now());
        const Rect allowed = grown(pixelsOf(last.united(here), scale), 1);
        for (const Rect& box : painter.paint(*window, scale, now()))
            EXPECT_TRUE(allowed.containsRect(box)) << "frame " << frame;
        last = here;
    }
    EXPECT_TRUE(painter.paint(*window, scale, now()).empty());
    // Off the screen nothing is drawn at all.
    red->setCenter({160, 900});
    painter.paint(*window, scale, now());
    red->setBackgroundColor(Color{0, 1, 1, 1});
    EXPECT_TRUE(painter.paint(*window, scale, now()).empty());
}
