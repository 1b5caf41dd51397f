#include "platform/graphics/AreaAverage.h"

#include "platform/graphics/VectorCode.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <list>
#include <mutex>
#include <optional>

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

// Where each byte of a pixel in memory sits in its word.
constexpr int kShiftOfByte[4] = {
    std::endian::native == std::endian::little ? 0 : 24,
    std::endian::native == std::endian::little ? 8 : 16,
    std::endian::native == std::endian::little ? 16 : 8,
    std::endian::native == std::endian::little ? 24 : 0,
};

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

typedef float Floats4 __attribute__((vector_size(16)));
typedef std::int32_t Ints4 __attribute__((vector_size(16)));

// One new row from the column sums: each new pixel the weighted sum of the old pixels across
// it, the four channels of a pixel side by side in one vector.
MORVANE_VECTOR_CLONES void averageAcross(const Taps& across, const float* sums, int firstColumn,
                                         int count, std::uint32_t* out) {
    for (int c = 0; c < count; ++c) {
        const float* w = across.weights.data() + across.offsets[c];
        const int n = across.offsets[c + 1] - across.offsets[c];
        const float* s = sums + std::size_t(across.first[c] - firstColumn) * 4;
        Floats4 acc = {0, 0, 0, 0};
        for (int t = 0; t < n; ++t) {
            Floats4 v;
            std::memcpy(&v, s + t * 4, sizeof v);
            acc += w[t] * v;
        }
        acc += 0.5f;
        acc = acc < 0.0f ? Floats4{0, 0, 0, 0} : acc;
        acc = acc > 255.0f ? Floats4{255, 255, 255, 255} : acc;
        const Ints4 bytes = __builtin_convertvector(acc, Ints4);
        // Put together in a register: bytes stored one by one and read back as a word stall
        // the processor.
        std::uint32_t word = 0;
        for (int ch = 0; ch < 4; ++ch)
            word |= std::uint32_t(bytes[ch]) << kShiftOfByte[ch];
        // An average of premultiplied pixels is premultiplied, but float sums may round a
        // colour a step above its alpha.
        const std::uint32_t a = word >> 24;
        out[c] = a << 24 | std::min((word >> 16) & 0xff, a) << 16 |
                 std::min((word >> 8) & 0xff, a) << 8 | std::min(word & 0xff, a);
    }
}

// Whole old pixels per new pixel along an axis, when that is what the axis is to within a
// thousandth of a pixel over its whole length (the camera's turn is a hair off a quarter).
std::optional<int> wholeStep(const AreaAverage::Axis& axis, int size) {
    const double step = std::round(axis.step), start = std::round(axis.start);
    const double drift = std::abs(axis.step - step) * axis.count + std::abs(axis.start - start);
    if (!(drift <= 1e-3) || start < 0 || start + step * axis.count > size)
        return std::nullopt;
    return int(step);
}

// sums[i] += bytes[i], or = when first; the sums stay below 65536 for up to 257 rows.
MORVANE_VECTOR_CLONES void addBytes(std::uint16_t* __restrict sums,
                                    const std::uint8_t* __restrict bytes, int count, bool first) {
    int i = 0;
    if (first) {
        for (; i + kChunk <= count; i += kChunk)
            for (int k = 0; k < kChunk; ++k)
                sums[i + k] = bytes[i + k];
        for (; i < count; ++i)
            sums[i] = bytes[i];
        return;
    }
    for (; i + kChunk <= count; i += kChunk)
        for (int k = 0; k < kChunk; ++k)
            sums[i + k] = std::uint16_t(sums[i + k] + bytes[i + k]);
    for (; i < count; ++i)
        sums[i] = std::uint16_t(sums[i] + bytes[i]);
}

// The block sums of one new row: blocks[c·4 + ch] = Σ sums[(c·kx + t)·4 + ch] for t < kx. The
// shrink by two, the common one, gets a loop of its own the compiler can vectorise.
MORVANE_VECTOR_CLONES void sumAcross(const std::uint16_t* __restrict sums, int kx, int columns,
                                     std::uint16_t* __restrict blocks) {
    if (kx == 2) {
        // A pixel's four lanes as one 64-bit word, two words added as one: no lane can carry
        // into the next, a block's sum staying below 65536.
        for (int c = 0; c < columns; ++c) {
            std::uint64_t left, right;
            std::memcpy(&left, sums + c * 8, sizeof left);
            std::memcpy(&right, sums + c * 8 + 4, sizeof right);
            const std::uint64_t block = left + right;
            std::memcpy(blocks + c * 4, &block, sizeof block);
        }
        return;
    }
    for (int c = 0; c < columns; ++c)
        for (int ch = 0; ch < 4; ++ch) {
            std::uint16_t s = 0;
            for (int t = 0; t < kx; ++t)
                s = std::uint16_t(s + sums[(c * kx + t) * 4 + ch]);
            blocks[c * 4 + ch] = s;
        }
}

// out[i] = ⌊(blocks[i] + half) · inverse⌋: the block sum divided by the block's size and
// rounded to the nearest, halves up. With inverse the block size's reciprocal rounded up in
// float this is exact for every sum a block of at most 256 pixels can have: a quotient just
// below a whole number falls short of it by at least 1/65536 of it, far above float's error.
MORVANE_VECTOR_CLONES void divideRounded(const std::uint16_t* __restrict blocks, int count,
                                         float half, float inverse, std::uint8_t* __restrict out) {
    int i = 0;
    for (; i + kChunk <= count; i += kChunk)
        for (int k = 0; k < kChunk; ++k)
            out[i + k] = std::uint8_t(int((float(blocks[i + k]) + half) * inverse));
    for (; i < count; ++i)
        out[i] = std::uint8_t(int((float(blocks[i]) + half) * inverse));
}

// The usual shrinks (by 2, 3 or 6 on each axis) in integers: each new pixel is the sum of a
// whole block of old ones divided by the block's size, rounded to the nearest, which is
// exact and several times as fast as weighing every old pixel in floats.
std::vector<std::uint32_t> reduceByBlocks(const ConstBitmapView& source, int x0, int kx,
                                          int columns, int y0, int ky, int rows) {
    const int blockSize = kx * ky;
    const float half = float(blockSize / 2);
    const float inverse = std::nextafter(1.0f / float(blockSize), 2.0f);
    const int span = columns * kx;
    std::vector<std::uint16_t> sums(static_cast<std::size_t>(span) * 4);
    std::vector<std::uint16_t> blocks(static_cast<std::size_t>(columns) * 4);
    std::vector<std::uint32_t> out(std::size_t(columns) * std::size_t(rows));
    for (int r = 0; r < rows; ++r) {
        for (int t = 0; t < ky; ++t)
            addBytes(sums.data(),
                     reinterpret_cast<const std::uint8_t*>(source.row(y0 + r * ky + t) + x0),
                     span * 4, t == 0);
        sumAcross(sums.data(), kx, columns, blocks.data());
        // Channels stay in memory order throughout, so bytes land right on either byte order.
        divideRounded(blocks.data(), columns * 4, half, inverse,
                      reinterpret_cast<std::uint8_t*>(out.data() + std::size_t(r) * columns));
    }
    return out;
}

} // namespace

std::vector<std::uint32_t> AreaAverage::reduce(const ConstBitmapView& source, const Axis& columns,
                                               const Axis& rows) {
    if (!source.pixels || source.width <= 0 || source.height <= 0 || !usable(columns) ||
        !usable(rows))
        return {};
    const auto kx = wholeStep(columns, source.width), ky = wholeStep(rows, source.height);
    if (kx && ky && *kx * *ky <= 256)
        return reduceByBlocks(source, int(std::round(columns.start)), *kx, columns.count,
                              int(std::round(rows.start)), *ky, rows.count);
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
        averageAcross(across, sums.data(), firstColumn, columns.count,
                      out.data() + std::size_t(r) * std::size_t(columns.count));
    }
    return out;
}

namespace {

class KeptReductions {
public:
    AreaAverage::Pixels find(const Image* picture, const AreaAverage::Axis& columns,
                             const AreaAverage::Axis& rows) {
        std::lock_guard lock(mutex_);
        for (auto it = kept_.begin(); it != kept_.end(); ++it) {
            // An address alone could be a new picture's where an old one died.
            if (it->identity == picture && !it->picture.expired() && it->columns == columns &&
                it->rows == rows) {
                kept_.splice(kept_.begin(), kept_, it);
                return it->pixels;
            }
        }
        return nullptr;
    }

    void keep(const ImageRef& picture, const AreaAverage::Axis& columns,
              const AreaAverage::Axis& rows, AreaAverage::Pixels pixels) {
        std::lock_guard lock(mutex_);
        kept_.push_front({picture, picture.get(), columns, rows, std::move(pixels)});
        if (kept_.size() > kMostKept)
            kept_.pop_back();
    }

private:
    // One print at one size shrinks its square, its film frame and itself: the frame
    // survives from print to print.
    static constexpr std::size_t kMostKept = 4;

    struct Entry {
        std::weak_ptr<const Image> picture;
        const Image* identity;
        AreaAverage::Axis columns, rows;
        AreaAverage::Pixels pixels;
    };
    std::mutex mutex_;
    std::list<Entry> kept_; // most recently used first
};

// Never destroyed, as reductions may be asked for while the process exits.
KeptReductions& keptReductions() {
    static KeptReductions* const instance = new KeptReductions;
    return *instance;
}

} // namespace

AreaAverage::Pixels AreaAverage::reduceKept(const ImageRef& picture, const Axis& columns,
                                            const Axis& rows) {
    if (!picture)
        return nullptr;
    if (Pixels kept = keptReductions().find(picture.get(), columns, rows))
        return kept;
    const ConstBitmapView view{reinterpret_cast<const std::uint32_t*>(picture->data()),
                               picture->pixelWidth(), picture->pixelHeight(),
                               picture->stride() / std::ptrdiff_t(4)};
    auto pixels = std::make_shared<const std::vector<std::uint32_t>>(reduce(view, columns, rows));
    if (pixels->empty())
        return nullptr;
    keptReductions().keep(picture, columns, rows, pixels);
    return pixels;
}

} // namespace platform
