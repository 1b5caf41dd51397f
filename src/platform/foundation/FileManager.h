#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace platform {

// File operations that report success and never throw. Every write goes through a temporary
// file in the target's folder that is flushed to disk and then renamed over the target, so a
// reader (or a crash) sees the old file or the new one, never half of either.
class FileManager {
public:
    // True for anything at the path, a folder included.
    static bool fileExists(const std::filesystem::path& path);

    // Removes a file, a link or an empty folder. A missing item gives false and does no harm.
    // A folder with contents is left alone: a file name that came out empty would otherwise
    // name the whole folder it was meant to live in.
    static bool removeItem(const std::filesystem::path& path);

    // Creates or replaces the file with exactly these bytes.
    static bool createFile(const std::filesystem::path& path,
                           const std::vector<std::uint8_t>& bytes);
    // Creates the file with exactly these bytes only where nothing has that name yet: false,
    // with errno EEXIST, when something has, which is then left untouched. Two processes can
    // never both believe they made the same file.
    static bool createFileExclusively(const std::filesystem::path& path,
                                      const std::vector<std::uint8_t>& bytes);
    static bool writeAtomically(const std::filesystem::path& path,
                                const std::vector<std::uint8_t>& bytes);
    static bool writeAtomically(const std::filesystem::path& path, const void* bytes,
                                std::size_t size);

    // A regular file's bytes; nullopt when it is missing, a folder, a device or unreadable.
    static std::optional<std::vector<std::uint8_t>> contents(const std::filesystem::path& path);

    // True for the name of a temporary that a write here makes on its way to its target.
    static bool isTemporaryName(std::string_view name);
    // Deletes the temporaries that writes interrupted by a crash or a kill left in a folder;
    // call it only while no write into that folder can be under way. The number removed.
    static int removeTemporaries(const std::filesystem::path& folder);

    // Copies a regular file byte for byte, replacing whatever file is at `to`.
    static bool copyItem(const std::filesystem::path& from, const std::filesystem::path& to);
};

} // namespace platform
