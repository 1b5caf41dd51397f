#include "platform/camera/SceneCameraSource.h"

#include "platform/camera/ScenePainter.h"
#include "platform/camera/SceneSprite.h"
#include "platform/graphics/SurfacePool.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>

namespace platform {

namespace {

cairo_t* sceneContext(cairo_surface_t* surface, int width, int height) {
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, width / ScenePainter::kWidth, height / ScenePainter::kHeight);
    return cr;
}

// Time snapped to the frame steps, so that "the same time" means the same frame.
double snapped(double t) {
    if (!std::isfinite(t))
        return 0;
    return std::floor(t * SceneCameraSource::kFramesPerSecond) /
           SceneCameraSource::kFramesPerSecond;
}

} // namespace

// The sky and the land never move: they are painted once per size and then only composited,
// which keeps a preview frame to a few milliseconds. The land is clear above the hills and
// opaque from the meadow down, so each frame composites it only over the rows between, copies
// it below, and copies the sky only where the land leaves it to be seen: the same pixels for
// a fraction of the memory traffic.
struct SceneCameraSource::Layers {
    cairo_surface_t* sky = nullptr;
    cairo_surface_t* land = nullptr;
    int landFrom = 0;   // the first row the land paints at all
    int opaqueFrom = 0; // the first row from which the land covers everything below
    // The sun, clouds and balloon: most of what a frame would draw, and the same shapes in
    // every frame.
    std::array<std::unique_ptr<SceneSprite>, ScenePainter::kSkyPartCount> sprites;

    Layers(int width, int height) {
        sky = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
        cairo_t* cr = sceneContext(sky, width, height);
        ScenePainter::paintSky(cr);
        cairo_destroy(cr);
        land = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
        cr = sceneContext(land, width, height);
        ScenePainter::paintLand(cr);
        cairo_destroy(cr);
        cairo_surface_flush(land);
        findLandRows(width, height);
        for (int part = 0; part < ScenePainter::kSkyPartCount; ++part)
            sprites[std::size_t(part)] = std::make_unique<SceneSprite>(
                ScenePainter::SkyPart(part), width / ScenePainter::kWidth,
                height / ScenePainter::kHeight);
    }
    ~Layers() {
        cairo_surface_destroy(sky);
        cairo_surface_destroy(land);
    }
    Layers(const Layers&) = delete;
    Layers& operator=(const Layers&) = delete;

private:
    void findLandRows(int width, int height) {
        const unsigned char* data = cairo_image_surface_get_data(land);
        const int stride = cairo_image_surface_get_stride(land);
        auto alphas = [&](int y, auto test) {
            const auto* row =
                reinterpret_cast<const std::uint32_t*>(data + std::ptrdiff_t(y) * stride);
            return std::all_of(row, row + width, [&](std::uint32_t p) { return test(p >> 24); });
        };
        landFrom = 0;
        while (landFrom < height && alphas(landFrom, [](std::uint32_t a) { return a == 0; }))
            ++landFrom;
        opaqueFrom = height;
        while (opaqueFrom > landFrom &&
               alphas(opaqueFrom - 1, [](std::uint32_t a) { return a == 255; }))
            --opaqueFrom;
    }
};

SceneCameraSource::SceneCameraSource() = default;
SceneCameraSource::~SceneCameraSource() = default;

ImageRef SceneCameraSource::frame(double now) {
    const double t = snapped(now);
    std::lock_guard lock(mutex_);
    if (lastFrame_ && t == lastStep_)
        return lastFrame_;
    if (!layers_)
        layers_ = std::make_unique<Layers>(kPreviewWidth, kPreviewHeight);

    // Not cleared: the sky is copied over every pixel first. A frame a few dozen times a
    // second reuses the memory of the frames it replaces.
    cairo_surface_t* surface = SurfacePool::make(kPreviewWidth, kPreviewHeight, false).release();
    if (!surface)
        return lastFrame_;
    const Layers& layers = *layers_;
    cairo_t* cr = cairo_create(surface);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, layers.sky, 0, 0);
    cairo_rectangle(cr, 0, 0, kPreviewWidth, layers.opaqueFrom);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_save(cr);
    cairo_scale(cr, kPreviewWidth / ScenePainter::kWidth, kPreviewHeight / ScenePainter::kHeight);
    ScenePainter::paintMovingSky(cr, t, [&](ScenePainter::SkyPart part, ScenePainter::Place at) {
        cairo_save(cr);
        cairo_identity_matrix(cr);
        layers.sprites[std::size_t(part)]->paint(cr, at);
        cairo_restore(cr);
    });
    cairo_restore(cr);
    cairo_set_source_surface(cr, layers.land, 0, 0);
    cairo_rectangle(cr, 0, layers.landFrom, kPreviewWidth, layers.opaqueFrom - layers.landFrom);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_rectangle(cr, 0, layers.opaqueFrom, kPreviewWidth, kPreviewHeight - layers.opaqueFrom);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_scale(cr, kPreviewWidth / ScenePainter::kWidth, kPreviewHeight / ScenePainter::kHeight);
    ScenePainter::paintMovingLand(cr, t);
    cairo_destroy(cr);
    cairo_surface_flush(surface);

    lastFrame_ = Image::fromSurface(surface);
    lastStep_ = t;
    return lastFrame_;
}

ImageRef SceneCameraSource::stillFrame(double now) {
    return render(kStillWidth, kStillHeight, snapped(now));
}

std::uint64_t SceneCameraSource::frameCounter() const {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(std::chrono::duration<double>(since).count() *
                                      kFramesPerSecond);
}

double SceneCameraSource::secondsToNextFrame() const {
    const double steps =
        std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count() *
        kFramesPerSecond;
    return (std::floor(steps) + 1 - steps) / kFramesPerSecond;
}

ImageRef SceneCameraSource::render(int pixelWidth, int pixelHeight, double t) {
    if (pixelWidth < 1 || pixelHeight < 1 ||
        static_cast<std::int64_t>(pixelWidth) * pixelHeight > Image::kMaxPixels)
        return nullptr;
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixelWidth, pixelHeight);
    cairo_t* cr = sceneContext(surface, pixelWidth, pixelHeight);
    const double step = snapped(t);
    ScenePainter::paintSky(cr);
    ScenePainter::paintMovingSky(cr, step);
    ScenePainter::paintLand(cr);
    ScenePainter::paintMovingLand(cr, step);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    return Image::fromSurface(surface);
}

} // namespace platform
