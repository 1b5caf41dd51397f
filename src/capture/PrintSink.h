#pragma once

#include "platform/graphics/Image.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

// Where a finished print goes. The composer calls these in this order, once each per print:
// the small print with its name (the print list's new entry), the full-size print with its
// name, then the full-size print to the photo album. Each entry point supplies its own sink,
// which also decides who hears of the album write's completion.
class PrintSink {
public:
    virtual ~PrintSink() = default;

    // The 250 by 250 print under the print name ("<seconds>.jpg").
    virtual void saveImageWithName(const platform::ImageRef& image, const std::string& name) = 0;
    // The full-size print under "big_" and the print name.
    virtual void saveImage2WithName(const platform::ImageRef& image, const std::string& name) = 0;
    // The full-size print for the photo album. Returns once the write is requested.
    virtual void writeToSavedPhotosAlbum(const platform::ImageRef& image) = 0;

    // The album's answer: the saved picture and, for a failed save, what went wrong.
    using Completion =
        std::function<void(const platform::ImageRef& image, const std::optional<std::string>&)>;
    // Makes the sink one print goes to, telling `completion` of the album's answer.
    using Factory = std::function<std::unique_ptr<PrintSink>(Completion completion)>;
};
