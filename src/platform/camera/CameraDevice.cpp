#include "platform/camera/CameraDevice.h"

#include <algorithm>
#include <cctype>

namespace platform {

namespace {

bool equalIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

bool CameraDevice::isCalled(const std::string& text) const {
    return !text.empty() && ((!path.empty() && text == path) || equalIgnoringCase(text, name));
}

bool CameraDevice::isSameCamera(const CameraDevice& other) const {
    if (handle || other.handle)
        return handle == other.handle;
    return name == other.name && path == other.path && stack == other.stack;
}

} // namespace platform
