#pragma once

#include "Canvas.h"
#include "Fonts.h"

namespace artwork {

// The four families of film frames. Each is drawn for the blend mode it is laid down with:
// normal and vintage under source-atop (an ordinary draw over an opaque print), rainbow under
// screen (black adds nothing, light adds light) and colour under hard light (mid grey changes
// nothing, brighter lightens, darker deepens).
enum class FilmFamily { Normal, Rainbow, Vintage, Color };

// The resource name stem of a family: "film_normal" and so on.
const char* filmFamilyStem(FilmFamily family);

// A film frame, side by side pixels, with the window of the given frame number.
Canvas drawFilmFrame(FilmFamily family, int frame, int side, const Fonts& fonts);

// The outline of a frame's window, white on transparent, shown faintly over the live picture so
// the user sees which window the print will get.
Canvas drawMiniFrame(int frame, int side);

} // namespace artwork
