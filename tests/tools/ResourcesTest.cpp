#include "ResourcePicture.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Expected {
    std::string name;
    int width;
    int height;
};

std::vector<Expected> everyResource() {
    std::vector<Expected> all;
    for (int i = 0; i < 3; ++i) {
        all.push_back({"frame" + std::to_string(i), 320, 480});
        all.push_back({"background" + std::to_string(i), 320, 320});
        all.push_back({"miniFrame" + std::to_string(i), 320, 320});
        for (const char* family : {"film_normal", "film_rainbow", "film_vintage", "film_color"}) {
            all.push_back({family + std::to_string(i), 1500, 1500});
        }
    }
    for (int i = 1; i <= 10; ++i) {
        all.push_back({"cat" + std::to_string(i), 270, 50});
    }
    all.push_back({"lamp", 22, 22});
    all.push_back({"remove", 68, 38});
    all.push_back({"icon", 64, 64});
    return all;
}

TEST(Resources, EveryPictureIsThereAtItsPixelSize) {
    for (const Expected& expected : everyResource()) {
        const ResourcePicture picture(expected.name);
        ASSERT_TRUE(picture.loaded()) << expected.name;
        EXPECT_EQ(picture.width(), expected.width) << expected.name;
        EXPECT_EQ(picture.height(), expected.height) << expected.name;
    }
}

TEST(Skins, PictureAreaIsSeeThroughAndTheBodyIsSolid) {
    for (int i = 0; i < 3; ++i) {
        const ResourcePicture skin("frame" + std::to_string(i));
        ASSERT_TRUE(skin.loaded());
        int visibleInPicture = 0;
        int clearInBody = 0;
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 320; ++x) {
                if (y < 320) {
                    visibleInPicture += skin.alpha(x, y) != 0;
                } else {
                    clearInBody += skin.alpha(x, y) != 255;
                }
            }
        }
        EXPECT_EQ(visibleInPicture, 0) << "skin " << i;
        EXPECT_EQ(clearInBody, 0) << "skin " << i;
    }
}

double saturation(const ResourcePicture& p, int x, int y) {
    const double r = p.channel(x, y, 0), g = p.channel(x, y, 1), b = p.channel(x, y, 2);
    const double high = std::max({r, g, b});
    return high == 0 ? 0 : (high - std::min({r, g, b})) / high;
}

// The screen's buttons are untitled hit areas: what the user sees of them is the skin, so each
// painted control must lie where its button is.
TEST(Skins, ControlsArePaintedUnderTheirButtons) {
    for (int i = 0; i < 3; ++i) {
        const ResourcePicture skin("frame" + std::to_string(i));
        ASSERT_TRUE(skin.loaded());
        // Unlit lamp glass, deep red, in both sockets the lit lamps cover (22 by 22 at
        // (12, 333) and (89, 333)).
        for (int cx : {23, 100}) {
            EXPECT_LT(skin.luminance(cx, 344), 0.3) << "skin " << i << " socket " << cx;
            EXPECT_GT(skin.channel(cx, 344, 0), 2 * skin.channel(cx, 344, 2)) << "skin " << i;
        }
        // A coloured release in the middle of the shutter button (250, 310, 70, 50), below
        // the strip of the button that the frame strip covers.
        EXPECT_GT(saturation(skin, 285, 342), 0.5) << "skin " << i;
        // The dark mouth the print comes out of, across the print's width (x 35 to 285).
        for (int x = 35; x < 285; x += 10) {
            EXPECT_LT(skin.luminance(x, 367), 0.15) << "skin " << i << " slot at " << x;
        }
        // The category strip (27, 382, 270, 50) sits in a dark window: no body colour shows
        // in the pixel ring around it.
        for (int x = 26; x <= 297; ++x) {
            EXPECT_LT(skin.luminance(x, 381), 0.2) << "skin " << i << " above at " << x;
            EXPECT_LT(skin.luminance(x, 432), 0.2) << "skin " << i << " below at " << x;
        }
        for (int y = 381; y <= 432; ++y) {
            EXPECT_LT(skin.luminance(26, y), 0.2) << "skin " << i << " left at " << y;
            EXPECT_LT(skin.luminance(297, y), 0.2) << "skin " << i << " right at " << y;
        }
    }
}

TEST(Skins, ClosedShutterHidesThePictureAndIsDarkUnderTheSpinner) {
    for (int i = 0; i < 3; ++i) {
        const ResourcePicture plate("background" + std::to_string(i));
        ASSERT_TRUE(plate.loaded());
        double spinnerLight = 0;
        int spinnerPixels = 0;
        for (int y = 0; y < 320; ++y) {
            for (int x = 0; x < 320; ++x) {
                ASSERT_EQ(plate.alpha(x, y), 255) << "skin " << i << " at " << x << "," << y;
                // The white wheel turns in the 25-point square at the panel's middle.
                if (x >= 140 && x < 180 && y >= 140 && y < 180) {
                    spinnerLight += plate.luminance(x, y);
                    ++spinnerPixels;
                }
            }
        }
        EXPECT_LT(spinnerLight / spinnerPixels, 0.3) << "skin " << i;
    }
}

TEST(Lamp, IsALitRoundLightWithClearCorners) {
    const ResourcePicture lamp("lamp");
    ASSERT_TRUE(lamp.loaded());
    for (auto [x, y] : {std::pair{0, 0}, {21, 0}, {0, 21}, {21, 21}}) {
        EXPECT_EQ(lamp.alpha(x, y), 0);
    }
    EXPECT_EQ(lamp.alpha(11, 11), 255);
    EXPECT_GT(lamp.channel(11, 11, 0), 0.9);
    EXPECT_GT(lamp.channel(11, 11, 0), lamp.channel(11, 11, 2));
}

TEST(Categories, PagesAreOpaqueAndEachIsItsOwn) {
    std::vector<double> fingerprints;
    for (int i = 1; i <= 10; ++i) {
        const ResourcePicture page("cat" + std::to_string(i));
        ASSERT_TRUE(page.loaded());
        double sum = 0;
        for (int y = 0; y < 50; ++y) {
            for (int x = 0; x < 270; ++x) {
                ASSERT_EQ(page.alpha(x, y), 255) << "cat" << i;
                sum +=
                    page.channel(x, y, 0) + 3 * page.channel(x, y, 1) + 7 * page.channel(x, y, 2);
            }
        }
        for (double other : fingerprints) {
            EXPECT_NE(sum, other) << "cat" << i << " repeats an earlier page";
        }
        fingerprints.push_back(sum);
    }
}

// The faint outline the user picks a frame from must show exactly the window the print gets:
// wherever the outline is clear the plain film frame lets the picture through, and wherever
// the outline marks border the frame covers the picture.
TEST(FilmFrames, OutlinesMatchTheWindowsOfThePrints) {
    for (int j = 0; j < 3; ++j) {
        const ResourcePicture outline("miniFrame" + std::to_string(j));
        const ResourcePicture frame("film_normal" + std::to_string(j));
        ASSERT_TRUE(outline.loaded());
        ASSERT_TRUE(frame.loaded());
        // 0 clear, 2 marked as border, 1 an antialiased edge pixel in between.
        auto state = [&](int x, int y) {
            const int a = outline.alpha(x, y);
            return a == 0 ? 0 : a >= 110 ? 2 : 1;
        };
        auto clear = [&](int x, int y) { return state(x, y) == 0; };
        // Shown over the live picture, the outline is white alone: any colour would tint it.
        for (int y = 0; y < 320; ++y) {
            for (int x = 0; x < 320; ++x) {
                if (outline.alpha(x, y) > 0) {
                    ASSERT_GT(outline.luminance(x, y), 0.95)
                        << "frame " << j << " " << x << "," << y;
                }
            }
        }
        int compared = 0;
        for (int y = 4; y < 316; y += 3) {
            for (int x = 4; x < 316; x += 3) {
                // Away from edges only: the two pictures are drawn at different sizes.
                bool uniform = state(x, y) != 1;
                for (int d = -4; d <= 4 && uniform; d += 2) {
                    uniform = state(x + d, y) == state(x, y) && state(x, y + d) == state(x, y);
                }
                if (!uniform) {
                    continue;
                }
                const int fx = static_cast<int>((x + 0.5) * 1500 / 320);
                const int fy = static_cast<int>((y + 0.5) * 1500 / 320);
                EXPECT_EQ(frame.alpha(fx, fy), clear(x, y) ? 0 : 255)
                    << "frame " << j << " at outline point " << x << "," << y;
                ++compared;
            }
        }
        EXPECT_GT(compared, 9000) << "frame " << j;
    }
}

TEST(FilmFrames, EachFamilyTreatsBorderAndWindowForItsBlendMode) {
    for (int j = 0; j < 3; ++j) {
        const std::string n = std::to_string(j);
        const ResourcePicture normal("film_normal" + n);
        const ResourcePicture rainbow("film_rainbow" + n);
        const ResourcePicture vintage("film_vintage" + n);
        const ResourcePicture color("film_color" + n);
        // A point on the left border of every frame shape, and the middle of every window.
        const int bx = 20, by = 750, cx = 750, cy = 700;
        for (const ResourcePicture* p : {&normal, &rainbow, &vintage, &color}) {
            ASSERT_TRUE(p->loaded());
            EXPECT_EQ(p->alpha(bx, by), 255) << "frame " << j;
        }
        // Drawn with source-atop: the plain frame leaves the picture alone, the vintage one
        // only tints it.
        EXPECT_EQ(normal.alpha(cx, cy), 0);
        EXPECT_LT(vintage.alpha(cx, cy), 100);
        // Screen mode: a light border, and a dark middle that leaves the picture readable.
        EXPECT_GT(rainbow.luminance(bx, by), 0.8);
        EXPECT_LT(rainbow.luminance(cx, cy), 0.35);
        // Hard light: the middle stays near mid grey, so it casts colour without burning out.
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(color.channel(cx, cy, c), 0.5, 0.25) << "frame " << j << " channel " << c;
        }
    }
}

// Under hard light a channel at 0 or 1 gives black or full colour whatever lies below, while
// anything between lets the print show through; a bold border keeps its channels at the ends.
TEST(FilmFrames, ColourBordersArePureEnoughToHideThePrint) {
    for (int j = 0; j < 3; ++j) {
        const ResourcePicture color("film_color" + std::to_string(j));
        ASSERT_TRUE(color.loaded());
        int pure = 0;
        int sampled = 0;
        for (int t = 0; t < 1500; t += 7) {
            // The outer 20 pixels are border on every frame shape.
            for (auto [x, y] : {std::pair{t, 10}, {t, 1490}, {10, t}, {1490, t}}) {
                bool extreme = true;
                for (int c = 0; c < 3; ++c) {
                    const double v = color.channel(x, y, c);
                    extreme = extreme && (v < 0.1 || v > 0.9);
                }
                pure += extreme;
                ++sampled;
            }
        }
        EXPECT_GT(pure, sampled * 8 / 10) << "frame " << j;
    }
}

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

plist_t parseList(const std::string& name) {
    const std::string xml = readText(std::filesystem::path(MORVANE_RESOURCE_DIR) / name);
    plist_t root = nullptr;
    plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), &root);
    return root;
}

std::string stringAt(plist_t array, uint32_t index) {
    plist_t item = plist_array_get_item(array, index);
    if (item == nullptr || plist_get_node_type(item) != PLIST_STRING) {
        return "(not a string)";
    }
    char* value = nullptr;
    plist_get_string_val(item, &value);
    std::string result = value != nullptr ? value : "";
    std::free(value);
    return result;
}

TEST(DefaultLists, ConfigurationStartsOnTheFirstPagesAndPrintsAreEmpty) {
    plist_t config = parseList("config.plist");
    ASSERT_NE(config, nullptr);
    ASSERT_EQ(plist_get_node_type(config), PLIST_ARRAY);
    ASSERT_GE(plist_array_get_size(config), 9u);
    EXPECT_EQ(stringAt(config, 2), "1");
    EXPECT_EQ(stringAt(config, 8), "0");
    plist_free(config);

    plist_t prints = parseList("prints.plist");
    ASSERT_NE(prints, nullptr);
    ASSERT_EQ(plist_get_node_type(prints), PLIST_ARRAY);
    EXPECT_EQ(plist_array_get_size(prints), 0u);
    plist_free(prints);

    // The camera copies these files byte for byte, so they must be in the plain XML form.
    for (const char* name : {"config.plist", "prints.plist"}) {
        const std::string text = readText(std::filesystem::path(MORVANE_RESOURCE_DIR) / name);
        EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist", 0), 0u)
            << name;
    }
}

} // namespace
