#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

// A sheet size by its IPP name ("na_index-4x6_4x6in"), in millimetres.
struct MediaSize {
    std::string name;
    double width = 0;
    double height = 0;

    // The size a self-describing media name states; none for a name that states none.
    static std::optional<MediaSize> named(const std::string& name);
    // The sheet a photo print goes on: a square photo size where the printer offers one (an
    // instant print is square), else 10x15 cm / 4x6 in, else 5x7 in, else the printer's own
    // default, else the first size it names.
    static std::optional<MediaSize> photoMedia(const std::vector<std::string>& supported,
                                               const std::string& defaultName);
};

} // namespace platform
