#include "platform/graphics/AreaAverage.h"

#include "platform/graphics/VectorCode.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

// For each new pixel along an axis: the first old pixel it touches and the share of each old
// pixel from there on, shares summing to one.
struct Taps {
    std::vector<int> first;
    std::vector<int> offsets; // into weights, count + 1 of them
    std::vector<float> weights;
};

bool usable(const AreaAverage::Axis& axis) {
    return axis.count > 0 && std::isfinite(axis.start) && std::isfinite(axis.step) &&
           axis.step >= 1 && axis.step * axis.count < 1e7;
}

Taps tapsFor(const AreaAverage::Axis& axis, int size) {
    Taps taps;
    taps.first.resize(std::size_t(axis.count));
    taps.offsets.resize(std::size_t(axis.count) + 1);
    for (int k = 0; k < axis.count; ++k) {
        const double a = axis.start + k * axis.step;
        const double b = a + axis.step;
        const int lo = int(std::floor(a));
        const int hi = int(std::ceil(b)); // exclusive
        taps.offsets[k] = int(taps.weights.size());
        // Outside the picture the edge pixel repeats, so its share grows instead.
        const int firstInside = std::clamp(lo, 0, size - 1);
        taps.first[k] = firstInside;
        const int lastInside = std::clamp(hi - 1, 0, size - 1);
        taps.weights.resize(taps.weights.size() + std::size_t(lastInside - firstInside + 1), 0.0f);
        float* w = taps.weights.data() + taps.offsets[k];
        for (int i = lo; i < hi; ++i) {
            const double overlap = std::min(b, double(i + 1)) - std::max(a, double(i));
            if (overlap > 0)
                w[std::clamp(i, 0, size - 1) - firstInside] += float(overlap / axis.step);
        }
    }
    taps.offsets[axis.count] = int(taps.weights.size());
    return taps;
}

// Bytes of a row summed into chunks of this many floats: a fixed count the compiler
// vectorises without a scalar tail of its own.
constexpr int kChunk = 64;

// sums[i] += weight · bytes[i] for i below count.
MORVANE_VECTOR_CLONES void accumulate(float* __restrict sums, const std::uint8_t* __restrict bytes,
                                      int count, float weight) {
    int i = 0;
    for (; i + kChunk <= count; i += kChunk)
        for (int k = 0; k < kChunk; ++k)
            sums[i + k] += weight * float(bytes[i + k]);
    for (; i < count; ++i)
        sums[i] += weight * float(bytes[i]);
}

} // namespace

std::vector<std::uint32_t> AreaAverage::reduce(const ConstBitmapView& source, const Axis& columns,
                                               const Axis& rows) {
    if (!source.pixels || source.width <= 0 || source.height <= 0 || !usable(columns) ||
        !usable(rows))
        return {};
    const Taps across = tapsFor(columns, source.width);
    const Taps down = tapsFor(rows, source.height);
    // Only the old columns some new pixel touches are summed down.
    const int firstColumn = across.first.front();
    const int lastColumn =
        across.first.back() + (across.offsets[columns.count] - across.offsets[columns.count - 1]);
    const int span = lastColumn - firstColumn;

    std::vector<std::uint32_t> out(std::size_t(columns.count) * std::size_t(rows.count));
    std::vector<float> sums(std::size_t(span) * 4);
    for (int r = 0; r < rows.count; ++r) {
        std::fill(sums.begin(), sums.end(), 0.0f);
        const float* w = down.weights.data() + down.offsets[r];
        const int taps = down.offsets[r + 1] - down.offsets[r];
        for (int t = 0; t < taps; ++t) {
            const auto* bytes =
                reinterpret_cast<const std::uint8_t*>(source.row(down.first[r] + t) + firstColumn);
            // Channel by channel in memory order: the channels never mix.
            accumulate(sums.data(), bytes, span * 4, w[t]);
        }
        std::uint32_t* outRow = out.data() + std::size_t(r) * std::size_t(columns.count);
        for (int c = 0; c < columns.count; ++c) {
            const float* cw = across.weights.data() + across.offsets[c];
            const int n = across.offsets[c + 1] - across.offsets[c];
            const float* s = sums.data() + std::size_t(across.first[c] - firstColumn) * 4;
            float acc[4] = {0, 0, 0, 0};
            for (int t = 0; t < n; ++t)
                for (int ch = 0; ch < 4; ++ch)
                    acc[ch] += cw[t] * s[t * 4 + ch];
            std::uint8_t pixel[4];
            for (int ch = 0; ch < 4; ++ch)
                pixel[ch] = std::uint8_t(std::clamp(acc[ch] + 0.5f, 0.0f, 255.0f));
            std::uint32_t word;
            std::memcpy(&word, pixel, 4);
            // An average of premultiplied pixels is premultiplied, but float sums may round a
            // colour a step above its alpha.
            const std::uint32_t a = word >> 24;
            outRow[c] = a << 24 | std::min((word >> 16) & 0xff, a) << 16 |
                        std::min((word >> 8) & 0xff, a) << 8 | std::min(word & 0xff, a);
        }
    }
    return out;
}

} // namespace platform
