#pragma once

#include <filesystem>
#include <string>

namespace platform {

// Shows a file or a folder in the program the user's desktop opens it with (xdg-open, or the
// program MORVANE_OPENER names), as a double click in a file manager would. The program is
// started on its own and never waited for.
class DesktopOpener {
public:
    // False, with the reason in `error`, when there is nothing to open or no opener to start.
    static bool open(const std::filesystem::path& target, std::string& error);
};

} // namespace platform
