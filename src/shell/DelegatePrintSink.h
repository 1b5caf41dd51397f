#pragma once

#include "capture/PrintInputs.h"
#include "capture/PrintSink.h"

#include "platform/graphics/Image.h"

#include <string>

class MorvaneAppDelegate;

// Where both shutter paths send a finished print: the two files and the print list through
// the camera's print lists, then the photo album, whose answer goes to `completion`. The
// composer names a print after the second it was made; two prints in one second would share
// that name and the second would overwrite the first, so the store picks a free name and the
// full-size file follows it.
class DelegatePrintSink : public PrintSink {
public:
    DelegatePrintSink(MorvaneAppDelegate& delegate, Completion completion);

    void saveImageWithName(const platform::ImageRef& image, const std::string& name) override;
    void saveImage2WithName(const platform::ImageRef& image, const std::string& name) override;
    void writeToSavedPhotosAlbum(const platform::ImageRef& image) override;

    // The camera's settings and strip positions at this moment, as a print reads them.
    static PrintInputs inputsFrom(const MorvaneAppDelegate& delegate);

private:
    MorvaneAppDelegate& delegate_;
    Completion completion_;
    // The name the small print was stored under; empty until then.
    std::string storedName_;
};
