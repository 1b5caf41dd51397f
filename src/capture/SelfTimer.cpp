#include "capture/SelfTimer.h"

#include <algorithm>

namespace {

using platform::Rect;

// Points, over the 320 by 320 picture area.
constexpr Rect kCountdownFrame{110, 100, 100, 120};
constexpr Rect kNoteFrame{60, 262, 200, 36};
constexpr double kCountdownSize = 96;
constexpr double kNoteSize = 20;
// The lamp is dark for this part of each second, then lit again.
constexpr double kBlinkSeconds = 0.5;
// Light lettering on a dim plate reads over any picture.
constexpr platform::Color kPlate{0, 0, 0, 0.45};

std::shared_ptr<platform::Label> makeLabel(Rect frame, const std::string& font, double size) {
    auto label = std::make_shared<platform::Label>(frame);
    label->setFontName(font);
    label->setFontSize(size);
    label->setTextColor(platform::Color::white());
    label->setTextAlignment(platform::TextAlignment::Center);
    label->setBackgroundColor(kPlate);
    return label;
}

} // namespace

int SelfTimer::nextDelay(int seconds) {
    const auto at = std::find(kDelays.begin(), kDelays.end(), seconds);
    if (at == kDelays.end() || at + 1 == kDelays.end())
        return at == kDelays.end() ? kDelays[1] : kDelays[0];
    return *(at + 1);
}

int SelfTimer::checkedDelay(long long seconds) {
    return std::find(kDelays.begin(), kDelays.end(), seconds) != kDelays.end()
               ? static_cast<int>(seconds)
               : 0;
}

SelfTimer::SelfTimer(Stage stage)
    : stage_(std::move(stage)),
      countdown_(makeLabel(kCountdownFrame, stage_.fontName, kCountdownSize)),
      note_(makeLabel(kNoteFrame, stage_.fontName, kNoteSize)) {}

// On the overlay only while shown, so the screen is built as before until the timer is used;
// brought to the top each time, over whatever has come onto the overlay since.
void SelfTimer::show(const std::shared_ptr<platform::Label>& label) {
    if (stage_.overlay)
        stage_.overlay->addSubview(label);
}

bool SelfTimer::start(int seconds, std::function<void()> shoot) {
    if (seconds <= 0 || !shoot)
        return false;
    cancel();
    shoot_ = std::move(shoot);
    remaining_ = seconds;
    if (stage_.lamp)
        lampWasHidden_ = stage_.lamp->isHidden();
    note_->removeFromSuperview();
    show(countdown_);
    tick();
    return true;
}

void SelfTimer::tick() {
    if (remaining_ <= 0) {
        finish();
        return;
    }
    countdown_->setText(std::to_string(remaining_));
    if (stage_.lamp) {
        stage_.lamp->setHidden(true);
        const std::weak_ptr<SelfTimer> weak = weak_from_this();
        blinkTimer_ = platform::Timer::scheduledTimer(kBlinkSeconds, [weak] {
            if (auto self = weak.lock())
                self->stage_.lamp->setHidden(self->lampWasHidden_);
        });
    }
    const std::weak_ptr<SelfTimer> weak = weak_from_this();
    tickTimer_ = platform::Timer::scheduledTimer(1.0, [weak] {
        if (auto self = weak.lock()) {
            --self->remaining_;
            self->tick();
        }
    });
}

void SelfTimer::finish() {
    // Done with before the shot, which may start another countdown at once.
    const auto shoot = shoot_;
    cancel();
    if (shoot)
        shoot();
}

bool SelfTimer::cancel() {
    invalidate(tickTimer_);
    invalidate(blinkTimer_);
    const bool wasCounting = isCounting();
    shoot_ = nullptr;
    if (wasCounting && stage_.lamp)
        stage_.lamp->setHidden(lampWasHidden_);
    countdown_->removeFromSuperview();
    remaining_ = 0;
    return wasCounting;
}

void SelfTimer::showNote(const std::string& text) {
    invalidate(noteTimer_);
    note_->setText(text);
    show(note_);
    const std::weak_ptr<SelfTimer> weak = weak_from_this();
    noteTimer_ = platform::Timer::scheduledTimer(kNoteSeconds, [weak] {
        if (auto self = weak.lock())
            self->note_->removeFromSuperview();
    });
}

void SelfTimer::invalidate(std::shared_ptr<platform::Timer>& timer) {
    if (timer)
        timer->invalidate();
    timer = nullptr;
}
