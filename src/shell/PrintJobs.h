#pragma once

#include "platform/graphics/PictureHeader.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// How many photos a batch prints at once when it is not told: one per core, as long as the
// memory free for them holds that many of the largest photo's print. A batch of 100-megapixel
// PNG files on a small machine would otherwise have every core decode one and swap, or be
// killed for want of memory, part way through.
class PrintJobs {
public:
    // The memory one job holds at most, in bytes, to print a photo with this header: the
    // file's bytes, the pixels as the print reads them (a large JPEG reduced as far as the
    // square allows), the square squareSide pixels a side, the print printSide a side with
    // the pictures composing it, and the encoded files of the print waiting to be written.
    // 0 for a photo that is refused before it is decoded.
    static std::uint64_t bytesFor(const platform::PictureHeader& photo, int squareSide,
                                  int printSide);

    // MemAvailable from the text of /proc/meminfo, in bytes; nullopt when it is not there.
    static std::optional<std::uint64_t> availableIn(const std::string& meminfo);
    // The same from this machine's /proc/meminfo.
    static std::optional<std::uint64_t> available();

    // cores jobs, no more than there are photos, and no more than three quarters of the
    // available memory holds at perJob bytes each (the rest stays with everything else); at
    // least one. Unknown available memory bounds nothing.
    static std::size_t choose(std::size_t cores, std::size_t photos,
                              std::optional<std::uint64_t> available, std::uint64_t perJob);

    // choose() for these photos on this machine, perJob from the largest of them.
    static std::size_t forPhotos(const std::vector<std::filesystem::path>& photos, int squareSide,
                                 int printSide);
};
