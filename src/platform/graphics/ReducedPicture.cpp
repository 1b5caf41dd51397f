#include "platform/graphics/ReducedPicture.h"

#include "platform/graphics/AreaAverage.h"

#include <algorithm>

namespace platform {

ImageRef ReducedPicture::read(const std::filesystem::path& path, int width, int height,
                              std::string* whyNot) {
    if (width < 1 || height < 1) {
        if (whyNot)
            *whyNot = "no pixels asked for";
        return nullptr;
    }
    // The shorter stored side must still cover the longer side asked for, whatever the
    // picture's proportions and orientation.
    return reduce(Image::readFile(path, std::max(width, height), whyNot), width, height);
}

ImageRef ReducedPicture::reduce(const ImageRef& picture, int width, int height) {
    if (!picture || width < 1 || height < 1)
        return nullptr;
    if (isQuarterTurn(picture->orientation()))
        std::swap(width, height);
    const int stored[2] = {picture->pixelWidth(), picture->pixelHeight()};
    const int columns = std::min(width, stored[0]);
    const int rows = std::min(height, stored[1]);
    if (columns == stored[0] && rows == stored[1])
        return picture;
    const ConstBitmapView source{reinterpret_cast<const std::uint32_t*>(picture->data()), stored[0],
                                 stored[1], picture->stride() / 4};
    const auto pixels =
        AreaAverage::reduce(source, {0, static_cast<double>(stored[0]) / columns, columns},
                            {0, static_cast<double>(stored[1]) / rows, rows});
    if (pixels.empty())
        return nullptr;
    return Image::fromPixels(columns, rows, pixels, picture->orientation());
}

} // namespace platform
