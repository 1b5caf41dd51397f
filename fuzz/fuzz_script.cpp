// A headless script is whatever file or pipe the user hands the camera.
#include "hardening/ScriptCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem = hardening::checkScript(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "fuzz_script: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
