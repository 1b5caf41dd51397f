#include "platform/printing/PrinterDirectory.h"

#include <cups/cups.h>

namespace platform {

namespace {

// Network printers take a moment to answer a search; a second finds those on the local link.
constexpr int kSearchMilliseconds = 1500;

int collect(void* context, unsigned flags, cups_dest_t* dest) {
    if (flags & CUPS_DEST_FLAGS_REMOVED)
        return 1;
    auto& entries = *static_cast<std::vector<PrinterDirectory::Entry>*>(context);
    PrinterDirectory::Entry entry;
    entry.name = dest->name;
    if (const char* info = cupsGetOption("printer-info", dest->num_options, dest->options))
        entry.description = info;
    else if (const char* model =
                 cupsGetOption("printer-make-and-model", dest->num_options, dest->options))
        entry.description = model;
    entry.isDefault = dest->is_default != 0;
    for (const auto& known : entries) {
        if (known.name == entry.name)
            return 1;
    }
    entries.push_back(entry);
    return 1;
}

} // namespace

std::vector<PrinterDirectory::Entry> PrinterDirectory::list(std::string& error) {
    std::vector<Entry> entries;
    if (!cupsEnumDests(CUPS_DEST_FLAGS_NONE, kSearchMilliseconds, nullptr, 0, 0, collect,
                       &entries)) {
        // The library's own text is often a bare errno ("Bad file descriptor" when no scheduler
        // runs), which alone tells a user nothing.
        const std::string detail = cupsLastErrorString() ? cupsLastErrorString() : "";
        error = "the printing system (CUPS) did not answer" +
                (detail.empty() ? std::string() : " (" + detail + ")");
    }
    return entries;
}

} // namespace platform
