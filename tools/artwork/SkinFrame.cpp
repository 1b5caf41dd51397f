#include "SkinArt.h"

#include "Controls.h"
#include "Skin.h"

#include <cmath>

namespace artwork {

namespace {

// Screen geometry, in points (one point is one pixel here).
constexpr double kWidth = 320;
constexpr double kHeight = 480;
constexpr double kPictureBottom = 320;
constexpr double kCameraLampX = 23, kLibraryLampX = 100, kLampY = 344;
constexpr double kShutterX = 285, kShutterY = 342;

void drawBody(Canvas& canvas, const Skin& skin, unsigned seed) {
    cairo_t* cr = canvas.cr();
    cairo_rectangle(cr, 0, kPictureBottom, kWidth, kHeight - kPictureBottom);
    fillVertical(cr, kPictureBottom, kHeight, skin.bodyTop, skin.bodyBottom);
    cairo_new_path(cr);
    applyTexture(canvas, skin, static_cast<int>(kPictureBottom), static_cast<int>(kHeight), seed);

    // The lower rim of the picture window: a dark gap, then the body's rounded top catching
    // the light.
    cairo_rectangle(cr, 0, kPictureBottom, kWidth, 2);
    setColor(cr, {0.02, 0.02, 0.02, 0.92});
    cairo_fill(cr);
    cairo_rectangle(cr, 0, kPictureBottom + 2, kWidth, 5);
    cairo_pattern_t* lip =
        cairo_pattern_create_linear(0, kPictureBottom + 2, 0, kPictureBottom + 7);
    addStop(lip, 0, {1, 1, 1, 0.30});
    addStop(lip, 1, {1, 1, 1, 0});
    cairo_set_source(cr, lip);
    cairo_fill(cr);
    cairo_pattern_destroy(lip);
    // The bottom edge turns away from the light.
    cairo_rectangle(cr, 0, kHeight - 10, kWidth, 10);
    cairo_pattern_t* foot = cairo_pattern_create_linear(0, kHeight - 10, 0, kHeight);
    addStop(foot, 0, {0, 0, 0, 0});
    addStop(foot, 1, {0, 0, 0, 0.25});
    cairo_set_source(cr, foot);
    cairo_fill(cr);
    cairo_pattern_destroy(foot);
}

// A panel sunk into the body: plate colour, an inner shadow along its top, and a lit lower
// edge where the body turns back toward the light.
void drawRecess(cairo_t* cr, const Skin& skin, double x, double y, double w, double h, double r) {
    roundedRect(cr, x, y + 1, w, h, r);
    setColor(cr, {1, 1, 1, 0.22});
    cairo_fill(cr);
    if (skin.rim.a > 0) {
        roundedRect(cr, x - 1, y - 1, w + 2, h + 2, r + 1);
        cairo_pattern_t* rim = cairo_pattern_create_linear(0, y - 1, 0, y + h + 1);
        addStop(rim, 0, withAlpha(skin.rim, skin.rim.a * 0.5));
        addStop(rim, 1, skin.rim);
        cairo_set_source(cr, rim);
        cairo_fill(cr);
        cairo_pattern_destroy(rim);
    }
    roundedRect(cr, x, y, w, h, r);
    fillVertical(cr, y, y + h, shade(skin.plate, 0.04), shade(skin.plate, -0.25));
    innerShadow(cr, 3, {0, 0, 0, 0.55});
}

void drawControlRow(cairo_t* cr, const Skin& skin) {
    // The mode plate under the camera button (5..85) and the library button (85..210).
    drawRecess(cr, skin, 5, 326, 205, 34, 9);
    cairo_move_to(cr, 85, 329);
    cairo_line_to(cr, 85, 357);
    cairo_set_line_width(cr, 1);
    setColor(cr, {0, 0, 0, 0.6});
    cairo_stroke(cr);
    cairo_move_to(cr, 86, 329);
    cairo_line_to(cr, 86, 357);
    setColor(cr, {1, 1, 1, 0.08});
    cairo_stroke(cr);

    drawLampSocket(cr, skin, kCameraLampX, kLampY);
    drawLampSocket(cr, skin, kLibraryLampX, kLampY);
    drawCameraGlyph(cr, skin.inkOnPlate, 59, 345);
    drawPhotosGlyph(cr, skin.inkOnPlate, shade(skin.plate, -0.2), 158, 344);

    drawMeterEye(cr, skin, 230, 343);
    drawShutterRelease(cr, skin, kShutterX, kShutterY);
}

void drawPrintSlot(cairo_t* cr, const Skin& skin) {
    // The print (x 35..285) comes out here and slides down over the category window.
    drawRecess(cr, skin, 22, 363, 276, 10, 5);
    roundedRect(cr, 30, 365, 260, 4, 2);
    fillVertical(cr, 365, 369, {0, 0, 0, 1}, {0.10, 0.10, 0.10, 1});
    cairo_new_path(cr);
    // The lower lip of the mouth catches a little light.
    cairo_move_to(cr, 32, 369.5);
    cairo_line_to(cr, 288, 369.5);
    cairo_set_line_width(cr, 1);
    setColor(cr, {1, 1, 1, 0.12});
    cairo_stroke(cr);
}

void drawCategoryWindow(cairo_t* cr, const Skin& skin) {
    // The strip's pages fill (27, 382, 270, 50); the bezel frames them.
    drawRecess(cr, skin, 21, 376, 282, 62, 8);
    roundedRect(cr, 26, 381, 272, 52, 2.5);
    setColor(cr, {0, 0, 0, 1});
    cairo_fill(cr);
    // Chevrons either side say the strip swipes.
    cairo_set_line_width(cr, 1.6);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    setColor(cr, withAlpha(skin.ink, 0.55));
    cairo_move_to(cr, 13, 401);
    cairo_line_to(cr, 9, 407);
    cairo_line_to(cr, 13, 413);
    cairo_stroke(cr);
    cairo_move_to(cr, 308, 401);
    cairo_line_to(cr, 312, 407);
    cairo_line_to(cr, 308, 413);
    cairo_stroke(cr);
}

void drawBottomBand(cairo_t* cr, const Skin& skin, const Fonts& fonts) {
    // The maker's name, engraved: a light line under dark lettering.
    setColor(cr, {1, 1, 1, skin.texture == Texture::Plastic ? 0.7 : 0.12});
    drawText(cr, fonts.brand(), 17, "Morvane", 27, 468.8, Align::Left);
    setColor(cr, skin.ink);
    drawText(cr, fonts.brand(), 17, "Morvane", 27, 468, Align::Left);

    // The model line, small and spaced, after the name.
    const double nameEnd = 27 + textWidth(cr, fonts.brand(), 17, "Morvane");
    setColor(cr, withAlpha(skin.ink, 0.7));
    drawText(cr, fonts.sansBold(), 6.5, "INSTANT", nameEnd + 5, 468, Align::Left, 1.2);

    // The tab that opens the recent prints.
    const double tabX = 168, tabY = 450, tabW = 128, tabH = 24;
    drawRecess(cr, skin, tabX, tabY, tabW, tabH, 12);
    drawPrintStackGlyph(cr, skin.inkOnPlate, tabX + 17, tabY + 12.5);
    setColor(cr, skin.inkOnPlate);
    drawText(cr, fonts.sansBold(), 8.5, "RECENT PRINTS", tabX + 30, tabY + 15.5, Align::Left, 0.6);
}

} // namespace

Canvas drawSkinFrame(int index, const Fonts& fonts) {
    const Skin& skin = skinAt(index);
    Canvas canvas(static_cast<int>(kWidth), static_cast<int>(kHeight));
    drawBody(canvas, skin, 40u + static_cast<unsigned>(index));
    cairo_t* cr = canvas.cr();
    // Nothing may spill into the picture area, not even a soft shadow.
    cairo_rectangle(cr, 0, kPictureBottom, kWidth, kHeight - kPictureBottom);
    cairo_clip(cr);
    drawControlRow(cr, skin);
    drawPrintSlot(cr, skin);
    drawCategoryWindow(cr, skin);
    drawBottomBand(cr, skin, fonts);
    return canvas;
}

} // namespace artwork
