#pragma once

#include "capture/PrintInputs.h"

#include "platform/graphics/Image.h"

#include <functional>
#include <memory>
#include <string>

// The live picture as the print will have it: the camera's square through the chosen film
// look, under the chosen film frame and, when prints are dated, the date, made by the composer
// that makes the print, at the size the picture is shown. Main thread only.
class LiveLook {
public:
    LiveLook() = default;
    // The inputs it holds load film frames through this object.
    LiveLook(const LiveLook&) = delete;
    LiveLook& operator=(const LiveLook&) = delete;

    // What a print would be made with now: the strips' offsets choose the look and the frame.
    void setInputs(PrintInputs inputs);

    // The square at the top of `portrait` (upright, as shown; at least as many rows as it is
    // wide) as that print: width by width pixels, upright. nullptr when it cannot be made.
    platform::ImageRef squareOf(const platform::Image& portrait);

    // A treatment for the camera's preview that asks `look` as it stands at each frame.
    static std::function<platform::ImageRef(const platform::Image&)>
    treatment(const std::shared_ptr<LiveLook>& look);

private:
    // The film frame of that name, loaded once while it stays the one shown: a frame shrunk
    // to the same size again is remembered with its picture, so only the first frame pays.
    platform::ImageRef filmFrame(const std::string& name);

    PrintInputs inputs_;
    std::function<platform::ImageRef(const std::string&)> loadFilmFrame_;
    std::string frameName_;
    platform::ImageRef frame_;
    bool frameLoaded_ = false;
};
