#pragma once

#include "platform/graphics/GridColor.h"

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// Pixels the fast paths leave to Cairo, gathered from anywhere in a surface into one row,
// blended there by Cairo under the same operator and source, and put back. The fast paths
// handle opaque and transparent destinations themselves; the rare partly transparent ones
// come here, so every pixel ends exactly as Cairo alone would have left it.
class CairoBatch {
public:
    // Each added destination pixel gets the solid colour under op.
    CairoBatch(cairo_operator_t op, const GridColor& color);
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

    // Blends count pixels in place, all at once (count at most Cairo's widest surface).
    static void paintSolid(std::uint32_t* pixels, int count, cairo_operator_t op,
                           const GridColor& color);

private:
    // A row this long is cheap for Cairo to set up and stays well inside the caches.
    static constexpr std::size_t kBatchPixels = 4096;

    cairo_operator_t op_;
    bool solid_;
    GridColor color_;
    std::vector<std::uint32_t*> where_;
    std::vector<std::uint32_t> sources_;
    std::vector<std::uint32_t> row_;
};

} // namespace platform
