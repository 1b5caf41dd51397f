#include "platform/graphics/PixelTiles.h"

#include "platform/graphics/Image.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace platform {

namespace {

const std::uint32_t* row(const Image& picture, int y) {
    return reinterpret_cast<const std::uint32_t*>(picture.data() +
                                                  std::ptrdiff_t(y) * picture.stride());
}

// Joins the tiles `marks(y0, y1, marked)` sets in each band of rows.
template <typename Marks>
std::vector<Rect> join(int width, int height, int tile, Marks marks) {
    const int columns = (width + tile - 1) / tile;
    std::vector<Rect> done, open;
    std::vector<char> marked(static_cast<std::size_t>(columns));
    for (int y0 = 0; y0 < height; y0 += tile) {
        const int y1 = std::min(height, y0 + tile);
        std::fill(marked.begin(), marked.end(), 0);
        marks(y0, y1, marked);
        std::vector<Rect> next;
        for (int tx = 0; tx < columns;) {
            if (!marked[static_cast<std::size_t>(tx)]) {
                ++tx;
                continue;
            }
            const int start = tx;
            while (tx < columns && marked[static_cast<std::size_t>(tx)])
                ++tx;
            const double x0 = start * tile, x1 = std::min(width, tx * tile);
            const auto above = std::find_if(open.begin(), open.end(), [&](const Rect& r) {
                return r.minX() == x0 && r.maxX() == x1;
            });
            if (above != open.end()) {
                next.push_back({above->origin, Size{above->width(), y1 - above->minY()}});
                open.erase(above);
            } else {
                next.push_back({x0, double(y0), x1 - x0, double(y1 - y0)});
            }
        }
        done.insert(done.end(), open.begin(), open.end());
        open = std::move(next);
    }
    done.insert(done.end(), open.begin(), open.end());
    return done;
}

} // namespace

std::vector<Rect> PixelTiles::inked(const Image& picture, int tile) {
    const int w = picture.pixelWidth(), h = picture.pixelHeight();
    if (!picture.data() || w <= 0 || h <= 0 || tile <= 0)
        return {};
    return join(w, h, tile, [&](int y0, int y1, std::vector<char>& marked) {
        for (int y = y0; y < y1; ++y) {
            const std::uint32_t* pixels = row(picture, y);
            for (int x = 0; x < w; ++x)
                if (pixels[x] >> 24)
                    marked[static_cast<std::size_t>(x / tile)] = 1;
        }
    });
}

std::vector<Rect> PixelTiles::changed(const Image& before, const Image& after, int tile) {
    const int w = after.pixelWidth(), h = after.pixelHeight();
    if (!after.data() || w <= 0 || h <= 0 || tile <= 0)
        return {};
    if (!before.data() || before.pixelWidth() != w || before.pixelHeight() != h)
        return {Rect{0, 0, double(w), double(h)}};
    const std::size_t bytes = std::size_t(tile) * 4;
    const std::size_t lastBytes = std::size_t(w - (w - 1) / tile * tile) * 4;
    return join(w, h, tile, [&](int y0, int y1, std::vector<char>& marked) {
        const std::size_t last = marked.size() - 1;
        for (int y = y0; y < y1; ++y) {
            const std::uint32_t* a = row(before, y);
            const std::uint32_t* b = row(after, y);
            for (std::size_t t = 0; t < marked.size(); ++t)
                if (!marked[t] &&
                    std::memcmp(a + t * tile, b + t * tile, t == last ? lastBytes : bytes) != 0)
                    marked[t] = 1;
        }
    });
}

double PixelTiles::share(const std::vector<Rect>& rects, int width, int height) {
    if (width <= 0 || height <= 0)
        return 0;
    double area = 0;
    for (const Rect& r : rects)
        area += r.area();
    return area / (double(width) * height);
}

} // namespace platform
