#pragma once

// What must hold for any bytes read as a headless script. Shared by the fuzzer and by the test
// that replays every input the fuzzer ever caught.

#include "platform/backend/ScriptParser.h"
#include "platform/ui/Application.h"
#include "platform/ui/KeyName.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace hardening {

// Empty when parsing ends in one refusal naming its line, or in a script whose every command
// can run as it stands: on the screen, within the time limit, with a known key.
inline std::string checkScript(const std::uint8_t* data, std::size_t size) {
    using platform::Application;
    using platform::ScriptCommand;
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto script = platform::ScriptParser::parseText(text, error);
    if (!script) {
        if (error.rfind("script:", 0) != 0) {
            return "a refusal without its script: prefix: " + error;
        }
        if (error.find('\n') != std::string::npos) {
            return "a refusal longer than one line";
        }
        return {};
    }
    const auto onScreen = [](const platform::Point& p) {
        return p.x >= 0 && p.x <= Application::kScreenWidth && p.y >= 0 &&
               p.y <= Application::kScreenHeight;
    };
    int previousLine = 0;
    for (const ScriptCommand& command : script->commands()) {
        if (command.line <= previousLine) {
            return "commands out of line order";
        }
        previousLine = command.line;
        switch (command.kind) {
        case ScriptCommand::Kind::Tap:
        case ScriptCommand::Kind::Swipe:
            if (!onScreen(command.from) || !onScreen(command.to)) {
                return "a touch off the screen was accepted";
            }
            break;
        case ScriptCommand::Kind::Scroll:
            if (!onScreen(command.from) ||
                !(std::abs(command.notches.x) <= platform::ScriptParser::kMaxNotches) ||
                !(std::abs(command.notches.y) <= platform::ScriptParser::kMaxNotches)) {
                return "a scroll off the screen or out of range was accepted";
            }
            break;
        case ScriptCommand::Kind::Key:
            if (!platform::KeyName::isValid(command.text)) {
                return "an unknown key was accepted";
            }
            break;
        case ScriptCommand::Kind::Wait:
            if (!(command.seconds >= 0 && command.seconds <= platform::ScriptParser::kMaxWait)) {
                return "a wait out of range was accepted";
            }
            break;
        case ScriptCommand::Kind::Pick:
        case ScriptCommand::Kind::Shot:
            if (command.text.empty() || command.text.find('#') != std::string::npos) {
                return "a path that is empty or runs into a comment";
            }
            break;
        case ScriptCommand::Kind::Alert:
            if (command.index < 0) {
                return "a negative alert button was accepted";
            }
            break;
        case ScriptCommand::Kind::Cancel:
        case ScriptCommand::Kind::Quit:
            break;
        }
    }
    return {};
}

} // namespace hardening
