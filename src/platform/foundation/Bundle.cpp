#include "platform/foundation/Bundle.h"

#include <cstdlib>
#include <string_view>

namespace platform {

namespace {

bool isPlainName(std::string_view part) {
    return part.find('/') == std::string_view::npos && part.find('\0') == std::string_view::npos &&
           part.find("..") == std::string_view::npos;
}

} // namespace

Bundle Bundle::main() {
    if (const char* chosen = std::getenv("MORVANE_RESOURCES"); chosen && *chosen) {
        return Bundle(chosen);
    }
    std::error_code error;
#ifdef MORVANE_RESOURCE_DIR
    if (std::filesystem::is_directory(MORVANE_RESOURCE_DIR, error)) {
        return Bundle(MORVANE_RESOURCE_DIR);
    }
#endif
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return Bundle("resources");
    }
    return Bundle(program.parent_path() / "resources");
}

std::optional<std::filesystem::path> Bundle::pathForResource(const std::string& name,
                                                             const std::string& type) const {
    if (name.empty() || !isPlainName(name) || !isPlainName(type)) {
        return std::nullopt;
    }
    const auto path = directory_ / (type.empty() ? name : name + "." + type);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    return path;
}

} // namespace platform
