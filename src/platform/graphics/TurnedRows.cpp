#include "platform/graphics/TurnedRows.h"

#include "platform/graphics/VectorCode.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

typedef std::uint32_t Words8 __attribute__((vector_size(32)));

#if defined(__clang__)
#define MORVANE_SHUFFLE(a, b, ...) __builtin_shufflevector(a, b, __VA_ARGS__)
#else
#define MORVANE_SHUFFLE(a, b, ...) __builtin_shuffle(a, b, Words8{__VA_ARGS__})
#endif

// out[k][i] = in[i][k]: interleave pairs, then pairs of pairs, then halves.
MORVANE_ALWAYS_INLINE void transpose8(Words8 (&m)[8]) {
    const Words8 t0 = MORVANE_SHUFFLE(m[0], m[1], 0, 8, 1, 9, 4, 12, 5, 13);
    const Words8 t1 = MORVANE_SHUFFLE(m[0], m[1], 2, 10, 3, 11, 6, 14, 7, 15);
    const Words8 t2 = MORVANE_SHUFFLE(m[2], m[3], 0, 8, 1, 9, 4, 12, 5, 13);
    const Words8 t3 = MORVANE_SHUFFLE(m[2], m[3], 2, 10, 3, 11, 6, 14, 7, 15);
    const Words8 t4 = MORVANE_SHUFFLE(m[4], m[5], 0, 8, 1, 9, 4, 12, 5, 13);
    const Words8 t5 = MORVANE_SHUFFLE(m[4], m[5], 2, 10, 3, 11, 6, 14, 7, 15);
    const Words8 t6 = MORVANE_SHUFFLE(m[6], m[7], 0, 8, 1, 9, 4, 12, 5, 13);
    const Words8 t7 = MORVANE_SHUFFLE(m[6], m[7], 2, 10, 3, 11, 6, 14, 7, 15);
    const Words8 u0 = MORVANE_SHUFFLE(t0, t2, 0, 1, 8, 9, 4, 5, 12, 13);
    const Words8 u1 = MORVANE_SHUFFLE(t0, t2, 2, 3, 10, 11, 6, 7, 14, 15);
    const Words8 u2 = MORVANE_SHUFFLE(t1, t3, 0, 1, 8, 9, 4, 5, 12, 13);
    const Words8 u3 = MORVANE_SHUFFLE(t1, t3, 2, 3, 10, 11, 6, 7, 14, 15);
    const Words8 u4 = MORVANE_SHUFFLE(t4, t6, 0, 1, 8, 9, 4, 5, 12, 13);
    const Words8 u5 = MORVANE_SHUFFLE(t4, t6, 2, 3, 10, 11, 6, 7, 14, 15);
    const Words8 u6 = MORVANE_SHUFFLE(t5, t7, 0, 1, 8, 9, 4, 5, 12, 13);
    const Words8 u7 = MORVANE_SHUFFLE(t5, t7, 2, 3, 10, 11, 6, 7, 14, 15);
    m[0] = MORVANE_SHUFFLE(u0, u4, 0, 1, 2, 3, 8, 9, 10, 11);
    m[1] = MORVANE_SHUFFLE(u1, u5, 0, 1, 2, 3, 8, 9, 10, 11);
    m[2] = MORVANE_SHUFFLE(u2, u6, 0, 1, 2, 3, 8, 9, 10, 11);
    m[3] = MORVANE_SHUFFLE(u3, u7, 0, 1, 2, 3, 8, 9, 10, 11);
    m[4] = MORVANE_SHUFFLE(u0, u4, 4, 5, 6, 7, 12, 13, 14, 15);
    m[5] = MORVANE_SHUFFLE(u1, u5, 4, 5, 6, 7, 12, 13, 14, 15);
    m[6] = MORVANE_SHUFFLE(u2, u6, 4, 5, 6, 7, 12, 13, 14, 15);
    m[7] = MORVANE_SHUFFLE(u3, u7, 4, 5, 6, 7, 12, 13, 14, 15);
}

// Eight band rows from eight picture rows at a time: block k of eight words read along u
// from picture row v(i), turned, gives eight band rows eight pixels each.
MORVANE_VECTOR_CLONES void turnBlocks(const ConstBitmapView& picture, int uFirst, int du, int v0,
                                      int dv, int width, std::uint32_t* band) {
    // The eight columns uFirst, uFirst + du, ... lie at lo .. lo + 7 in memory order.
    const int lo = du > 0 ? uFirst : uFirst - 7;
    int i = 0;
    for (; i + 8 <= width; i += 8) {
        Words8 m[8];
        for (int k = 0; k < 8; ++k) {
            std::memcpy(&m[k], picture.row(v0 + dv * (i + k)) + lo, sizeof(Words8));
            if (du < 0)
                m[k] = MORVANE_SHUFFLE(m[k], m[k], 7, 6, 5, 4, 3, 2, 1, 0);
        }
        transpose8(m);
        for (int r = 0; r < 8; ++r)
            std::memcpy(band + std::size_t(r) * std::size_t(width) + std::size_t(i), &m[r],
                        sizeof(Words8));
    }
    for (; i < width; ++i) {
        const std::uint32_t* row = picture.row(v0 + dv * i);
        for (int r = 0; r < 8; ++r)
            band[std::size_t(r) * std::size_t(width) + std::size_t(i)] = row[uFirst + du * r];
    }
}

} // namespace

TurnedRows::TurnedRows(const ConstBitmapView& picture, int u0, int du, int v0, int dv, int width,
                       int height)
    : picture_(picture), u0_(u0), du_(du), v0_(v0), dv_(dv), width_(width), height_(height) {
    band_.resize(std::size_t(kBand) * std::size_t(std::max(width, 0)));
}

const std::uint32_t* TurnedRows::row(int j) {
    const int first = j - j % kBand;
    if (first != bandStart_) {
        bandStart_ = first;
        turnBand(first, std::min(kBand, height_ - first));
    }
    return band_.data() + std::size_t(j - first) * std::size_t(width_);
}

void TurnedRows::turnBand(int first, int rows) {
    const int vLast = v0_ + dv_ * (width_ - 1);
    const bool rowsInside = std::min(v0_, vLast) >= 0 && std::max(v0_, vLast) < picture_.height;
    int r = 0;
    // Whole groups of eight columns inside the picture go by blocks.
    for (; rowsInside && r + 8 <= rows; r += 8) {
        const int uFirst = u0_ + du_ * (first + r);
        const int uLast = uFirst + du_ * 7;
        if (std::min(uFirst, uLast) < 0 || std::max(uFirst, uLast) >= picture_.width)
            break;
        turnBlocks(picture_, uFirst, du_, v0_, dv_, width_,
                   band_.data() + std::size_t(r) * std::size_t(width_));
    }
    for (; r < rows; ++r) {
        const int u = std::clamp(u0_ + du_ * (first + r), 0, picture_.width - 1);
        std::uint32_t* out = band_.data() + std::size_t(r) * std::size_t(width_);
        for (int i = 0; i < width_; ++i)
            out[i] = picture_.at(u, std::clamp(v0_ + dv_ * i, 0, picture_.height - 1));
    }
}

} // namespace platform
