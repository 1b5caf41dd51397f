#include "shell/PrintJobs.h"

#include "platform/graphics/DecodeRequest.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/JpegCodec.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <thread>

std::uint64_t PrintJobs::bytesFor(const platform::PictureHeader& photo, int squareSide,
                                  int printSide) {
    using Kind = platform::PictureHeader::Kind;
    std::uint64_t pixels = 0;
    // A JPEG or WebP photo is read reduced when that still gives the square.
    if (photo.kind == Kind::Jpeg || photo.kind == Kind::Webp) {
        platform::DecodeRequest request;
        request.maxPixels = platform::Image::kMaxPixels;
        request.maxSide = platform::Image::kMaxSide;
        request.workingPixels = platform::Image::kWorkingPixels;
        request.shortSide = squareSide;
        const auto scale = platform::JpegCodec::chooseScale(photo.width, photo.height, request);
        if (scale.denominator == 0)
            return 0;
        pixels = std::uint64_t(scale.width) * std::uint64_t(scale.height);
    } else {
        pixels = std::uint64_t(photo.width) * std::uint64_t(photo.height);
        if (pixels > std::uint64_t(platform::Image::kMaxPixels) ||
            std::max(photo.width, photo.height) > platform::Image::kMaxSide)
            return 0;
        // libheif hands over its own copy of the pixels, which is then turned into ours.
        if (photo.kind == Kind::Heif)
            pixels *= 2;
    }
    if (photo.fileBytes > platform::Image::kMaxFileBytes)
        return 0;
    const std::uint64_t square = std::uint64_t(squareSide) * std::uint64_t(squareSide) * 4;
    const std::uint64_t print = std::uint64_t(printSide) * std::uint64_t(printSide) * 4;
    // The print, the look's picture and the film frame stretched over it; three encoders (one
    // making, two writing) whose output at quality 100 stays under a print's raw size.
    return photo.fileBytes + pixels * 4 + square + 3 * print + 3 * print;
}

std::optional<std::uint64_t> PrintJobs::availableIn(const std::string& meminfo) {
    std::istringstream lines(meminfo);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string name, unit;
        std::uint64_t amount = 0;
        if (!(words >> name >> amount) || name != "MemAvailable:")
            continue;
        words >> unit;
        return unit == "kB" ? amount * 1024 : amount;
    }
    return std::nullopt;
}

std::optional<std::uint64_t> PrintJobs::available() {
    std::ifstream in("/proc/meminfo");
    std::stringstream text;
    text << in.rdbuf();
    return availableIn(text.str());
}

std::size_t PrintJobs::choose(std::size_t cores, std::size_t photos,
                              std::optional<std::uint64_t> available, std::uint64_t perJob) {
    std::size_t jobs = std::min(std::max<std::size_t>(cores, 1), std::max<std::size_t>(photos, 1));
    if (available && perJob > 0)
        jobs = std::min<std::uint64_t>(jobs, *available / 4 * 3 / perJob);
    return std::max<std::size_t>(jobs, 1);
}

std::size_t PrintJobs::forPhotos(const std::vector<std::filesystem::path>& photos, int squareSide,
                                 int printSide) {
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    if (cores == 1 || photos.size() <= 1)
        return 1;
    std::uint64_t largest = 0;
    for (const auto& photo : photos)
        if (const auto header = platform::PictureHeader::read(photo))
            largest = std::max(largest, bytesFor(*header, squareSide, printSide));
    return choose(cores, photos.size(), available(), largest);
}
