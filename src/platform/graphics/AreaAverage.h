#pragma once

#include "platform/graphics/BitmapView.h"
#include "platform/graphics/Image.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

// Shrinking a picture by averaging, for each new pixel, every old pixel under it in
// proportion to how much of it lies under (a box filter over exact areas). Fine detail then
// turns into its mean instead of aliasing, and the mean brightness of any region is kept.
// Cairo's own smooth reduction does much the same at many times the cost.
class AreaAverage {
public:
    // An axis of the reduction: new pixel k covers old coordinates [start + k·step,
    // start + (k + 1)·step), step at least 1, count new pixels in all.
    struct Axis {
        double start = 0;
        double step = 1;
        int count = 0;
        friend bool operator==(const Axis&, const Axis&) = default;
    };
    using Pixels = std::shared_ptr<const std::vector<std::uint32_t>>;

    // The reduced picture, columns.count × rows.count premultiplied words, row after row.
    // Old coordinates outside the picture take its nearest edge pixel, as a padded pattern
    // does. Empty when an axis is unusable.
    static std::vector<std::uint32_t> reduce(const ConstBitmapView& source, const Axis& columns,
                                             const Axis& rows);

    // The same for a shared picture, remembered: a picture shrunk the same way again while it
    // lives (a film frame, on every print at one size) costs nothing the second time. A few
    // of the latest results are kept. Null when an axis is unusable.
    static Pixels reduceKept(const ImageRef& picture, const Axis& columns, const Axis& rows);
};

} // namespace platform
