#pragma once

#include "platform/graphics/BilinearGrid.h"
#include "platform/graphics/BitmapView.h"

#include <cstdint>
#include <vector>

namespace platform {

// The rows of a picture resampled along a bilinear grid, as Cairo's pixel library computes
// them: each pixel the four around its sample weighed with seven-bit weights across and
// down, the sum of the products cut down by fourteen bits. Done here across first: the
// columns' positions and weights are the same on every row, and a picture row mixed across
// serves the two device rows on either side of it, so each picture row is mixed once (in
// 16 bits, exactly) and each device row only mixes two of them down (the part the compiler
// vectorises).
class BilinearRows {
public:
    // Rows width device pixels long, of the box the grid was made for.
    BilinearRows(const ConstBitmapView& picture, const BilinearGrid& grid, int width);

    // Row j of the box, valid until the next call.
    const std::uint32_t* row(int j);
    // The same written to out, width pixels.
    void row(int j, std::uint32_t* out);

private:
    typedef std::uint16_t Weights __attribute__((vector_size(16)));

    // Picture row v mixed across, four channels a device pixel; kept for the next row, in
    // place of whichever kept row is not row keep.
    const std::uint16_t* across(int v, int keep);

    ConstBitmapView picture_;
    BilinearGrid grid_;
    int width_;
    // The picture columns the grid touches, first to last, and a copy of a row's run of them
    // with the padding or transparency beyond the picture's edges, where the run leaves it.
    int firstColumn_ = 0, columnCount_ = 0;
    std::vector<std::uint32_t> padded_;
    // For each device column: its left neighbour among those columns, and the weights of
    // both neighbours, each repeated for the four channels.
    std::vector<std::int32_t> left_;
    std::vector<Weights> weights_;
    // The two picture rows last mixed across, and which they are.
    std::vector<std::uint16_t> mixed_[2];
    int mixedRow_[2] = {-1, -1};
    std::vector<std::uint16_t> clear_;
    std::vector<std::uint32_t> out_;
};

} // namespace platform
