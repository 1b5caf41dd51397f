#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace platform {

// Where the program's shipped resources live. The build folder, an install under any prefix, a
// staging tree and an unpacked package all share one layout, share/morvane beside the program's
// bin/, so the folder follows the running program wherever it was copied.
class ResourceFolder {
public:
    // The environment variable that names another folder, for tests and odd layouts.
    static constexpr const char* kOverrideVariable = "MORVANE_RESOURCES";

    // The folder for this process: the override when set and not empty, else the folder beside
    // the running program. It may not exist; see problem().
    static std::filesystem::path current();

    // The same rule for a given program path and override value, so it can be checked without
    // moving the program.
    static std::filesystem::path forProgram(const std::filesystem::path& program,
                                            const std::optional<std::string>& override);

    // A sentence for the user when the folder cannot serve as the resource folder, naming where
    // it was looked for; nothing when it can.
    static std::optional<std::string> problem(const std::filesystem::path& folder);
};

} // namespace platform
