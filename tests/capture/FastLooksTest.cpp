// Every look, however its steps are drawn, against the PDF imaging model worked in floats:
// each step's blend and compositing formula on a grid of colours that includes partly
// transparent pixels, with no rounding between steps. Eight-bit steps may differ by a few
// 255ths after three or four of them, so 5/255 per channel is the bound. Run once with the
// drawing surface's shortcuts and once with Cairo alone.
#include "capture/FilmLook.h"
#include "support/BlendModel.h"
#include "support/TestPictures.h"

#include "platform/graphics/BlendMode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using blendmodel::Rgb;
using platform::BlendMode;

struct Pixel {
    Rgb c{}; // premultiplied
    double a = 0;
};

// co = (1 − as)·cb·ab + (1 − ab)·cs·as + as·ab·B(cb, cs) on premultiplied values.
Pixel composite(BlendMode mode, const Pixel& back, const Pixel& src) {
    if (src.a <= 0)
        return back;
    const Rgb cs = {src.c[0] / src.a, src.c[1] / src.a, src.c[2] / src.a};
    const Rgb cb =
        back.a > 0 ? Rgb{back.c[0] / back.a, back.c[1] / back.a, back.c[2] / back.a} : Rgb{};
    const Rgb mixed = blendmodel::blend(mode, cb, cs);
    Pixel out;
    out.a = src.a + back.a - src.a * back.a;
    for (int i = 0; i < 3; ++i)
        out.c[i] = (1 - src.a) * back.c[i] + (1 - back.a) * src.c[i] + src.a * back.a * mixed[i];
    return out;
}

Pixel fromWord(std::uint32_t w) {
    return {{((w >> 16) & 0xff) / 255.0, ((w >> 8) & 0xff) / 255.0, (w & 0xff) / 255.0},
            (w >> 24) / 255.0};
}

// A grid of colours: both sides of one half, greys, primaries, the extremes, under several
// alphas; 512 pixels, a 32 by 16 picture.
platform::ImageRef colourGrid() {
    const double levels[] = {0, 0.2, 0.49, 0.51, 0.8, 1, 0.35, 0.65};
    const double alphas[] = {1, 1, 1, 1, 0.8, 0.5, 0.25, 0};
    return testpictures::picture(32, 16, [&](int x, int y) {
        const int k = y * 32 + x;
        return testpictures::Rgba{levels[k % 8], levels[(k / 8) % 8], levels[(k / 64) % 8],
                                  alphas[(k * 5 + k / 64) % 8]};
    });
}

void checkEveryLook(const char* drawing) {
    SCOPED_TRACE(drawing);
    const platform::ImageRef input = colourGrid();
    const int w = input->pixelWidth(), h = input->pixelHeight();
    for (int n = 1; n <= FilmLook::kCount; ++n) {
        const FilmLook& look = FilmLook::number(n);
        const platform::ImageRef output = look.apply(*input);
        ASSERT_TRUE(output);
        int worst = 0;
        std::string where;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                // Row y of the output shows input row h − 1 − y.
                const Pixel picture = fromWord(input->pixel(x, h - 1 - y));
                Pixel model; // a fresh context: transparent
                for (const FilmLook::Step& step : look.steps()) {
                    Pixel src = picture;
                    if (step.kind == FilmLook::Step::Kind::Fill) {
                        src.a = step.color.alpha;
                        src.c = {step.color.red * src.a, step.color.green * src.a,
                                 step.color.blue * src.a};
                    }
                    model = composite(step.mode, model, src);
                }
                const Pixel got = fromWord(output->pixel(x, y));
                const double want[4] = {model.c[0], model.c[1], model.c[2], model.a};
                const double have[4] = {got.c[0], got.c[1], got.c[2], got.a};
                for (int i = 0; i < 4; ++i) {
                    const int d = int(std::lround(std::abs(want[i] - have[i]) * 255));
                    if (d > worst) {
                        worst = d;
                        where = "at " + std::to_string(x) + "," + std::to_string(y) + " channel " +
                                std::to_string(i);
                    }
                }
            }
        EXPECT_LE(worst, 5) << "look " << n << " " << where;
    }
}

TEST(FastLooks, EveryLookFollowsTheFloatModelWithTheShortcuts) {
    checkEveryLook("shortcuts");
}

TEST(FastLooks, EveryLookFollowsTheFloatModelWithCairoAlone) {
    // The contexts a look opens read this once, at their first use in the process; a child
    // process starts with it set.
    if (std::getenv("MORVANE_SLOW_DRAWING"))
        return checkEveryLook("Cairo alone");
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string command = "MORVANE_SLOW_DRAWING=1 '" + self +
                                "' --gtest_filter=FastLooks.EveryLookFollows*Cairo* > /dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
}

} // namespace
