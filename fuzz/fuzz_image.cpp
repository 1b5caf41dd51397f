// Pictures come from the photo library and from picture files named on the command line: any
// bytes at all.
#include "hardening/ImageCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem = hardening::checkImage(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "fuzz_image: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
