#include "platform/graphics/BilinearGrid.h"

#include <cairo.h>

#include <cfloat>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

// Every step below is Cairo's own arithmetic in the same order, in double precision without
// fused multiply-adds (this file is built for the baseline processor, as Cairo is); where
// Cairo has a public function for a step, it is called rather than restated.

cairo_matrix_t toCairo(const AffineTransform& t) {
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    return m;
}

// Cairo's fixed-point conversions add a magic number and keep the sum's low word, which
// rounds halves to even.
std::int32_t lowWordOfSum(double value, double magic) {
    const double sum = value + magic;
    std::uint64_t bits;
    std::memcpy(&bits, &sum, sizeof bits);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
}

std::int32_t fixed16(double value) {
    return lowWordOfSum(value, 103079215104.0); // 1.5 · 2^36
}

// Cairo's path coordinates: 24.8.
std::int32_t fixed8(double value) {
    return lowWordOfSum(value, 26388279066624.0); // 1.5 · 2^44
}

bool isIdentity(const cairo_matrix_t& m) {
    return m.xx == 1.0 && m.yx == 0.0 && m.xy == 0.0 && m.yy == 1.0 && m.x0 == 0.0 && m.y0 == 0.0;
}

bool hasUnityScale(const cairo_matrix_t& m) {
    constexpr double kEpsilon = 1.0 / 256;
    const double det = m.xx * m.yy - m.yx * m.xy;
    if (std::fabs(det * det - 1.0) < kEpsilon) {
        if (std::fabs(m.xy) < kEpsilon && std::fabs(m.yx) < kEpsilon)
            return true;
        if (std::fabs(m.xx) < kEpsilon && std::fabs(m.yy) < kEpsilon)
            return true;
    }
    return false;
}

bool isPixelExact(const cairo_matrix_t& m) {
    return hasUnityScale(m) && (fixed8(m.x0) & 0xff) == 0 && (fixed8(m.y0) & 0xff) == 0;
}

// One row of the mapping, (x, y, t): whether the smooth filter becomes bilinear along it.
bool becomesBilinear(double x, double y, double t) {
    const double h = x * x + y * y;
    if (h < 1.0 / (0.75 * 0.75))
        return true;
    return h > 3.99 && h < 4.01 && fixed8(x * y) == 0 && (fixed8(t) & 0xff) == 0;
}

struct FixedTransform {
    std::int32_t m[3][3];
};

// The pixel library's point transform: products split at the binary point so that they fit
// in 64 bits, the fraction rounded half up. False when a result leaves 32 bits.
bool transformPoint(const FixedTransform& t, std::int32_t (&v)[3]) {
    std::int64_t whole[3], fraction[3];
    for (int i = 0; i < 3; ++i) {
        whole[i] = 0;
        fraction[i] = 0;
        for (int j = 0; j < 3; ++j) {
            const std::int64_t value = v[j];
            whole[i] += std::int64_t{t.m[i][j]} * (value >> 16);
            fraction[i] += std::int64_t{t.m[i][j]} * (value & 0xffff);
        }
    }
    bool fits = true;
    for (int i = 0; i < 3; ++i) {
        const std::int64_t result = whole[i] + ((fraction[i] + 0x8000) >> 16);
        v[i] = static_cast<std::int32_t>(result);
        fits = fits && v[i] == result;
    }
    return fits;
}

// Cairo's matrix in fixed point, its translation nudged (up to five times) until the point
// (xc, yc) maps where the exact matrix maps it. False where Cairo reports an invalid matrix.
bool toFixed(const cairo_matrix_t& matrix, double xc, double yc, FixedTransform& out) {
    out = {{{fixed16(matrix.xx), fixed16(matrix.xy), fixed16(matrix.x0)},
            {fixed16(matrix.yx), fixed16(matrix.yy), fixed16(matrix.y0)},
            {0, 0, 1 << 16}}};
    if (hasUnityScale(matrix))
        return true;
    constexpr double kMaxInt = 32767; // half the fixed range, less a step: deltas must fit
    for (double v : {matrix.xx, matrix.xy, matrix.x0, matrix.yx, matrix.yy, matrix.y0})
        if (std::fabs(v) > kMaxInt)
            return false;
    cairo_matrix_t inverse = matrix;
    if (cairo_matrix_invert(&inverse) != CAIRO_STATUS_SUCCESS)
        return true;
    for (int attempt = 0; attempt < 5; ++attempt) {
        std::int32_t v[3] = {fixed16(xc), fixed16(yc), 1 << 16};
        if (!transformPoint(out, v))
            return true;
        double x = v[0] / 65536.0, y = v[1] / 65536.0;
        cairo_matrix_transform_point(&inverse, &x, &y);
        x -= xc;
        y -= yc;
        cairo_matrix_transform_distance(&matrix, &x, &y);
        const std::int32_t dx = fixed16(x), dy = fixed16(y);
        out.m[0][2] -= dx;
        out.m[1][2] -= dy;
        if (dx == 0 && dy == 0)
            return true;
    }
    return true;
}

// The translation split between whole-pixel offsets and the matrix, so that both stay small:
// of the fixed points of the matrix moved by ±1 on each axis, the one nearest the origin.
bool toFixedWithOffset(const cairo_matrix_t& matrix, double xc, double yc, FixedTransform& out,
                       int& xOffset, int& yOffset) {
    xOffset = yOffset = 0;
    cairo_matrix_t m = matrix;
    cairo_matrix_translate(&m, xOffset, yOffset);
    if (m.x0 != 0.0 || m.y0 != 0.0) {
        double tx = m.x0, ty = m.y0;
        double norm = std::fmax(std::fabs(tx), std::fabs(ty));
        for (int i = -1; i < 2; i += 2)
            for (int j = -1; j < 2; j += 2) {
                double den = (m.xx + i) * (m.yy + j) - m.xy * m.yx;
                if (std::fabs(den) < DBL_EPSILON)
                    continue;
                double x = m.y0 * m.xy - m.x0 * (m.yy + j);
                double y = m.x0 * m.yx - m.y0 * (m.xx + i);
                den = 1 / den;
                x *= den;
                y *= den;
                const double newNorm = std::fmax(std::fabs(x), std::fabs(y));
                if (norm > newNorm) {
                    norm = newNorm;
                    tx = x;
                    ty = y;
                }
            }
        tx = std::floor(tx);
        ty = std::floor(ty);
        if (!(std::fabs(tx) < 1e9) || !(std::fabs(ty) < 1e9))
            return false;
        xOffset = static_cast<int>(-tx);
        yOffset = static_cast<int>(-ty);
        cairo_matrix_translate(&m, tx, ty);
    }
    return toFixed(m, xc, yc, out);
}

} // namespace

std::optional<BilinearGrid> BilinearGrid::forDraw(const AffineTransform& userToPixel,
                                                  const AffineTransform& ctm, int x0, int y0,
                                                  int x1, int y1, int pictureWidth,
                                                  int pictureHeight) {
    if (x1 <= x0 || y1 <= y0 || pictureWidth <= 0 || pictureHeight <= 0)
        return std::nullopt;
    // The pattern's matrix as the fill sees it: the inverse of the transformation at the time
    // the source was set, then the pattern's own.
    cairo_matrix_t pattern = toCairo(userToPixel);
    cairo_matrix_t ctmInverse = toCairo(ctm);
    if (!isIdentity(ctmInverse)) {
        if (cairo_matrix_invert(&ctmInverse) != CAIRO_STATUS_SUCCESS)
            return std::nullopt;
        cairo_matrix_multiply(&pattern, &ctmInverse, &pattern);
    }
    // The filter Cairo settles on: nearest for a pixel-exact mapping, bilinear only where
    // both rows of the mapping allow it.
    if (isPixelExact(pattern) || !becomesBilinear(pattern.xx, pattern.xy, pattern.x0) ||
        !becomesBilinear(pattern.yx, pattern.yy, pattern.y0))
        return std::nullopt;
    // Only straight mappings, which cover every device pixel in rows and columns.
    if (pattern.xy != 0.0 || pattern.yx != 0.0)
        return std::nullopt;

    // The samples' reach, with the bilinear filter's half-pixel margin: inside the picture,
    // Cairo no longer pads it; a single pixel becomes a solid colour.
    const int width = x1 - x0, height = y1 - y0;
    double sx1 = x0 + 0.5, sx2 = sx1 + (width - 1);
    double sy1 = y0 + 0.5, sy2 = sy1 + (height - 1);
    if (pattern.xx != 1.) {
        const double a = sx1 * pattern.xx, b = sx2 * pattern.xx;
        sx1 = a < b ? a : b;
        sx2 = a < b ? b : a;
    }
    if (pattern.x0 != 0.) {
        sx1 += pattern.x0;
        sx2 += pattern.x0;
    }
    if (pattern.yy != 1.) {
        const double a = sy1 * pattern.yy, b = sy2 * pattern.yy;
        sy1 = a < b ? a : b;
        sy2 = a < b ? b : a;
    }
    if (pattern.y0 != 0.) {
        sy1 += pattern.y0;
        sy2 += pattern.y0;
    }
    constexpr double kPad = 0.495;
    const double sampleX = std::floor(sx1 - kPad), sampleY = std::floor(sy1 - kPad);
    const double sampleWidth = std::floor(sx2 + kPad) + 1.0 - sampleX;
    const double sampleHeight = std::floor(sy2 + kPad) + 1.0 - sampleY;
    if (sampleWidth == 1 && sampleHeight == 1)
        return std::nullopt;

    FixedTransform fixed;
    int xOffset = 0, yOffset = 0;
    if (!toFixedWithOffset(pattern, x0 + width / 2., y0 + height / 2., fixed, xOffset, yOffset))
        return std::nullopt;
    if (fixed.m[0][1] != 0 || fixed.m[1][0] != 0 || fixed.m[0][0] <= 0)
        return std::nullopt;
    // The first pixel's centre through the fixed matrix, then back by half a pixel: integer
    // parts name the upper-left neighbours.
    std::int32_t first[3] = {std::int32_t((std::int64_t{x0} + xOffset) * 65536 + 0x8000),
                             std::int32_t((std::int64_t{y0} + yOffset) * 65536 + 0x8000), 1 << 16};
    if (std::abs(std::int64_t{x0} + xOffset) > 30000 ||
        std::abs(std::int64_t{y0} + yOffset) > 30000 || !transformPoint(fixed, first))
        return std::nullopt;
    BilinearGrid grid;
    grid.x0Fixed = first[0] - 0x8000;
    grid.y0Fixed = first[1] - 0x8000;
    grid.xStep = fixed.m[0][0];
    grid.yStep = fixed.m[1][1];
    // The walk must stay within 32 bits, as the pixel library's does.
    const std::int64_t lastX = std::int64_t{grid.x0Fixed} + std::int64_t{grid.xStep} * width;
    const std::int64_t lastY = std::int64_t{grid.y0Fixed} + std::int64_t{grid.yStep} * height;
    if (std::llabs(lastX) >= (std::int64_t{1} << 31) ||
        std::llabs(lastY) >= (std::int64_t{1} << 31))
        return std::nullopt;
    grid.outsideIsClear = sampleX >= 0 && sampleY >= 0 && sampleX + sampleWidth <= pictureWidth &&
                          sampleY + sampleHeight <= pictureHeight;
    return grid;
}

} // namespace platform
