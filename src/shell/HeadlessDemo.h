#pragma once

#include <filesystem>
#include <optional>
#include <string>

// What the camera does when it is asked for a window where there is no display: a short tour
// played headless by a script of its own, so that a first run without a screen still shows
// what the camera makes. Three camera prints in three looks, one print from a library
// photograph, then the gallery, with screen shots along the way.
class HeadlessDemo {
public:
    // Makes the demo's folder (a fresh one under the temporary folder), with a photograph for
    // the library in its Pictures folder and an empty shots folder. Returns nothing, with a
    // message in error, when the folder cannot be made.
    static std::optional<std::filesystem::path> prepare(std::string& error);

    // The demo's script for a folder made by prepare(): shots go to <folder>/shots.
    static std::string script(const std::filesystem::path& folder);

    // The photograph the library print is made from.
    static std::filesystem::path photo(const std::filesystem::path& folder);
    static std::filesystem::path shots(const std::filesystem::path& folder);
};
