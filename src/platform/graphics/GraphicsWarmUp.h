#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace platform {

// What the first print would otherwise pay for, done ahead: fontconfig's set-up and the
// fonts matched and loaded, Cairo's and the JPEG coder's first-use set-up, the blend code
// paged in, and pictures read into the decoded-picture cache. Safe to run on any thread,
// at any time, any number of times; meant for a worker thread at launch.
class GraphicsWarmUp {
public:
    // fontNames: fonts text will be drawn in. picturePaths: picture files to decode now.
    static void run(const std::vector<std::string>& fontNames,
                    const std::vector<std::filesystem::path>& picturePaths = {});
};

} // namespace platform
