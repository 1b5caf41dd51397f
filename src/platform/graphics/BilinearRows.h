#pragma once

#include "platform/graphics/BilinearGrid.h"
#include "platform/graphics/BitmapView.h"

#include <cstdint>
#include <vector>

namespace platform {

// The rows of a picture resampled along a bilinear grid, as Cairo's pixel library computes
// them: each pair of picture rows mixed with seven-bit weights, then each pair of columns,
// the sum of both products truncated by fourteen bits. The columns' positions and weights are
// the same on every row, so they are worked out once; each row then costs one pass that
// mixes the two picture rows (the part the compiler vectorises) and one that picks pairs.
class BilinearRows {
public:
    // Rows width device pixels long, of the box the grid was made for.
    BilinearRows(const ConstBitmapView& picture, const BilinearGrid& grid, int width);

    // Row j of the box, valid until the next call.
    const std::uint32_t* row(int j);

private:
    ConstBitmapView picture_;
    BilinearGrid grid_;
    int width_;
    // The picture columns the grid touches, first to last, with the padding or transparency
    // beyond the picture's edges.
    int firstColumn_ = 0, columnCount_ = 0;
    // For each device column: its left neighbour among those columns, and the weights of
    // both neighbours, each repeated for the four channels.
    typedef std::uint32_t Weights __attribute__((vector_size(32)));
    std::vector<std::int32_t> left_;
    std::vector<Weights> weights_;
    // One row's vertical mixes, four channels a column in memory order.
    std::vector<std::uint32_t> mixed_;
    std::vector<std::uint32_t> out_;
};

} // namespace platform
