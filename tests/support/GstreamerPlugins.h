#pragma once

// Tests that send real frames through GStreamer need its plugins, which a build machine may
// lack: such tests derive their fixture from GstreamerPluginsTest (or call
// missingGstreamerPlugins), and skip, naming what is missing, where the plugins are not
// installed. scripts/install-deps installs them.

#include "platform/camera/Gstreamer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

// The elements these tests build pipelines from, each with the Debian package it comes in.
inline std::string missingGstreamerPlugins() {
    const std::pair<const char*, const char*> needed[] = {
        {"videotestsrc", "gstreamer1.0-plugins-base"},
        {"videoconvert", "gstreamer1.0-plugins-base"},
        {"appsink", "gstreamer1.0-plugins-base"},
        {"audiotestsrc", "gstreamer1.0-plugins-base"},
        {"decodebin", "gstreamer1.0-plugins-base"},
        {"valve", "libgstreamer1.0-0"},
    };
    std::string missing;
    for (const auto& [element, package] : needed)
        if (!platform::Gstreamer::hasElement(element))
            missing += std::string(missing.empty() ? "" : ", ") + element + " (" + package + ")";
    return missing;
}

class GstreamerPluginsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string missing = missingGstreamerPlugins(); !missing.empty())
            GTEST_SKIP() << "needs the GStreamer elements " << missing;
    }
};

// Real time passes while a pipeline runs on its own threads. Generous, since only a broken
// pipeline ever waits this long; nothing here measures time.
inline bool eventually(const std::function<bool()>& done, double seconds = 20) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}
