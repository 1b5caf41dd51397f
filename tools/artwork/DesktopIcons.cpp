#include "DesktopIcons.h"

#include "SkinArt.h"

#include <cairo-svg.h>

#include <system_error>

namespace artwork {

const std::vector<int>& DesktopIcons::sizes() {
    static const std::vector<int> all = {16, 24, 32, 48, 64, 128, 256, 512};
    return all;
}

std::vector<std::filesystem::path> DesktopIcons::write(const std::filesystem::path& folder,
                                                       const std::string& name) {
    std::vector<std::filesystem::path> failed;
    auto prepare = [&](const std::filesystem::path& path) {
        std::error_code error;
        std::filesystem::create_directories(path.parent_path(), error);
        return !error;
    };
    for (int side : sizes()) {
        const std::string size = std::to_string(side) + "x" + std::to_string(side);
        const auto path = folder / "hicolor" / size / "apps" / (name + ".png");
        if (!prepare(path) || !drawIcon(side).writePng(path))
            failed.push_back(path);
    }
    const auto svg = folder / "hicolor" / "scalable" / "apps" / (name + ".svg");
    if (!prepare(svg) || !writeSvg(svg))
        failed.push_back(svg);
    return failed;
}

bool DesktopIcons::writeSvg(const std::filesystem::path& path) {
    std::filesystem::path temporary = path;
    temporary += ".part";
    cairo_surface_t* surface = cairo_svg_surface_create(temporary.c_str(), kIconUnits, kIconUnits);
    // Pixels, not points, so the SVG's size matches the PNG drawn at 64.
    cairo_svg_surface_set_document_unit(surface, CAIRO_SVG_UNIT_PX);
    cairo_t* cr = cairo_create(surface);
    paintIcon(cr);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const bool drawn = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    std::error_code error;
    if (drawn)
        std::filesystem::rename(temporary, path, error);
    if (!drawn || error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

} // namespace artwork
