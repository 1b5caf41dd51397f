#include "platform/graphics/FontResolver.h"

#include "platform/location/ResourceFolder.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <filesystem>
#include <mutex>

#if defined(__SANITIZE_ADDRESS__)
// Debian 12's fontconfig loses 288 bytes while parsing the system configuration in FcInit
// (a bare program calling FcInit alone shows it). Leak checking stays on for everything else.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
// The known loss is not news: the report of suppressions used would be the only thing a clean
// run writes to standard error, where callers and tests expect silence.
extern "C" const char* __lsan_default_options() {
    return "print_suppressions=0";
}
#endif

namespace platform {

namespace {

// The camera stamps dates in a felt-pen face that Linux does not ship; Comic Neue has the same
// casual hand-lettered character and is bundled with its licence. The thin cut maps to the
// light weight, the wide one to the regular weight.
constexpr const char* kAliases = R"(<?xml version="1.0"?>
<fontconfig>
  <match target="pattern">
    <test qual="any" name="family" compare="eq"><string>MarkerFelt-Thin</string></test>
    <edit name="family" mode="prepend" binding="strong"><string>Comic Neue</string></edit>
    <edit name="weight" mode="assign" binding="strong"><const>light</const></edit>
  </match>
  <match target="pattern">
    <test qual="any" name="family" compare="eq"><string>Marker Felt</string></test>
    <edit name="family" mode="prepend" binding="strong"><string>Comic Neue</string></edit>
    <edit name="weight" mode="assign" binding="strong"><const>light</const></edit>
  </match>
  <match target="pattern">
    <test qual="any" name="family" compare="eq"><string>MarkerFelt-Wide</string></test>
    <edit name="family" mode="prepend" binding="strong"><string>Comic Neue</string></edit>
    <edit name="weight" mode="assign" binding="strong"><const>regular</const></edit>
  </match>
</fontconfig>
)";

std::once_flag registerOnce;

void registerBundledFonts() {
    FcInit();
    FcConfig* config = FcConfigGetCurrent();
    const std::filesystem::path dir = ResourceFolder::current() / "fonts";
    std::error_code error;
    if (std::filesystem::is_directory(dir, error))
        FcConfigAppFontAddDir(config, reinterpret_cast<const FcChar8*>(dir.c_str()));
    FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(kAliases), FcFalse);
}

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using PatternHandle = std::unique_ptr<FcPattern, PatternDeleter>;

// The best installed font for a family name. Fontconfig's default rules append the generic
// sans family to any name they do not know, so an unknown name lands on the plain sans.
PatternHandle match(const std::string& name) {
    std::call_once(registerOnce, registerBundledFonts);
    PatternHandle pattern(FcPatternCreate());
    if (!pattern)
        return nullptr;
    if (!name.empty())
        FcPatternAddString(pattern.get(), FC_FAMILY,
                           reinterpret_cast<const FcChar8*>(name.c_str()));
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    PatternHandle matched(FcFontMatch(nullptr, pattern.get(), &result));
    if (!matched || result != FcResultMatch)
        return nullptr;
    return matched;
}

FontFaceRef wrap(cairo_font_face_t* face) {
    return FontFaceRef(face, [](cairo_font_face_t* f) { cairo_font_face_destroy(f); });
}

} // namespace

FontFaceRef FontResolver::faceForName(const std::string& name) {
    if (PatternHandle matched = match(name)) {
        cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(matched.get());
        if (cairo_font_face_status(face) == CAIRO_STATUS_SUCCESS)
            return wrap(face);
        cairo_font_face_destroy(face);
    }
    // Without a usable fontconfig answer, Cairo's own sans still draws something readable.
    return wrap(cairo_toy_font_face_create("sans-serif", CAIRO_FONT_SLANT_NORMAL,
                                           CAIRO_FONT_WEIGHT_NORMAL));
}

std::string FontResolver::fullNameForName(const std::string& name) {
    PatternHandle matched = match(name);
    if (!matched)
        return {};
    FcChar8* value = nullptr;
    if (FcPatternGetString(matched.get(), FC_FULLNAME, 0, &value) == FcResultMatch && value)
        return reinterpret_cast<const char*>(value);
    if (FcPatternGetString(matched.get(), FC_FAMILY, 0, &value) == FcResultMatch && value)
        return reinterpret_cast<const char*>(value);
    return {};
}

FontResolver::Traits FontResolver::traitsForName(const std::string& name) {
    Traits traits;
    PatternHandle matched = match(name);
    if (!matched)
        return traits;
    FcChar8* family = nullptr;
    if (FcPatternGetString(matched.get(), FC_FAMILY, 0, &family) == FcResultMatch && family)
        traits.family = reinterpret_cast<const char*>(family);
    int weight = FC_WEIGHT_REGULAR;
    if (FcPatternGetInteger(matched.get(), FC_WEIGHT, 0, &weight) == FcResultMatch)
        traits.weight = FcWeightToOpenType(weight);
    int slant = FC_SLANT_ROMAN;
    if (FcPatternGetInteger(matched.get(), FC_SLANT, 0, &slant) == FcResultMatch)
        traits.italic = slant != FC_SLANT_ROMAN;
    return traits;
}

} // namespace platform
