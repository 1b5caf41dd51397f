#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

class PrinterConnection;

// What a printer says of itself that a photo print needs: its media, the document formats it
// takes, its colour and quality choices, and whether it is ready.
struct PrinterAttributes {
    std::string name;
    std::string mediaDefault;
    std::vector<std::string> mediaSupported;
    std::vector<std::string> documentFormats;
    // PWG raster: the pixel types (srgb_8, sgray_8...) and resolutions (dots per inch).
    std::vector<std::string> rasterTypes;
    std::vector<int> rasterResolutions;
    std::vector<std::string> colorModes;
    std::vector<int> qualities;
    // printer-state: 3 idle, 4 processing, 5 stopped.
    int state = 0;
    std::vector<std::string> stateReasons;

    // Asks the printer. None, with the reason in `error`, when it does not answer.
    static std::optional<PrinterAttributes> query(PrinterConnection& connection,
                                                  std::string& error);
    bool takes(const std::string& format) const;
};

} // namespace platform
