#include "platform/backend/ScriptParser.h"

#include "platform/ui/Application.h"
#include "platform/ui/KeyName.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <istream>
#include <sstream>
#include <vector>

namespace platform {

namespace {

std::string trim(const std::string& s) {
    const auto isSpace = [](unsigned char c) { return std::isspace(c) != 0; };
    auto begin = std::find_if_not(s.begin(), s.end(), isSpace);
    auto end = std::find_if_not(s.rbegin(), std::string::const_reverse_iterator(begin), isSpace);
    return std::string(begin, end.base());
}

std::vector<std::string> words(const std::string& s) {
    std::vector<std::string> out;
    std::istringstream in(s);
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

bool number(const std::string& word, double& out) {
    const char* end = word.data() + word.size();
    auto [ptr, ec] = std::from_chars(word.data(), end, out);
    return ec == std::errc() && ptr == end && std::isfinite(out);
}

std::string plural(std::size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

bool screenPoint(const std::string& xs, const std::string& ys, Point& p, std::string& error) {
    if (!number(xs, p.x)) {
        error = "'" + xs + "' is not a number";
        return false;
    }
    if (!number(ys, p.y)) {
        error = "'" + ys + "' is not a number";
        return false;
    }
    if (p.x < 0 || p.x > Application::kScreenWidth || p.y < 0 || p.y > Application::kScreenHeight) {
        error = "point (" + xs + ", " + ys + ") is off the 320 by 480 screen";
        return false;
    }
    return true;
}

// Columns a message's lines keep within.
constexpr std::size_t kMessageWidth = 80;

bool notches(const std::string& word, double& out, std::string& error) {
    if (!number(word, out)) {
        error = "'" + word + "' is not a number of wheel notches";
        return false;
    }
    if (std::abs(out) > ScriptParser::kMaxNotches) {
        error = "a scroll is at most 100 notches each way";
        return false;
    }
    return true;
}

bool knownKey(const std::string& key, std::span<const std::string> keys) {
    if (keys.empty())
        return KeyName::isValid(key);
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

} // namespace

bool ScriptParser::parseLine(const std::string& raw, std::optional<ScriptCommand>& command,
                             std::string& error, std::span<const std::string> keys) {
    command.reset();
    std::string line = raw.substr(0, raw.find('#'));
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    line = trim(line);
    if (line.empty())
        return true;
    const auto w = words(line);
    const std::string& name = w[0];
    // The rest of the line after the command word: paths may hold spaces.
    const std::string rest = trim(line.substr(name.size()));
    const std::size_t args = w.size() - 1;
    auto expect = [&](std::size_t count) {
        if (args == count)
            return true;
        error = name + " takes " + plural(count, "argument") + ", not " + std::to_string(args);
        return false;
    };

    ScriptCommand c;
    if (name == "tap") {
        c.kind = ScriptCommand::Kind::Tap;
        if (!expect(2) || !screenPoint(w[1], w[2], c.from, error))
            return false;
        c.to = c.from;
    } else if (name == "swipe") {
        c.kind = ScriptCommand::Kind::Swipe;
        if (!expect(4) || !screenPoint(w[1], w[2], c.from, error) ||
            !screenPoint(w[3], w[4], c.to, error))
            return false;
    } else if (name == "scroll") {
        c.kind = ScriptCommand::Kind::Scroll;
        if (!expect(4) || !screenPoint(w[1], w[2], c.from, error) ||
            !notches(w[3], c.notches.x, error) || !notches(w[4], c.notches.y, error))
            return false;
        c.to = c.from;
    } else if (name == "key") {
        c.kind = ScriptCommand::Kind::Key;
        if (!expect(1))
            return false;
        // The manual names keys as they are printed on them ("Space", "Left"): any case will do.
        std::string key = w[1];
        std::transform(key.begin(), key.end(), key.begin(),
                       [](unsigned char ch) { return char(std::tolower(ch)); });
        if (!knownKey(key, keys)) {
            error = "unknown key '" + w[1] + "'";
            if (!keys.empty()) {
                // The list on lines of its own, broken to stay inside a terminal's 80 columns.
                error += "; the keys are:";
                std::size_t column = kMessageWidth;
                for (const std::string& known : keys) {
                    if (column + 1 + known.size() > kMessageWidth) {
                        error += "\n ";
                        column = 1;
                    }
                    error += " " + known;
                    column += 1 + known.size();
                }
            }
            return false;
        }
        c.text = key;
    } else if (name == "wait") {
        c.kind = ScriptCommand::Kind::Wait;
        if (!expect(1))
            return false;
        if (!number(w[1], c.seconds)) {
            error = "'" + w[1] + "' is not a number of seconds";
            return false;
        }
        if (c.seconds < 0) {
            error = "cannot wait a negative time";
            return false;
        }
        if (c.seconds > kMaxWait) {
            error = "a wait is at most 86400 seconds";
            return false;
        }
    } else if (name == "pick") {
        c.kind = ScriptCommand::Kind::Pick;
        if (rest.empty()) {
            error = "pick needs the path of a picture";
            return false;
        }
        c.text = rest;
    } else if (name == "cancel") {
        c.kind = ScriptCommand::Kind::Cancel;
        if (!expect(0))
            return false;
    } else if (name == "alert") {
        c.kind = ScriptCommand::Kind::Alert;
        if (!expect(1))
            return false;
        double index;
        if (!number(w[1], index) || index < 0 || index != std::floor(index) || index > 1000) {
            error = "'" + w[1] + "' is not a button index (0, 1, ...)";
            return false;
        }
        c.index = static_cast<int>(index);
    } else if (name == "shot") {
        c.kind = ScriptCommand::Kind::Shot;
        if (rest.empty()) {
            error = "shot needs the path of a .png file";
            return false;
        }
        std::string lower = rest;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
        if (lower.size() < 5 || lower.compare(lower.size() - 4, 4, ".png") != 0) {
            error = "the shot path '" + rest + "' must end in .png";
            return false;
        }
        c.text = rest;
    } else if (name == "quit") {
        c.kind = ScriptCommand::Kind::Quit;
        if (!expect(0))
            return false;
    } else {
        error = "unknown command '" + name + "'";
        return false;
    }
    command = std::move(c);
    return true;
}

std::optional<Script> ScriptParser::parse(std::istream& input, std::string& error,
                                          std::span<const std::string> keys) {
    std::vector<ScriptCommand> commands;
    std::string line;
    int number = 0;
    std::size_t total = 0;
    for (;;) {
        // Read by hand so a line without end cannot eat all memory.
        line.clear();
        bool any = false;
        bool tooLong = false;
        bool scriptTooLong = false;
        for (int ch; (ch = input.get()) != std::char_traits<char>::eof();) {
            any = true;
            if (++total > kMaxScriptBytes) {
                scriptTooLong = true;
                break;
            }
            if (ch == '\n')
                break;
            if (line.size() >= kMaxLineBytes) {
                tooLong = true;
                break;
            }
            line.push_back(static_cast<char>(ch));
        }
        if (!any)
            break;
        ++number;
        const std::string prefix = "script:" + std::to_string(number) + ": ";
        if (scriptTooLong) {
            error = prefix + "the script is longer than 4 MiB, the most read before a run";
            return std::nullopt;
        }
        if (tooLong) {
            error = prefix + "line longer than 65536 bytes";
            return std::nullopt;
        }
        std::optional<ScriptCommand> command;
        std::string message;
        if (!parseLine(line, command, message, keys)) {
            error = prefix + message;
            return std::nullopt;
        }
        if (command) {
            command->line = number;
            commands.push_back(std::move(*command));
        }
    }
    if (input.bad()) {
        error = "script: cannot read the script";
        return std::nullopt;
    }
    return Script(std::move(commands));
}

std::optional<Script> ScriptParser::parseText(const std::string& text, std::string& error,
                                              std::span<const std::string> keys) {
    std::istringstream input(text);
    return parse(input, error, keys);
}

std::optional<Script> ScriptParser::parseFile(const std::filesystem::path& path, std::string& error,
                                              std::span<const std::string> keys) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = "script: " + path.string() + " is a folder";
        return std::nullopt;
    }
    std::ifstream input(path, std::ios::binary);
    if (!input) {
        error = "script: cannot open " + path.string();
        return std::nullopt;
    }
    return parse(input, error, keys);
}

} // namespace platform
