#include "prints/PaperPrinter.h"

#include "platform/printing/PaperJob.h"
#include "platform/ui/RunLoop.h"

#include <cstdio>
#include <thread>

namespace {

using platform::Rect;

// Points: a strip along the top of the 320 by 320 picture area, clear of the self-timer's.
constexpr Rect kNoteFrame{20, 10, 280, 28};
constexpr double kNoteSize = 15;
constexpr platform::Color kPlate{0, 0, 0, 0.55};
// How long a note stays: good news briefly, trouble long enough to be read.
constexpr double kPrintedSeconds = 4;
constexpr double kTroubleSeconds = 10;

} // namespace

PaperPrinter::PaperPrinter(std::string printer) : printer_(std::move(printer)) {}

void PaperPrinter::setOverlay(std::shared_ptr<platform::View> overlay,
                              const std::string& fontName) {
    overlay_ = std::move(overlay);
    note_ = std::make_shared<platform::Label>(kNoteFrame);
    note_->setFontName(fontName);
    note_->setFontSize(kNoteSize);
    note_->setTextColor(platform::Color::white());
    note_->setTextAlignment(platform::TextAlignment::Center);
    note_->setBackgroundColor(kPlate);
}

std::string PaperPrinter::noteText() const {
    return note_ && note_->superview() ? note_->text() : std::string();
}

void PaperPrinter::showNote(const std::string& text, double seconds) {
    if (!note_ || !overlay_)
        return;
    note_->setText(text);
    // Brought to the top each time, over whatever came onto the overlay since.
    overlay_->addSubview(note_);
    hideTimer_ = seconds > 0 ? platform::Timer::scheduledTimer(
                                   seconds, [note = note_] { note->removeFromSuperview(); })
                             : nullptr;
}

void PaperPrinter::say(const std::string& text) {
    showNote(text, kTroubleSeconds);
}

void PaperPrinter::print(platform::ImageRef print, std::shared_future<bool> ready) {
    if (!isSet() || !print)
        return;
    showNote("Printing...", 0);
    platform::RunLoop::AsyncWork work = platform::RunLoop::main().beginAsyncWork();
    const std::weak_ptr<PaperPrinter> weak = weak_from_this();
    std::thread([work = std::move(work), print = std::move(print), ready = std::move(ready),
                 printer = printer_, weak]() mutable {
        if (ready.valid() && !ready.get()) {
            work.finish([weak] {
                if (auto self = weak.lock())
                    self->showNote("Not printed: the print was not saved", kTroubleSeconds);
            });
            return;
        }
        platform::PaperJob::Options options;
        options.printer = printer;
        options.jobName = "Morvane print";
        const auto sent = platform::PaperJob::send(*print, options);
        const std::string reason = platform::PaperJob::reasonText(sent.printerReasons);
        work.finish([weak, sent, reason] {
            if (auto self = weak.lock())
                self->handedOver(sent.jobId, sent.error, reason);
        });
    }).detach();
}

void PaperPrinter::handedOver(int jobId, const std::string& error, const std::string& reason) {
    if (jobId == 0) {
        // The reason names the printer; a line of its own keeps both within a terminal's width.
        std::fprintf(stderr, "morvane: not printed on paper (the print is kept):\n  %s\n",
                     error.c_str());
        showNote("Printer unreachable: print kept", kTroubleSeconds);
        return;
    }
    std::fprintf(stderr, "morvane: paper print is job %d on %s\n", jobId, printer_.c_str());
    showNote(reason.empty() ? "Printing..." : reason, 0);
    watch(jobId, platform::RunLoop::main().now() + kWatchSeconds);
}

// Asks after the job now and then, on a worker thread each time, until it ends or the watch
// runs out; each answer comes back as work in flight, so a headless run sees the same order.
void PaperPrinter::watch(int jobId, double until) {
    const std::weak_ptr<PaperPrinter> weak = weak_from_this();
    pollTimer_ = platform::Timer::scheduledTimer(kPollSeconds, [weak, jobId, until] {
        auto self = weak.lock();
        if (!self)
            return;
        platform::RunLoop::AsyncWork work = platform::RunLoop::main().beginAsyncWork();
        std::thread([work = std::move(work), printer = self->printer_, weak, jobId,
                     until]() mutable {
            const auto status = platform::PaperJob::status(printer, jobId);
            work.finish([weak, status, jobId, until] {
                auto self = weak.lock();
                if (!self)
                    return;
                const std::string reason = platform::PaperJob::reasonText(status.reasons);
                if (status.state == 9) {
                    std::fprintf(stderr, "morvane: job %d printed\n", jobId);
                    self->showNote("Printed", kPrintedSeconds);
                    return;
                }
                if (status.isFinal()) {
                    std::fprintf(stderr, "morvane: job %d not printed%s%s\n", jobId,
                                 reason.empty() ? "" : ": ", reason.c_str());
                    self->showNote(reason.empty() ? "Not printed" : reason, kTroubleSeconds);
                    return;
                }
                if (status.state == 0)
                    self->showNote("Printer unreachable", 0);
                else
                    self->showNote(reason.empty() ? "Printing..." : reason, 0);
                if (platform::RunLoop::main().now() < until)
                    self->watch(jobId, until);
                else if (self->note_)
                    self->note_->removeFromSuperview();
            });
        }).detach();
    });
}
