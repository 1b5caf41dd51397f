#include "platform/foundation/Bundle.h"

#include "platform/location/ResourceFolder.h"

#include <string_view>

namespace platform {

namespace {

bool isPlainName(std::string_view part) {
    return part.find('/') == std::string_view::npos && part.find('\0') == std::string_view::npos &&
           part.find("..") == std::string_view::npos;
}

} // namespace

Bundle Bundle::main() {
    return Bundle(ResourceFolder::current());
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
