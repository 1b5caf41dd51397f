#include "platform/graphics/FastDraw.h"

#include "platform/graphics/AreaAverage.h"
#include "platform/graphics/BilinearGrid.h"
#include "platform/graphics/BilinearRows.h"
#include "platform/graphics/BitmapMapping.h"
#include "platform/graphics/BitmapView.h"
#include "platform/graphics/BlendTables.h"
#include "platform/graphics/CairoBatch.h"
#include "platform/graphics/CairoOperator.h"
#include "platform/graphics/FastBlend.h"
#include "platform/graphics/HslBlend.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/TurnedRows.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace platform {

namespace {

// Below this many pixels a fill's table costs more than it saves.
constexpr std::int64_t kMinFillPixels = 4096;
// Cairo's smooth filter starts averaging areas at this reduction; below it a draw stays
// Cairo's.
constexpr double kShrinkThreshold = 4.0 / 3.0;
constexpr double kIntegerTolerance = 1e-6;
// Cairo places edges on a 1/256 pixel grid, so an edge this close to a pixel boundary is on
// it for Cairo too (the camera's turn, a hair off three quarters, leaves its edges 3e-5 off).
constexpr double kEdgeTolerance = 1.0 / 1024;

std::optional<int> wholeNumber(double v, double tolerance = kIntegerTolerance) {
    const double r = std::round(v);
    if (!(std::abs(v - r) <= tolerance) || std::abs(r) > 1e8)
        return std::nullopt;
    return static_cast<int>(r);
}

bool isStraight(const AffineTransform& m) {
    const double size = std::abs(m.a) + std::abs(m.b) + std::abs(m.c) + std::abs(m.d);
    return std::abs(m.b) <= kIntegerTolerance * size && std::abs(m.c) <= kIntegerTolerance * size;
}

bool isTurned(const AffineTransform& m) {
    const double size = std::abs(m.a) + std::abs(m.b) + std::abs(m.c) + std::abs(m.d);
    return std::abs(m.a) <= kIntegerTolerance * size && std::abs(m.d) <= kIntegerTolerance * size;
}

// The device pixels a user rectangle covers within the drawable area, when it covers each of
// them wholly or not at all: edges inside the area must lie on pixel boundaries, edges
// outside it do not matter.
std::optional<PixelBox> coveredPixels(const AffineTransform& ctm, const Rect& rect,
                                      const PixelBox& area) {
    if (!isStraight(ctm) && !isTurned(ctm))
        return std::nullopt;
    const Point p = ctm.apply({rect.minX(), rect.minY()});
    const Point q = ctm.apply({rect.maxX(), rect.maxY()});
    auto lower = [](double v, int limit) -> std::optional<int> {
        if (v <= limit)
            return limit;
        return wholeNumber(v, kEdgeTolerance);
    };
    auto upper = [](double v, int limit) -> std::optional<int> {
        if (v >= limit)
            return limit;
        return wholeNumber(v, kEdgeTolerance);
    };
    const auto x0 = lower(std::min(p.x, q.x), area.x0), x1 = upper(std::max(p.x, q.x), area.x1);
    const auto y0 = lower(std::min(p.y, q.y), area.y0), y1 = upper(std::max(p.y, q.y), area.y1);
    if (!x0 || !x1 || !y0 || !y1)
        return std::nullopt;
    return PixelBox{*x0, *y0, *x1, *y1}.intersection(area);
}

// Where drawing may reach: the surface within the clip, when the clip is one rectangle and
// nothing is redirected into a group.
std::optional<PixelBox> drawableArea(cairo_t* cr, cairo_surface_t* surface) {
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS || cairo_get_group_target(cr) != surface)
        return std::nullopt;
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_rectangle_list_t* clip = cairo_copy_clip_rectangle_list(cr);
    cairo_restore(cr);
    std::optional<PixelBox> box;
    if (clip->status == CAIRO_STATUS_SUCCESS && clip->num_rectangles == 0) {
        box = PixelBox{};
    } else if (clip->status == CAIRO_STATUS_SUCCESS && clip->num_rectangles == 1) {
        const cairo_rectangle_t& r = clip->rectangles[0];
        const auto x0 = wholeNumber(r.x), y0 = wholeNumber(r.y);
        const auto x1 = wholeNumber(r.x + r.width), y1 = wholeNumber(r.y + r.height);
        if (x0 && y0 && x1 && y1)
            box = PixelBox{*x0, *y0, *x1, *y1}.intersection(
                {0, 0, cairo_image_surface_get_width(surface),
                 cairo_image_surface_get_height(surface)});
    }
    cairo_rectangle_list_destroy(clip);
    return box;
}

void markDirty(cairo_surface_t* surface, const PixelBox& box) {
    cairo_surface_mark_dirty_rectangle(surface, box.x0, box.y0, box.width(), box.height());
}

BitmapView surfaceView(cairo_surface_t* surface, const PixelBox& box) {
    const auto stride = cairo_image_surface_get_stride(surface) / std::ptrdiff_t(4);
    auto* pixels = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface));
    return {pixels + box.y0 * stride + box.x0, box.width(), box.height(), stride};
}

// Which stored pixel each device pixel of a box shows: device (x0 + i, y0 + j) shows source
// (u0 + du·i, v0 + dv·j) when straight, (u0 + du·j, v0 + dv·i) when turned.
struct PixelMap {
    bool turned = false;
    int u0 = 0, v0 = 0;
    int du = 1, dv = 1;
};

int sign(double v) {
    return v < 0 ? -1 : 1;
}

PixelMap exactMap(const AffineTransform& deviceToPixel, const PixelBox& box) {
    const Point centre = deviceToPixel.apply({box.x0 + 0.5, box.y0 + 0.5});
    PixelMap map;
    map.turned = !isStraight(deviceToPixel);
    map.u0 = int(std::lround(centre.x - 0.5));
    map.v0 = int(std::lround(centre.y - 0.5));
    map.du = sign(map.turned ? deviceToPixel.c : deviceToPixel.a);
    map.dv = sign(map.turned ? deviceToPixel.b : deviceToPixel.d);
    return map;
}

const std::uint32_t* picturePixels(const Image& picture) {
    return reinterpret_cast<const std::uint32_t*>(picture.data());
}

// The source pixels of one device row, as one forward run: straight from the picture when
// it runs that way inside it, else gathered (edge pixels repeating outside the picture).
const std::uint32_t* sourceRow(const ConstBitmapView& source, const PixelMap& map,
                               const PixelBox& box, int y, std::vector<std::uint32_t>& buffer) {
    const int j = y - box.y0;
    const int n = box.width();
    int u = map.turned ? map.u0 + map.du * j : map.u0;
    int v = map.turned ? map.v0 : map.v0 + map.dv * j;
    const int du = map.turned ? 0 : map.du;
    const int dv = map.turned ? map.dv : 0;
    const int lastU = u + du * (n - 1), lastV = v + dv * (n - 1);
    const bool inside = std::min(u, lastU) >= 0 && std::max(u, lastU) < source.width &&
                        std::min(v, lastV) >= 0 && std::max(v, lastV) < source.height;
    if (inside && du == 1)
        return source.row(v) + u;
    buffer.resize(std::size_t(n));
    for (int i = 0; i < n; ++i, u += du, v += dv)
        buffer[std::size_t(i)] =
            source.at(std::clamp(u, 0, source.width - 1), std::clamp(v, 0, source.height - 1));
    return buffer.data();
}

// In fixed chunks, which the compiler vectorises where it would not a loop of any length.
bool isOpaque(const std::uint32_t* row, int count) {
    constexpr int kChunk = 64;
    std::uint32_t all = 0xff000000u;
    int i = 0;
    for (; i + kChunk <= count; i += kChunk) {
        std::uint32_t chunk = 0xff000000u;
        for (int k = 0; k < kChunk; ++k)
            chunk &= row[i + k];
        all &= chunk;
    }
    for (; i < count; ++i)
        all &= row[i];
    return all == 0xff000000u;
}

PixelBox wholeSurface(cairo_surface_t* surface) {
    return {0, 0, cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface)};
}

// One pixel's result of a solid fill, as Cairo paints it.
std::uint32_t filled(std::uint32_t pixel, BlendMode mode, const GridColor& color) {
    CairoBatch::paintSteps(&pixel, 1, {{cairoOperatorFor(mode), color}});
    return pixel;
}

bool isFastFillMode(BlendMode mode) {
    switch (mode) {
    case BlendMode::Multiply:
    case BlendMode::Screen:
    case BlendMode::Overlay:
    case BlendMode::Darken:
    case BlendMode::Lighten:
    case BlendMode::ColorDodge:
    case BlendMode::ColorBurn:
    case BlendMode::SoftLight:
    case BlendMode::HardLight:
    case BlendMode::Difference:
    case BlendMode::Exclusion:
    case BlendMode::Hue:
    case BlendMode::Saturation:
    case BlendMode::Color:
    case BlendMode::Luminosity:
        return true;
    default:
        // Cairo already fills the Porter-Duff modes with vector code.
        return false;
    }
}

} // namespace

// A draw waiting for its pass: the picture kept alive (read pixel for pixel, or resampled
// along a bilinear grid), or its area average.
struct FastDraw::PendingDraw {
    ImageRef picture;
    AreaAverage::Pixels reduced;
    ConstBitmapView source;
    PixelMap map;
    std::optional<BilinearGrid> bilinear;
    BlendMode mode = BlendMode::Normal;
    // The one colour of the surface under the draw, not yet written.
    std::optional<std::uint32_t> backdrop;
};

namespace {

// Composites a held-back draw one row at a time. With a backdrop colour each row is filled
// with it just ahead of its blend, while the row is in the cache, instead of in a pass of its
// own.
template <typename Draw>
class RowDrawer {
public:
    // after: fills that follow the draw on every row, which the drawer may take into its own
    // work (row() then says so).
    RowDrawer(const Draw& draw, const PixelBox& box, const BlendTables* after)
        : draw_(draw), box_(box), after_(after), leftToCairo_(cairoOperatorFor(draw.mode)) {
        // Normal drawing onto nothing is the source itself.
        copy_ =
            draw.mode == BlendMode::Copy || (draw.mode == BlendMode::Normal && draw.backdrop == 0u);
        // Luminosity over one opaque colour needs no division per pixel.
        overColour_ =
            draw.mode == BlendMode::Luminosity && draw.backdrop && (*draw.backdrop >> 24) == 0xff;
        if (overColour_)
            luminosity_ = std::make_unique<HslBlend::LuminosityTable>(*draw.backdrop, after);
        if (draw.bilinear)
            bilinear_ = std::make_unique<BilinearRows>(draw.source, *draw.bilinear, box.width());
        else if (draw.map.turned)
            turned_ =
                std::make_unique<TurnedRows>(draw.source, draw.map.u0, draw.map.du, draw.map.v0,
                                             draw.map.dv, box.width(), box.height());
        // A film frame's clear window is left out of its rows, unread. Only the modes frames
        // are drawn in, which keep the destination under a clear source pixel to the bit;
        // not a plain draw, as the live picture drawn each frame would pay for the search.
        const bool keepsUnderClear =
            draw.mode == BlendMode::SourceAtop || draw.mode == BlendMode::Screen ||
            draw.mode == BlendMode::Overlay || draw.mode == BlendMode::HardLight;
        if (keepsUnderClear && !draw.bilinear && !draw.map.turned && draw.map.du == 1 &&
            draw.picture && draw.source.pixels == picturePixels(*draw.picture))
            clearRuns_ = &draw.picture->clearRuns();
    }

    // Returns true when the fills after the draw are done too.
    bool row(std::uint32_t* d, int y) {
        const int n = box_.width();
        if (bilinear_ && copy_) {
            // Resampled straight into the surface, without a row in between.
            bilinear_->row(y - box_.y0, d);
            return false;
        }
        const std::uint32_t* s = bilinear_ ? bilinear_->row(y - box_.y0)
                                 : turned_ ? turned_->row(y - box_.y0)
                                           : sourceRow(draw_.source, draw_.map, box_, y, buffer_);
        if (luminosity_ && isOpaque(s, n)) {
            luminosity_->row(d, s, n);
            return after_ != nullptr;
        }
        if (copy_) {
            std::memcpy(d, s, sizeof(std::uint32_t) * std::size_t(n));
        } else if (overColour_) {
            HslBlend::luminosityOverColour(d, s, n, *draw_.backdrop, leftToCairo_);
        } else if (draw_.mode == BlendMode::Normal && isOpaque(s, n)) {
            // An opaque row drawn normally hides whatever was under it.
            std::memcpy(d, s, sizeof(std::uint32_t) * std::size_t(n));
        } else {
            if (draw_.backdrop)
                std::fill(d, d + n, *draw_.backdrop);
            blendRow(d, s, n, y);
        }
        // Whatever comes next on this row must see the finished draw.
        leftToCairo_.flush();
        return false;
    }

private:
    // The row's source pixels under the draw's mode, but for a clear run of the picture's,
    // which is left as it is.
    void blendRow(std::uint32_t* d, const std::uint32_t* s, int n, int y) {
        if (clearRuns_) {
            const PixelMap& map = draw_.map;
            const int v = map.v0 + map.dv * (y - box_.y0);
            // The columns read are u0 .. u0 + n - 1 of stored row v, straight from the
            // picture only when all of them lie in it.
            if (v >= 0 && v < draw_.source.height && map.u0 >= 0 &&
                map.u0 + n <= draw_.source.width) {
                const Image::ClearRun run = (*clearRuns_)[std::size_t(v)];
                const int begin = std::clamp(run.begin - map.u0, 0, n);
                const int end = std::clamp(run.end - map.u0, begin, n);
                FastBlend::blendRow(d, s, begin, draw_.mode, leftToCairo_);
                FastBlend::blendRow(d + end, s + end, n - end, draw_.mode, leftToCairo_);
                return;
            }
        }
        FastBlend::blendRow(d, s, n, draw_.mode, leftToCairo_);
    }

    const Draw& draw_;
    PixelBox box_;
    const BlendTables* after_;
    const std::vector<Image::ClearRun>* clearRuns_ = nullptr;
    CairoBatch leftToCairo_;
    std::vector<std::uint32_t> buffer_;
    std::unique_ptr<TurnedRows> turned_;
    std::unique_ptr<BilinearRows> bilinear_;
    std::unique_ptr<HslBlend::LuminosityTable> luminosity_;
    bool copy_ = false;
    bool overColour_ = false;
};

} // namespace

FastDraw::FastDraw() = default;
FastDraw::~FastDraw() = default;

void FastDraw::startBlank() {
    uniform_ = 0u;
    draw_.reset();
    tables_.reset();
    next_.reset();
}

void FastDraw::runPasses(cairo_surface_t* surface, HslBlend::SolidFill* finish) {
    const std::unique_ptr<PendingDraw> draw = std::move(draw_);
    const std::optional<BlendTables> tables = std::move(tables_);
    const std::unique_ptr<PendingDraw> next = std::move(next_);
    draw_.reset();
    tables_.reset();
    next_.reset();
    if (!draw && !tables && !finish)
        return;
    cairo_surface_flush(surface);
    const BitmapView view = surfaceView(surface, region_);
    std::unique_ptr<RowDrawer<PendingDraw>> drawer;
    if (draw)
        drawer = std::make_unique<RowDrawer<PendingDraw>>(*draw, region_,
                                                          tables && !finish ? &*tables : nullptr);
    // A closing HSL fill takes the tables into its own pass.
    std::unique_ptr<CairoBatch> tableLeftovers;
    if (tables && !finish)
        tableLeftovers = std::make_unique<CairoBatch>(tables->steps());
    std::unique_ptr<RowDrawer<PendingDraw>> nextDrawer;
    if (next)
        nextDrawer = std::make_unique<RowDrawer<PendingDraw>>(*next, region_, nullptr);
    for (int y = region_.y0; y < region_.y1; ++y) {
        std::uint32_t* row = view.row(y - region_.y0);
        const bool tablesDone = drawer && drawer->row(row, y);
        if (finish)
            finish->row(row, view.width);
        else if (tables && !tablesDone)
            tables->applyRow(row, view.width, *tableLeftovers);
        if (nextDrawer) {
            // The second draw must see this row finished, the pixels left to Cairo included.
            if (tableLeftovers)
                tableLeftovers->flush();
            nextDrawer->row(row, y);
        }
    }
    tableLeftovers.reset();
    markDirty(surface, region_);
}

void FastDraw::flush(cairo_surface_t* surface) {
    if (uniform_) {
        const std::uint32_t word = *uniform_;
        uniform_.reset();
        const PixelBox whole = wholeSurface(surface);
        if (whole.isEmpty())
            return;
        cairo_surface_flush(surface);
        const BitmapView view = surfaceView(surface, whole);
        for (int y = 0; y < view.height; ++y)
            std::fill(view.row(y), view.row(y) + view.width, word);
        markDirty(surface, whole);
    }
    runPasses(surface, nullptr);
}

bool FastDraw::fillRect(const DrawTarget& target, const Rect& rect, const GridColor& color) {
    // Fills compose only with the fills after the first draw held back, never after a second.
    if (next_)
        flush(target.surface);
    std::optional<PixelBox> region;
    if (const auto area = drawableArea(target.cr, target.surface))
        region = coveredPixels(target.ctm, rect, *area);
    const bool whole = region && *region == wholeSurface(target.surface);
    // A fill over all of a one-colour surface gives one colour again, whatever the mode.
    if (whole && uniform_) {
        uniform_ = filled(*uniform_, target.mode, color);
        return true;
    }
    // An opaque colour drawn normally, or any colour copied, hides what was there, held
    // back or not.
    const bool hides = target.mode == BlendMode::Copy || (target.mode == BlendMode::Normal &&
                                                          (color.premultipliedWord >> 24) == 0xff);
    if (whole && hides) {
        draw_.reset();
        tables_.reset();
        next_.reset();
        uniform_ = color.premultipliedWord;
        return true;
    }
    if (!region || region->isEmpty() || !isFastFillMode(target.mode) ||
        std::int64_t(region->width()) * region->height() < kMinFillPixels) {
        flush(target.surface);
        return false;
    }
    std::optional<BlendTables> tables;
    if (!HslBlend::isHsl(target.mode)) {
        tables = BlendTables::make(target.mode, color);
        if (!tables) {
            flush(target.surface);
            return false;
        }
    }
    const bool follows = (draw_ || tables_) && region_ == *region;
    if (!follows) {
        flush(target.surface);
        region_ = *region;
    }
    if (!tables) {
        HslBlend::SolidFill fill(target.mode, color, tables_ ? &*tables_ : nullptr);
        runPasses(target.surface, &fill);
        return true;
    }
    if (!tables_) {
        tables_ = std::move(tables);
        return true;
    }
    if (auto both = tables_->then(*tables)) {
        tables_ = std::move(both);
        return true;
    }
    flush(target.surface);
    region_ = *region;
    tables_ = std::move(tables);
    return true;
}

bool FastDraw::drawImage(const DrawTarget& target, const Rect& rect,
                         const AffineTransform& userToPixel, const Image& image) {
    const auto area = drawableArea(target.cr, target.surface);
    const auto covered = area ? coveredPixels(target.ctm, rect, *area) : std::nullopt;
    const PixelBox region = covered.value_or(PixelBox{});
    if (target.alpha < 1 || !FastBlend::supports(target.mode) || region.isEmpty()) {
        flush(target.surface);
        return false;
    }
    auto draw = std::make_unique<PendingDraw>();
    draw->mode = target.mode;
    const AffineTransform deviceToPixel = target.ctm.inverted().concat(userToPixel);
    const ConstBitmapView picture{picturePixels(image), image.pixelWidth(), image.pixelHeight(),
                                  image.stride() / std::ptrdiff_t(4)};
    const AffineTransform& m = deviceToPixel;
    const bool turned = isTurned(m);
    // Old pixels per new pixel along the picture's own columns (u) and rows (v), and which
    // device direction runs along each.
    const double ku = turned ? m.c : m.a;
    const double kv = turned ? m.b : m.d;
    const bool shrinks = (turned || isStraight(m)) && std::abs(ku) >= 1 - kIntegerTolerance &&
                         std::abs(kv) >= 1 - kIntegerTolerance &&
                         std::max(std::abs(ku), std::abs(kv)) >= kShrinkThreshold;
    if (BitmapMapping::isPixelExact(deviceToPixel)) {
        draw->map = exactMap(deviceToPixel, region);
        draw->source = picture;
        draw->picture = image.weak_from_this().lock();
    } else if (!shrinks) {
        // Cairo's own bilinear samples, bit for bit; only where its pixel library would
        // composite them in its dedicated loops, whose rounding is the one restated here.
        if (target.mode == BlendMode::Normal || target.mode == BlendMode::Copy)
            draw->bilinear =
                BilinearGrid::forDraw(userToPixel, target.ctm, region.x0, region.y0, region.x1,
                                      region.y1, image.pixelWidth(), image.pixelHeight());
        if (!draw->bilinear) {
            flush(target.surface);
            return false;
        }
        draw->source = picture;
        draw->picture = image.weak_from_this().lock();
    } else {
        const int alongU0 = turned ? region.y0 : region.x0,
                  alongU1 = turned ? region.y1 : region.x1;
        const int alongV0 = turned ? region.x0 : region.y0,
                  alongV1 = turned ? region.x1 : region.y1;
        const AreaAverage::Axis columns{std::min(ku * alongU0, ku * alongU1) + m.tx, std::abs(ku),
                                        alongU1 - alongU0};
        const AreaAverage::Axis rows{std::min(kv * alongV0, kv * alongV1) + m.ty, std::abs(kv),
                                     alongV1 - alongV0};
        const ImageRef shared = image.weak_from_this().lock();
        if (shared) {
            draw->reduced = AreaAverage::reduceKept(shared, columns, rows);
        } else {
            auto reduced = AreaAverage::reduce(picture, columns, rows);
            if (!reduced.empty())
                draw->reduced =
                    std::make_shared<const std::vector<std::uint32_t>>(std::move(reduced));
        }
        if (!draw->reduced) {
            flush(target.surface);
            return false;
        }
        draw->source = {draw->reduced->data(), columns.count, rows.count, columns.count};
        draw->map.turned = turned;
        draw->map.du = sign(ku);
        draw->map.dv = sign(kv);
        draw->map.u0 = draw->map.du > 0 ? 0 : columns.count - 1;
        draw->map.v0 = draw->map.dv > 0 ? 0 : rows.count - 1;
    }

    // A draw over exactly the pixels of a draw (and fills) held back joins their pass, each
    // row drawn after them: it reads no pixel of the surface but its own, so nothing it
    // needs is missing (a look's result under its film frame, one pass over the print).
    if (draw_ && !next_ && region == region_ && (draw->reduced || draw->picture)) {
        next_ = std::move(draw);
        return true;
    }
    // Whatever waits comes first. A one-colour surface the draw covers is written by the
    // draw's own pass; one it covers in part must be written now.
    std::optional<std::uint32_t> backdrop;
    if (region == wholeSurface(target.surface)) {
        backdrop = uniform_;
        uniform_.reset();
    }
    flush(target.surface);
    draw->backdrop = backdrop;
    region_ = region;
    draw_ = std::move(draw);
    // A picture not held by anyone else's pointer cannot be kept for later: draw it now.
    if (!draw_->reduced && !draw_->picture)
        runPasses(target.surface, nullptr);
    return true;
}

} // namespace platform
