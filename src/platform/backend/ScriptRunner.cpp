#include "platform/backend/ScriptRunner.h"

#include "platform/ui/Application.h"

#include <filesystem>

namespace platform {

ScriptRunner::ScriptRunner(const Script& script) : commands_(script.commands()) {
    for (std::size_t i = 0; i < commands_.size(); ++i) {
        const ScriptCommand& c = commands_[i];
        switch (c.kind) {
        case ScriptCommand::Kind::Tap:
            steps_.push_back({Step::Action::Down, 0, c.from, i});
            steps_.push_back({Step::Action::Up, kTapDuration, c.from, i});
            break;
        case ScriptCommand::Kind::Swipe:
            steps_.push_back({Step::Action::Down, 0, c.from, i});
            for (int k = 1; k <= kSwipeMoves; ++k) {
                const double f = static_cast<double>(k) / kSwipeMoves;
                const Point p{c.from.x + (c.to.x - c.from.x) * f,
                              c.from.y + (c.to.y - c.from.y) * f};
                steps_.push_back({Step::Action::Move, kSwipeDuration / kSwipeMoves, p, i});
            }
            steps_.push_back({Step::Action::Up, 0, c.to, i});
            break;
        case ScriptCommand::Kind::Wait:
            steps_.push_back({Step::Action::Pause, c.seconds, {}, i});
            break;
        default:
            steps_.push_back({Step::Action::Command, 0, {}, i});
            break;
        }
    }
}

void ScriptRunner::start(double now) {
    next_ = 0;
    failed_ = false;
    failure_.clear();
    nextTime_ = now + (steps_.empty() ? 0 : steps_.front().delay);
}

void ScriptRunner::fail(const ScriptCommand& command, const std::string& message) {
    failed_ = true;
    failure_ = "script:" + std::to_string(command.line) + ": " + message;
}

void ScriptRunner::step(Application& app) {
    if (isFinished())
        return;
    const Step& s = steps_[next_++];
    switch (s.action) {
    case Step::Action::Down:
        app.touchDown(s.point);
        break;
    case Step::Action::Move:
        app.touchMove(s.point);
        break;
    case Step::Action::Up:
        app.touchUp(s.point);
        break;
    case Step::Action::Pause:
        break;
    case Step::Action::Command:
        run(app, commands_[s.command]);
        break;
    }
    if (next_ < steps_.size())
        nextTime_ += steps_[next_].delay;
}

void ScriptRunner::run(Application& app, const ScriptCommand& c) {
    std::string error;
    switch (c.kind) {
    case ScriptCommand::Kind::Key:
        app.key(c.text);
        break;
    case ScriptCommand::Kind::Scroll:
        app.scroll(c.from, c.notches.x, c.notches.y);
        break;
    case ScriptCommand::Kind::Pick:
    case ScriptCommand::Kind::Cancel:
    case ScriptCommand::Kind::Alert: {
        auto responder = app.frontResponder();
        if (!responder) {
            fail(c,
                 c.kind == ScriptCommand::Kind::Alert ? "no alert is open" : "no picker is open");
            return;
        }
        bool ok = false;
        if (c.kind == ScriptCommand::Kind::Pick)
            ok = responder->pick(c.text, error);
        else if (c.kind == ScriptCommand::Kind::Cancel)
            ok = responder->cancel(error);
        else
            ok = responder->pressAlertButton(c.index, error);
        if (!ok)
            fail(c, error.empty() ? "the open picker or alert refused" : error);
        break;
    }
    case ScriptCommand::Kind::Shot: {
        const std::filesystem::path path(c.text);
        std::error_code ec;
        if (path.has_parent_path())
            std::filesystem::create_directories(path.parent_path(), ec);
        auto image = app.snapshot(shotScale_);
        if (!image || !image->writePng(path))
            fail(c, "cannot write " + c.text);
        break;
    }
    case ScriptCommand::Kind::Quit:
        app.quit();
        break;
    default:
        break;
    }
}

} // namespace platform
