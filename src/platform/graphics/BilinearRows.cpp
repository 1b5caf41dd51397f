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

// Loops over fixed-size chunks, which the compiler vectorises where it would not a loop of
// any length.
constexpr int kChunk = 64;

// mixed[i] = top[i]·(128 − w) + bottom[i]·w for count bytes, in 32-bit words so that the
// column pass multiplies them as they are; either row may be missing (transparent).
MORVANE_VECTOR_CLONES void mixRows(std::uint32_t* __restrict mixed,
                                   const std::uint8_t* __restrict top,
                                   const std::uint8_t* __restrict bottom, int count, int w) {
    const std::uint32_t wt = std::uint32_t(kWeightOne - w), wb = std::uint32_t(w);
    if (!top && !bottom) {
        std::fill(mixed, mixed + count, 0u);
        return;
    }
    if (!top || !bottom) {
        const std::uint8_t* only = top ? top : bottom;
        const std::uint32_t weight = top ? wt : wb;
        int i = 0;
        for (; i + kChunk <= count; i += kChunk)
            for (int k = 0; k < kChunk; ++k)
                mixed[i + k] = only[i + k] * weight;
        for (; i < count; ++i)
            mixed[i] = only[i] * weight;
        return;
    }
    int i = 0;
    for (; i + kChunk <= count; i += kChunk)
        for (int k = 0; k < kChunk; ++k)
            mixed[i + k] = top[i + k] * wt + bottom[i + k] * wb;
    for (; i < count; ++i)
        mixed[i] = top[i] * wt + bottom[i] * wb;
}

typedef std::uint32_t Words8 __attribute__((vector_size(32)));

#if defined(__clang__)
#define MORVANE_WORD_SHUFFLE(a, b, ...) __builtin_shufflevector(a, b, __VA_ARGS__)
#else
#define MORVANE_WORD_SHUFFLE(a, b, ...) __builtin_shuffle(a, b, Words8{__VA_ARGS__})
#endif

// out[c] = (mixed[left]·(128 − w) + mixed[left + 1]·w) >> 14 for each channel c of count
// device pixels. A pixel's two neighbours lie side by side, so one load takes both, weighed
// by one vector of both weights; two pixels' halves are added at once. The sums wait in a
// small block that stays in the first-level cache until they are cut down to bytes.
MORVANE_VECTOR_CLONES void mixColumns(std::uint8_t* __restrict out,
                                      const std::uint32_t* __restrict mixed,
                                      const std::int32_t* __restrict left,
                                      const Words8* __restrict weights, int count) {
    constexpr int kBlock = 64; // pixels
    alignas(32) std::uint32_t sums[kBlock * 4];
    for (int start = 0; start < count; start += kBlock) {
        const int n = std::min(kBlock, count - start);
        const std::int32_t* l = left + start;
        const Words8* w = weights + start;
        int i = 0;
        for (; i + 2 <= n; i += 2) {
            Words8 a, b;
            std::memcpy(&a, mixed + std::size_t(l[i]) * 4, sizeof a);
            std::memcpy(&b, mixed + std::size_t(l[i + 1]) * 4, sizeof b);
            a *= w[i];
            b *= w[i + 1];
            const Words8 sum = MORVANE_WORD_SHUFFLE(a, b, 0, 1, 2, 3, 8, 9, 10, 11) +
                               MORVANE_WORD_SHUFFLE(a, b, 4, 5, 6, 7, 12, 13, 14, 15);
            std::memcpy(sums + i * 4, &sum, sizeof sum);
        }
        for (; i < n; ++i)
            for (int c = 0; c < 4; ++c)
                sums[i * 4 + c] = mixed[std::size_t(l[i]) * 4 + c] * w[i][c] +
                                  mixed[std::size_t(l[i]) * 4 + 4 + c] * w[i][4 + c];
        std::uint8_t* bytes = out + std::size_t(start) * 4;
        if (n == kBlock) {
            for (int k = 0; k < kBlock * 4; ++k)
                bytes[k] = std::uint8_t(sums[k] >> (2 * kWeightBits));
        } else {
            for (int k = 0; k < n * 4; ++k)
                bytes[k] = std::uint8_t(sums[k] >> (2 * kWeightBits));
        }
    }
}

} // namespace

BilinearRows::BilinearRows(const ConstBitmapView& picture, const BilinearGrid& grid, int width)
    : picture_(picture), grid_(grid), width_(width) {
    left_.resize(std::size_t(width));
    weights_.resize(std::size_t(width));
    const int first = wholePart(grid.x0Fixed);
    const int last =
        wholePart(std::int32_t(grid.x0Fixed + std::int64_t{grid.xStep} * (width - 1))) + 1;
    firstColumn_ = first;
    columnCount_ = last - first + 1;
    for (int i = 0; i < width; ++i) {
        const auto x = std::int32_t(grid.x0Fixed + std::int64_t{grid.xStep} * i);
        left_[std::size_t(i)] = wholePart(x) - first;
        const auto w = std::uint32_t(weightOf(x)), rest = std::uint32_t(kWeightOne - w);
        weights_[std::size_t(i)] = Weights{rest, rest, rest, rest, w, w, w, w};
    }
    mixed_.resize(std::size_t(columnCount_) * 4);
    out_.resize(std::size_t(width));
}

const std::uint32_t* BilinearRows::row(int j) {
    const auto y = std::int32_t(grid_.y0Fixed + std::int64_t{grid_.yStep} * j);
    const int w = weightOf(y);
    auto pictureRow = [&](int v) -> const std::uint8_t* {
        if (v < 0 || v >= picture_.height) {
            if (grid_.outsideIsClear)
                return nullptr;
            v = std::clamp(v, 0, picture_.height - 1);
        }
        return reinterpret_cast<const std::uint8_t*>(picture_.row(v));
    };
    const int v = wholePart(y);
    const std::uint8_t* top = pictureRow(v);
    const std::uint8_t* bottom = pictureRow(v + 1);
    // The columns inside the picture in one run, then those beyond its edges.
    const int inFirst = std::max(firstColumn_, 0);
    const int inLast = std::min(firstColumn_ + columnCount_ - 1, picture_.width - 1);
    std::uint32_t* mixed = mixed_.data();
    if (inFirst <= inLast)
        mixRows(mixed + std::size_t(inFirst - firstColumn_) * 4,
                top ? top + std::size_t(inFirst) * 4 : nullptr,
                bottom ? bottom + std::size_t(inFirst) * 4 : nullptr, (inLast - inFirst + 1) * 4,
                w);
    const int end = firstColumn_ + columnCount_;
    for (int c = firstColumn_; c < end; ++c) {
        if (c == inFirst && inFirst <= inLast) {
            c = inLast; // the run inside, mixed above
            continue;
        }
        std::uint32_t* at = mixed + std::size_t(c - firstColumn_) * 4;
        if (grid_.outsideIsClear) {
            std::fill(at, at + 4, 0u);
        } else if (inFirst <= inLast) {
            const int edge = c < inFirst ? inFirst : inLast;
            std::memcpy(at, mixed + std::size_t(edge - firstColumn_) * 4, 4 * sizeof *at);
        } else {
            const std::size_t edge = std::size_t(std::clamp(c, 0, picture_.width - 1)) * 4;
            mixRows(at, top ? top + edge : nullptr, bottom ? bottom + edge : nullptr, 4, w);
        }
    }
    mixColumns(reinterpret_cast<std::uint8_t*>(out_.data()), mixed, left_.data(), weights_.data(),
               width_);
    return out_.data();
}

} // namespace platform
