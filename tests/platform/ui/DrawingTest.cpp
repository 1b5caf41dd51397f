#include "platform/graphics/ImageContext.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/RunLoop.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/VirtualClock.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace platform;

namespace {

struct Rgb {
    int r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "(" << c.r << "," << c.g << "," << c.b << ")";
}

// Composited over opaque black, so premultiplied values are the colour itself.
Rgb at(const Image& image, int x, int y) {
    const std::uint32_t p = image.pixel(x, y);
    return {int(p >> 16 & 255), int(p >> 8 & 255), int(p & 255)};
}

bool near(const Rgb& a, const Rgb& b, int tolerance = 2) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

std::shared_ptr<View> box(Rect frame, Color color) {
    auto v = std::make_shared<View>(frame);
    v->setBackgroundColor(color);
    return v;
}

struct Drawing : ::testing::Test {
    std::shared_ptr<VirtualClock> clock = std::make_shared<VirtualClock>();
    RunLoop loop{clock};
    std::shared_ptr<View> root = std::make_shared<View>(Rect{0, 0, 100, 100});
    void SetUp() override { loop.makeMain(); }
    ImageRef render(double scale = 1) {
        ImageContext context(Size{100, 100}, scale);
        context.setRGBFillColor(0, 0, 0, 1);
        context.fillRect({0, 0, 100, 100});
        root->drawHierarchy(context, loop.now());
        return context.makeImage();
    }
};

const Color red{1, 0, 0, 1}, green{0, 1, 0, 1}, blue{0, 0, 1, 1}, white{1, 1, 1, 1};

} // namespace

TEST_F(Drawing, LaterSubviewsCoverEarlierOnesAndHiddenOnesAreSkipped) {
    root->addSubview(box({0, 0, 60, 60}, red));
    auto top = box({40, 40, 60, 60}, green);
    root->addSubview(top);
    auto hidden = box({0, 0, 100, 100}, white);
    hidden->setHidden(true);
    root->addSubview(hidden);
    auto image = render();
    EXPECT_EQ(at(*image, 10, 10), (Rgb{255, 0, 0}));
    EXPECT_EQ(at(*image, 50, 50), (Rgb{0, 255, 0}));
    EXPECT_EQ(at(*image, 90, 10), (Rgb{0, 0, 0}));
    root->addSubview(root->subviews().front()); // red to the front
    EXPECT_EQ(at(*render(), 50, 50), (Rgb{255, 0, 0}));
}

TEST_F(Drawing, AlphaFadesAViewAndItsSubviewsAsOnePicture) {
    auto parent = box({0, 0, 100, 100}, red);
    parent->addSubview(box({0, 0, 50, 100}, blue));
    parent->setAlpha(0.5);
    root->addSubview(parent);
    auto image = render();
    // Blue over red inside the group, then faded: no red shows through the blue.
    EXPECT_TRUE(near(at(*image, 25, 50), {0, 0, 128})) << at(*image, 25, 50);
    EXPECT_TRUE(near(at(*image, 75, 50), {128, 0, 0})) << at(*image, 75, 50);
}

TEST_F(Drawing, TransformsAndAnimationsAreDrawnWhereTheyAreNow) {
    auto v = box({0, 0, 20, 20}, white);
    root->addSubview(v);
    v->setTransform(AffineTransform::makeTranslation(50, 0));
    auto image = render();
    EXPECT_EQ(at(*image, 10, 10), (Rgb{0, 0, 0}));
    EXPECT_EQ(at(*image, 60, 10), (Rgb{255, 255, 255}));
    View::animate(1.0, [&] { v->setTransform(AffineTransform::makeTranslation(50, 60)); });
    loop.runFor(0.5); // half way down: y 30 to 50
    image = render();
    EXPECT_EQ(at(*image, 60, 35), (Rgb{255, 255, 255}));
    EXPECT_EQ(at(*image, 60, 25), (Rgb{0, 0, 0}));
    EXPECT_EQ(at(*image, 60, 55), (Rgb{0, 0, 0}));
}

TEST_F(Drawing, AScrollViewClipsToItsBoundsAndShowsItsOffset) {
    auto scroll = std::make_shared<ScrollView>(Rect{10, 10, 40, 40});
    scroll->setContentSize({120, 40});
    scroll->addSubview(box({0, 0, 40, 40}, red));
    scroll->addSubview(box({40, 0, 80, 40}, green)); // reaches far outside the view
    root->addSubview(scroll);
    auto image = render();
    EXPECT_EQ(at(*image, 20, 20), (Rgb{255, 0, 0}));
    EXPECT_EQ(at(*image, 60, 20), (Rgb{0, 0, 0})); // clipped
    scroll->setContentOffset({40, 0});
    image = render();
    EXPECT_EQ(at(*image, 20, 20), (Rgb{0, 255, 0}));
    EXPECT_EQ(at(*image, 60, 20), (Rgb{0, 0, 0}));
    EXPECT_EQ(at(*image, 5, 20), (Rgb{0, 0, 0}));
}

TEST_F(Drawing, AnImageViewStretchesItsPictureUprightAtTheGivenScale) {
    // Two rows: top red, bottom blue, 2 by 2 pixels.
    std::vector<std::uint32_t> pixels = {0xFFFF0000, 0xFFFF0000, 0xFF0000FF, 0xFF0000FF};
    auto view = std::make_shared<ImageView>(Rect{0, 0, 100, 100});
    view->setImage(Image::fromPixels(2, 2, pixels));
    root->addSubview(view);
    auto image = render(2);
    ASSERT_EQ(image->pixelWidth(), 200);
    EXPECT_EQ(at(*image, 100, 10), (Rgb{255, 0, 0}));
    EXPECT_EQ(at(*image, 100, 190), (Rgb{0, 0, 255}));
}

TEST_F(Drawing, TheWheelTurnsWhileAnimatingAndHidesWhenStopped) {
    auto wheel = std::make_shared<ActivityIndicatorView>(Rect{25, 25, 50, 50});
    wheel->setActivityIndicatorViewStyle(0);
    root->addSubview(wheel);
    EXPECT_TRUE(wheel->isHidden());
    EXPECT_EQ(at(*render(), 50, 50 - 15), (Rgb{0, 0, 0}));
    wheel->startAnimating();
    EXPECT_FALSE(wheel->isHidden());
    auto first = render();
    // The top spoke leads at time 0: it is the brightest, white.
    const Rgb top = at(*first, 50, 50 - 13);
    EXPECT_GT(top.r, 200);
    EXPECT_EQ(top.r, top.b);
    loop.runFor(0.5); // half a turn: the lead is now at the bottom
    EXPECT_EQ(ActivityIndicatorView::leadingSpoke(loop.now()), 6);
    auto second = render();
    EXPECT_LT(at(*second, 50, 50 - 13).r, top.r);
    EXPECT_GT(at(*second, 50, 50 + 13).r, 200);
    wheel->stopAnimating();
    EXPECT_TRUE(wheel->isHidden());
    wheel->setActivityIndicatorViewStyle(2);
    wheel->setHidesWhenStopped(false);
    const Rgb gray = at(*render(), 50, 50 - 7); // the small wheel's top spoke
    EXPECT_GT(gray.r, 40);
    EXPECT_LT(gray.r, 160);
}

TEST_F(Drawing, ALabelStandsUprightInItsColourWhereItIsAligned) {
    auto label = std::make_shared<Label>(Rect{0, 30, 100, 40});
    label->setText("T");
    label->setFontSize(30);
    label->setTextColor(white);
    label->setTextAlignment(TextAlignment::Center);
    root->addSubview(label);
    auto image = render();
    // The T's bar is its widest row and lies in its upper part: upright, not mirrored.
    int widestRow = -1, widest = 0, inkLeft = 100, inkRight = -1, inkTop = 100, inkBottom = -1;
    for (int y = 0; y < 100; ++y) {
        int count = 0;
        for (int x = 0; x < 100; ++x) {
            const Rgb c = at(*image, x, y);
            if (c.r > 128) {
                EXPECT_EQ(c.r, c.b);
                ++count;
                inkLeft = std::min(inkLeft, x);
                inkRight = std::max(inkRight, x);
                inkTop = std::min(inkTop, y);
                inkBottom = std::max(inkBottom, y);
            }
        }
        if (count > widest) {
            widest = count;
            widestRow = y;
        }
    }
    ASSERT_GE(inkBottom, 0) << "no ink";
    EXPECT_GE(inkTop, 30);
    EXPECT_LT(inkBottom, 70);
    EXPECT_LT(widestRow, (inkTop + inkBottom) / 2);
    EXPECT_NEAR((inkLeft + inkRight) / 2.0, 50, 3);
    label->setTextAlignment(TextAlignment::Right);
    image = render();
    int right = -1;
    for (int y = 30; y < 70; ++y)
        for (int x = 0; x < 100; ++x)
            if (at(*image, x, y).r > 128)
                right = std::max(right, x);
    EXPECT_GT(right, 90);
}

// A label looks its face up once, and again only when it is given another name: drawn after a
// change of face it shows the new one, and again the first when changed back.
TEST_F(Drawing, ALabelGivenAnotherFaceDrawsInIt) {
    auto label = std::make_shared<Label>(Rect{0, 20, 100, 60});
    label->setText("Aug 7");
    label->setFontSize(28);
    label->setTextColor(white);
    root->addSubview(label);
    const auto plain = render();
    label->setFontName("MarkerFelt-Thin");
    const auto felt = render();
    label->setFontName("Helvetica");
    const auto again = render();
    int changed = 0, restored = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            changed += plain->pixel(x, y) != felt->pixel(x, y);
            restored += plain->pixel(x, y) != again->pixel(x, y);
        }
    EXPECT_GT(changed, 50);
    EXPECT_EQ(restored, 0);
}
