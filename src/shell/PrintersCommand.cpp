#include "shell/PrintersCommand.h"

#include "shell/HelpFormatter.h"

#include "platform/printing/PhotoMedia.h"
#include "platform/printing/PrinterAttributes.h"
#include "platform/printing/PrinterConnection.h"
#include "platform/printing/PrinterDirectory.h"

#include <cmath>
#include <sstream>

namespace {

std::string millimetres(double value) {
    return std::to_string(static_cast<int>(std::lround(value)));
}

// One printer: its name as --printer takes it, what it is, and its paper.
bool describe(const std::string& name, const std::string& note, std::ostream& out,
              std::ostream& err) {
    std::string error;
    auto connection = platform::PrinterConnection::open(name, error);
    const auto printer =
        connection ? platform::PrinterAttributes::query(*connection, error) : std::nullopt;
    out << name << note << "\n";
    if (!printer) {
        err << HelpFormatter::wrap("morvane printers: " + name + ": " + error,
                                   HelpFormatter::kWidth)
            << "\n";
        return false;
    }
    if (!printer->name.empty())
        out << "  " << printer->name << (printer->state == 5 ? " (stopped)" : "") << "\n";
    const auto photo =
        platform::MediaSize::photoMedia(printer->mediaSupported, printer->mediaDefault);
    for (const auto& media : printer->mediaSupported) {
        const auto size = platform::MediaSize::named(media);
        std::string line = "  " + media;
        if (size)
            line += "  " + millimetres(size->width) + " x " + millimetres(size->height) + " mm";
        if (photo && photo->name == media)
            line += "  (photo prints)";
        out << line << "\n";
    }
    return true;
}

} // namespace

int PrintersCommand::run(const std::string& printer, std::ostream& out, std::ostream& err) {
    if (!printer.empty())
        return describe(printer, "", out, err) ? 0 : 1;
    std::string error;
    const auto entries = platform::PrinterDirectory::list(error);
    if (entries.empty()) {
        const std::string why =
            error.empty() ? "CUPS knows no printers. Add one in the desktop's printer settings, or"
                          : "No printers listed: " + error + ". Is it installed and running? Or";
        out << HelpFormatter::wrap(why + " name one by its address: morvane printers --printer "
                                         "ipp://HOST:631/ipp/print",
                                   HelpFormatter::kWidth)
            << "\n";
        return error.empty() ? 0 : 1;
    }
    bool any = false;
    for (const auto& entry : entries)
        any =
            describe(entry.name, entry.isDefault ? "  (the default printer)" : "", out, err) || any;
    out << "Choose one: morvane defaults write printer NAME (or --printer NAME once)\n";
    return any ? 0 : 1;
}
