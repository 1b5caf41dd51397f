#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace platform {

// The application's shipped resources, found by name and type ("config", "plist").
class Bundle {
public:
    // The resource folder, chosen now: $MORVANE_RESOURCES when set, else share/morvane beside
    // the running program's bin folder (see ResourceFolder).
    static Bundle main();

    const std::filesystem::path& resourceDirectory() const { return directory_; }

    // The path of "name.type" (just "name" when type is empty) in the resource folder, only if
    // such a regular file exists. Names and types that could leave the folder are refused.
    std::optional<std::filesystem::path> pathForResource(const std::string& name,
                                                         const std::string& type) const;

    explicit Bundle(std::filesystem::path resourceDirectory)
        : directory_(std::move(resourceDirectory)) {}

private:
    std::filesystem::path directory_;
};

} // namespace platform
