#pragma once

#include <memory>
#include <string>

typedef struct _cairo_font_face cairo_font_face_t;

namespace platform {

using FontFaceRef = std::shared_ptr<cairo_font_face_t>;

// Font names to Cairo font faces through fontconfig. The bundled fonts in the resource folder
// are registered once per process, with the aliases that give the camera's felt-pen date font
// its open counterpart. A name fontconfig cannot match falls back to a plain sans.
class FontResolver {
public:
    // What a font name resolves to, so that a text layout with fallback fonts starts from the
    // very face the name draws in.
    struct Traits {
        std::string family;
        int weight = 400; // OpenType weight, 100 to 900
        bool italic = false;
    };

    // Never null.
    static FontFaceRef faceForName(const std::string& name);
    // The full name ("Family Style") of the font the name resolves to; empty if none.
    static std::string fullNameForName(const std::string& name);
    // The family, weight and slant of the font the name resolves to; an empty family if none.
    static Traits traitsForName(const std::string& name);
};

} // namespace platform
