#pragma once

#include "platform/backend/Script.h"

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>

namespace platform {

// Reads a script (see Script) and checks every line before anything runs.
class ScriptParser {
public:
    // The longest line accepted, in bytes.
    static constexpr std::size_t kMaxLineBytes = 64 * 1024;
    // The longest script accepted, in bytes: far more than a person or a test writes, and a
    // bound on what a standard input that never ends can make the camera hold.
    static constexpr std::size_t kMaxScriptBytes = 4 * 1024 * 1024;
    // The longest single wait, in seconds.
    static constexpr double kMaxWait = 24 * 60 * 60;
    // The most wheel notches one scroll line turns, each way.
    static constexpr double kMaxNotches = 100;

    // The first malformed line gives nullopt and "script:LINE: message" in `error`; so does
    // a script longer than kMaxScriptBytes, at the line where it passes the limit, without
    // reading further. `keys` are the names `key` may press, as the program that runs the
    // script knows them; with none, any key's name (KeyName) will do.
    static std::optional<Script> parse(std::istream& input, std::string& error,
                                       std::span<const std::string> keys = {});
    static std::optional<Script> parseText(const std::string& text, std::string& error,
                                           std::span<const std::string> keys = {});
    static std::optional<Script> parseFile(const std::filesystem::path& path, std::string& error,
                                           std::span<const std::string> keys = {});

    // One line without its newline: true with a command, or with nothing for a blank or
    // comment line; false with the message (no "script:LINE: " prefix) in `error`.
    static bool parseLine(const std::string& text, std::optional<ScriptCommand>& command,
                          std::string& error, std::span<const std::string> keys = {});
};

} // namespace platform
