#include "platform/graphics/LargeMemory.h"

#include <cstdlib>

#include <sys/mman.h>

namespace platform {

namespace {

constexpr std::size_t kLine = 64;
constexpr std::size_t kHugePage = 2u * 1024 * 1024;

std::size_t roundUp(std::size_t bytes, std::size_t unit) {
    return (bytes + unit - 1) / unit * unit;
}

} // namespace

void* LargeMemory::allocate(std::size_t bytes) {
    if (bytes < kHugePage)
        return std::aligned_alloc(kLine, roundUp(bytes, kLine));
    const std::size_t whole = roundUp(bytes, kHugePage);
    void* memory = std::aligned_alloc(kHugePage, whole);
    // Only advice: where the kernel has no huge pages to give, the memory is as before.
    if (memory)
        ::madvise(memory, whole, MADV_HUGEPAGE);
    return memory;
}

} // namespace platform
