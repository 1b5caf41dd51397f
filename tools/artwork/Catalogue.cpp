#include "Catalogue.h"

#include "CategoryArt.h"
#include "Controls.h"
#include "FilmFrames.h"
#include "FrameShape.h"
#include "Skin.h"
#include "SkinArt.h"

namespace artwork {

namespace {

// Film frames are stretched over prints of up to 1500 pixels a side; drawn at that size they
// never have to be enlarged.
constexpr int kFilmSide = 1500;
constexpr int kScreenWidth = 320;

} // namespace

std::vector<Resource> catalogue() {
    std::vector<Resource> all;
    for (int i = 0; i < kSkinCount; ++i) {
        const std::string n = std::to_string(i);
        all.push_back({"frame" + n, kScreenWidth, 480,
                       [i](const Fonts& fonts) { return drawSkinFrame(i, fonts); }});
        all.push_back({"background" + n, kScreenWidth, kScreenWidth,
                       [i](const Fonts&) { return drawShutterPlate(i); }});
    }
    all.push_back({"lamp", 22, 22, [](const Fonts&) { return drawLamp(); }});
    for (int i = 1; i <= kCategoryCount; ++i) {
        all.push_back({"cat" + std::to_string(i), 270, 50,
                       [i](const Fonts& fonts) { return drawCategory(i, fonts); }});
    }
    for (int j = 0; j < FrameShape::kCount; ++j) {
        all.push_back({"miniFrame" + std::to_string(j), kScreenWidth, kScreenWidth,
                       [j](const Fonts&) { return drawMiniFrame(j, kScreenWidth); }});
    }
    for (FilmFamily family :
         {FilmFamily::Normal, FilmFamily::Rainbow, FilmFamily::Vintage, FilmFamily::Color}) {
        for (int j = 0; j < FrameShape::kCount; ++j) {
            all.push_back({filmFamilyStem(family) + std::to_string(j), kFilmSide, kFilmSide,
                           [family, j](const Fonts& fonts) {
                               return drawFilmFrame(family, j, kFilmSide, fonts);
                           }});
        }
    }
    all.push_back({"remove", 68, 38, [](const Fonts&) { return drawRemoveBadge(); }});
    all.push_back({"icon", 64, 64, [](const Fonts&) { return drawIcon(); }});
    return all;
}

} // namespace artwork
