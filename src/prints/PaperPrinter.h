#pragma once

#include "platform/graphics/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/Timer.h"

#include <functional>
#include <future>
#include <memory>
#include <string>

// Sends full-size prints to a paper printer without ever holding up the camera: each job is
// laid out and handed over on a worker thread, and what becomes of it is shown in a small note
// over the picture area and said on standard error. A job being handed over counts as the run
// loop's work in flight, so closing the camera waits for it (within the loop's bound) and a
// headless run's virtual clock does not move on without it. A printer that cannot be reached
// costs only the paper copy: the print itself is kept elsewhere before it is sent.
class PaperPrinter : public std::enable_shared_from_this<PaperPrinter> {
public:
    // `printer` is a CUPS queue name or an ipp:// / ipps:// address; empty sends nothing.
    explicit PaperPrinter(std::string printer);

    const std::string& printer() const { return printer_; }
    bool isSet() const { return !printer_.empty(); }
    // Where the note goes (its top, over the picture area) and its lettering.
    void setOverlay(std::shared_ptr<platform::View> overlay, const std::string& fontName);

    // Sends `print` once `ready` says true (the print is safe on disk); a false, or no print,
    // sends nothing. Call on the main thread.
    void print(platform::ImageRef print, std::shared_future<bool> ready = {});

    // Shows a passing note of the printer's kind (how to choose a printer, a print missing).
    void say(const std::string& text);
    // The note's text now; empty while none shows.
    std::string noteText() const;

    // Seconds between asking a printer how a job is going, and how long to keep asking.
    static constexpr double kPollSeconds = 2;
    static constexpr double kWatchSeconds = 300;

private:
    void showNote(const std::string& text, double seconds);
    void handedOver(int jobId, const std::string& error, const std::string& reason);
    void watch(int jobId, double until);

    std::string printer_;
    std::shared_ptr<platform::View> overlay_;
    std::shared_ptr<platform::Label> note_;
    std::shared_ptr<platform::Timer> hideTimer_;
    std::shared_ptr<platform::Timer> pollTimer_;
};
