#include "platform/location/ResourceFolder.h"

#include <cstdlib>
#include <system_error>

namespace platform {

std::filesystem::path ResourceFolder::current() {
    std::optional<std::string> override;
    if (const char* chosen = std::getenv(kOverrideVariable); chosen && *chosen)
        override = chosen;
    std::error_code error;
    // The link names the program itself, not a symbolic link it was started through, so a
    // link in another folder (the build's top-level `morvane`) still finds its resources.
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        program.clear();
    return forProgram(program, override);
}

std::filesystem::path ResourceFolder::forProgram(const std::filesystem::path& program,
                                                 const std::optional<std::string>& override) {
    if (override && !override->empty())
        return *override;
    // Without its own path the program can only guess relative to where it was started.
    const std::filesystem::path bin = program.empty() ? "." : program.parent_path();
    return (bin.parent_path() / "share" / "morvane").lexically_normal();
}

std::optional<std::string> ResourceFolder::problem(const std::filesystem::path& folder) {
    std::error_code error;
    if (std::filesystem::is_directory(folder, error))
        return std::nullopt;
    return "no resource folder at " + folder.string() +
           " (it belongs in share/morvane beside the program's bin folder, or is named by " +
           kOverrideVariable + ")";
}

} // namespace platform
