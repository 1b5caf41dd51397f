#pragma once

#include <string>
#include <string_view>

namespace platform {

// Text bytes in the Mac Roman encoding, which is how the platform's text calls read the bytes
// they are given. ASCII passes through unchanged.
class MacRoman {
public:
    // UTF-8 for the bytes. NUL bytes are dropped, since Cairo's text calls stop at them.
    static std::string toUtf8(std::string_view bytes);
};

} // namespace platform
