#include "platform/graphics/BilinearRows.h"

#include "platform/graphics/VectorCode.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

constexpr int kWeightBits = 7;
constexpr int kWeightOne = 1 << kWeightBits;

int wholePart(std::int32_t fixed) {
    return fixed >> 16;
}

int weightOf(std::int32_t fixed) {
    return (fixed >> (16 - kWeightBits)) & (kWeightOne - 1);
}

typedef std::uint8_t Bytes16 __attribute__((vector_size(16)));
typedef std::uint16_t Halves16 __attribute__((vector_size(32)));
typedef std::uint16_t Halves8 __attribute__((vector_size(16)));

#if defined(__clang__)
#define MORVANE_HALF_SHUFFLE(a, ...) __builtin_shufflevector(a, a, __VA_ARGS__)
#else
#define MORVANE_HALF_SHUFFLE(a, ...) __builtin_shuffle(a, Halves16{__VA_ARGS__})
#endif

// mixed[i] = bytes[left]·(128 − w) + bytes[left + 1]·w for each channel of count device
// pixels, exactly (at most 255 · 128). A pixel's two neighbours lie side by side, so one
// load takes both; two pixels at a time, their halves added.
MORVANE_VECTOR_CLONES void mixAcross(std::uint16_t* __restrict mixed,
                                     const std::uint8_t* __restrict bytes,
                                     const std::int32_t* __restrict left,
                                     const Halves8* __restrict weights, int count) {
    int i = 0;
    for (; i + 2 <= count; i += 2) {
        std::uint64_t pair[2];
        std::memcpy(&pair[0], bytes + std::size_t(left[i]) * 4, 8);
        std::memcpy(&pair[1], bytes + std::size_t(left[i + 1]) * 4, 8);
        Bytes16 b;
        std::memcpy(&b, pair, sizeof b);
        Halves16 w;
        std::memcpy(&w, weights + i, sizeof w);
        const Halves16 products = __builtin_convertvector(b, Halves16) * w;
        const Halves16 sums = products + MORVANE_HALF_SHUFFLE(products, 4, 5, 6, 7, 0, 0, 0, 0, 12,
                                                              13, 14, 15, 0, 0, 0, 0);
        const Halves8 both = {sums[0], sums[1], sums[2],  sums[3],
                              sums[8], sums[9], sums[10], sums[11]};
        std::memcpy(mixed + std::size_t(i) * 4, &both, sizeof both);
    }
    for (; i < count; ++i)
        for (int c = 0; c < 4; ++c)
            mixed[std::size_t(i) * 4 + c] =
                std::uint16_t(bytes[std::size_t(left[i]) * 4 + c] * weights[i][c] +
                              bytes[std::size_t(left[i]) * 4 + 4 + c] * weights[i][4 + c]);
}

// Loops over fixed-size chunks, which the compiler vectorises where it would not a loop of
// any length.
constexpr int kChunk = 64;

// out[k] = (top[k]·(128 − w) + bottom[k]·w) >> 14 for count channels.
MORVANE_VECTOR_CLONES void mixDown(std::uint8_t* __restrict out,
                                   const std::uint16_t* __restrict top,
                                   const std::uint16_t* __restrict bottom, int count, int w) {
    const std::uint32_t wt = std::uint32_t(kWeightOne - w), wb = std::uint32_t(w);
    int k = 0;
    for (; k + kChunk <= count; k += kChunk)
        for (int n = 0; n < kChunk; ++n)
            out[k + n] = std::uint8_t((top[k + n] * wt + bottom[k + n] * wb) >> (2 * kWeightBits));
    for (; k < count; ++k)
        out[k] = std::uint8_t((top[k] * wt + bottom[k] * wb) >> (2 * kWeightBits));
}

} // namespace

BilinearRows::BilinearRows(const ConstBitmapView& picture, const BilinearGrid& grid, int width)
    : picture_(picture), grid_(grid), width_(width) {
    const int first = wholePart(grid.x0Fixed);
    const int last =
        wholePart(std::int32_t(grid.x0Fixed + std::int64_t{grid.xStep} * (width - 1))) + 1;
    firstColumn_ = first;
    columnCount_ = last - first + 1;
    left_.resize(std::size_t(width));
    weights_.resize(std::size_t(width));
    for (int i = 0; i < width; ++i) {
        const auto x = std::int32_t(grid.x0Fixed + std::int64_t{grid.xStep} * i);
        left_[std::size_t(i)] = wholePart(x) - first;
        const auto w = std::uint16_t(weightOf(x)), rest = std::uint16_t(kWeightOne - w);
        weights_[std::size_t(i)] = Weights{rest, rest, rest, rest, w, w, w, w};
    }
    if (first < 0 || last >= picture.width)
        padded_.resize(std::size_t(columnCount_));
    for (auto& mixed : mixed_)
        mixed.resize(std::size_t(width) * 4);
    clear_.assign(std::size_t(width) * 4, 0);
    out_.resize(std::size_t(width));
}

const std::uint16_t* BilinearRows::across(int v, int keep) {
    if (v < 0 || v >= picture_.height) {
        if (grid_.outsideIsClear)
            return clear_.data();
        v = std::clamp(v, 0, picture_.height - 1);
    }
    for (int slot = 0; slot < 2; ++slot)
        if (mixedRow_[slot] == v)
            return mixed_[slot].data();
    // The slot that does not hold the other row this device row needs.
    const int slot = mixedRow_[0] == keep ? 1 : 0;
    mixedRow_[slot] = v;
    const std::uint32_t* row = picture_.row(v) + firstColumn_;
    if (!padded_.empty()) {
        // The run leaves the picture: edge pixels repeat beyond it, or nothing is there.
        for (int c = 0; c < columnCount_; ++c) {
            const int x = firstColumn_ + c;
            padded_[std::size_t(c)] = x >= 0 && x < picture_.width ? picture_.row(v)[x]
                                      : grid_.outsideIsClear
                                          ? 0u
                                          : picture_.row(v)[std::clamp(x, 0, picture_.width - 1)];
        }
        row = padded_.data();
    }
    mixAcross(mixed_[slot].data(), reinterpret_cast<const std::uint8_t*>(row), left_.data(),
              weights_.data(), width_);
    return mixed_[slot].data();
}

const std::uint32_t* BilinearRows::row(int j) {
    row(j, out_.data());
    return out_.data();
}

void BilinearRows::row(int j, std::uint32_t* out) {
    const auto y = std::int32_t(grid_.y0Fixed + std::int64_t{grid_.yStep} * j);
    const int v = wholePart(y);
    const int last = picture_.height - 1;
    const std::uint16_t* top = across(v, std::clamp(v + 1, 0, last));
    const std::uint16_t* bottom = across(v + 1, std::clamp(v, 0, last));
    mixDown(reinterpret_cast<std::uint8_t*>(out), top, bottom, width_ * 4, weightOf(y));
}

} // namespace platform
