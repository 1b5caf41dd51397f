#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace artwork {

// The program's icon for the desktop, in the hicolor theme's layout: one PNG per size under
// hicolor/NxN/apps and an SVG under hicolor/scalable/apps, all the window icon's picture.
class DesktopIcons {
public:
    // The PNG sizes, in pixels, that desktops ask the theme for.
    static const std::vector<int>& sizes();

    // Writes every icon of the name (the desktop entry's id) below `folder`. Returns the files
    // that could not be written; empty when all were.
    static std::vector<std::filesystem::path> write(const std::filesystem::path& folder,
                                                    const std::string& name);

private:
    static bool writeSvg(const std::filesystem::path& path);
};

} // namespace artwork
