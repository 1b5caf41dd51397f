// Property lists arrive from files the camera does not control: the lists in Documents may be
// edited, truncated or replaced by anything.
#include "hardening/PropertyListCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem = hardening::checkPropertyList(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "fuzz_property_list: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
