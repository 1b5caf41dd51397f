#include "platform/printing/PrinterAttributes.h"

#include "platform/printing/PrinterConnection.h"

#include <cups/cups.h>

#include <algorithm>

namespace platform {

namespace {

std::vector<std::string> strings(ipp_t* answer, const char* name) {
    std::vector<std::string> values;
    if (ipp_attribute_t* attribute = ippFindAttribute(answer, name, IPP_TAG_ZERO)) {
        for (int i = 0; i < ippGetCount(attribute); ++i) {
            if (const char* value = ippGetString(attribute, i, nullptr))
                values.emplace_back(value);
        }
    }
    return values;
}

std::string string(ipp_t* answer, const char* name) {
    const auto values = strings(answer, name);
    return values.empty() ? std::string() : values.front();
}

} // namespace

std::optional<PrinterAttributes> PrinterAttributes::query(PrinterConnection& connection,
                                                          std::string& error) {
    static const char* const kWanted[] = {"printer-name",
                                          "printer-info",
                                          "printer-make-and-model",
                                          "media-default",
                                          "media-supported",
                                          "document-format-supported",
                                          "pwg-raster-document-type-supported",
                                          "pwg-raster-document-resolution-supported",
                                          "print-color-mode-supported",
                                          "print-quality-supported",
                                          "printer-state",
                                          "printer-state-reasons"};
    ipp_t* request = connection.newRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(std::size(kWanted)), nullptr, kWanted);
    ipp_t* answer = connection.send(request, error);
    if (!answer)
        return std::nullopt;
    PrinterAttributes printer;
    printer.name = string(answer, "printer-info");
    if (printer.name.empty())
        printer.name = string(answer, "printer-make-and-model");
    if (printer.name.empty())
        printer.name = string(answer, "printer-name");
    printer.mediaDefault = string(answer, "media-default");
    printer.mediaSupported = strings(answer, "media-supported");
    printer.documentFormats = strings(answer, "document-format-supported");
    printer.rasterTypes = strings(answer, "pwg-raster-document-type-supported");
    printer.colorModes = strings(answer, "print-color-mode-supported");
    printer.stateReasons = strings(answer, "printer-state-reasons");
    if (ipp_attribute_t* a = ippFindAttribute(answer, "pwg-raster-document-resolution-supported",
                                              IPP_TAG_RESOLUTION)) {
        for (int i = 0; i < ippGetCount(a); ++i) {
            int y = 0;
            ipp_res_t units{};
            const int x = ippGetResolution(a, i, &y, &units);
            printer.rasterResolutions.push_back(units == IPP_RES_PER_CM ? x * 254 / 100 : x);
        }
    }
    if (ipp_attribute_t* a = ippFindAttribute(answer, "print-quality-supported", IPP_TAG_ENUM)) {
        for (int i = 0; i < ippGetCount(a); ++i)
            printer.qualities.push_back(ippGetInteger(a, i));
    }
    if (ipp_attribute_t* a = ippFindAttribute(answer, "printer-state", IPP_TAG_ENUM))
        printer.state = ippGetInteger(a, 0);
    ippDelete(answer);
    return printer;
}

bool PrinterAttributes::takes(const std::string& format) const {
    return std::find(documentFormats.begin(), documentFormats.end(), format) !=
           documentFormats.end();
}

} // namespace platform
