#pragma once

#include "platform/graphics/GridColor.h"

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// One solid fill: a colour painted under an operator.
struct SolidStep {
    cairo_operator_t op;
    GridColor color;
};

// Pixels the fast paths leave to Cairo, gathered from anywhere in a surface into one row,
// blended there by Cairo under the same operators and sources, and put back. The fast paths
// handle opaque and transparent destinations themselves; the rare partly transparent ones
// come here, so every pixel ends exactly as Cairo alone would have left it.
class CairoBatch {
public:
    // Each added destination pixel gets the solid fills, one after the other.
    explicit CairoBatch(std::vector<SolidStep> steps);
    // Each added destination pixel gets its own source pixel under op.
    explicit CairoBatch(cairo_operator_t op);
    ~CairoBatch() { flush(); }
    CairoBatch(const CairoBatch&) = delete;
    CairoBatch& operator=(const CairoBatch&) = delete;

    void add(std::uint32_t* destination) {
        where_.push_back(destination);
        if (where_.size() == kBatchPixels)
            flush();
    }
    void add(std::uint32_t* destination, std::uint32_t source) {
        sources_.push_back(source);
        add(destination);
    }
    // Blends everything gathered so far and writes it back.
    void flush();

    // Paints the fills over count pixels in place, all at once (count at most Cairo's widest
    // surface).
    static void paintSteps(std::uint32_t* pixels, int count, const std::vector<SolidStep>& steps);

private:
    // A row this long is cheap for Cairo to set up and stays well inside the caches.
    static constexpr std::size_t kBatchPixels = 4096;

    cairo_operator_t op_ = CAIRO_OPERATOR_OVER;
    std::vector<SolidStep> steps_; // empty: per-pixel sources under op_
    std::vector<std::uint32_t*> where_;
    std::vector<std::uint32_t> sources_;
    std::vector<std::uint32_t> row_;
};

} // namespace platform
