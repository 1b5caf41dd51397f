#pragma once

#include "Canvas.h"
#include "Paint.h"

#include <functional>

namespace artwork {

// Computes a picture pixel by pixel, for the textures and light effects that paths and
// gradients cannot express. The function gets a pixel centre's coordinates and returns its
// straight (not premultiplied) colour; rows are shared out over the machine's cores, so it
// must be safe to call from several threads at once. Each pixel depends only on its
// coordinates, so the result is the same however the rows are shared.
Canvas paintPixels(int width, int height, const std::function<Color(double x, double y)>& pixel);

} // namespace artwork
