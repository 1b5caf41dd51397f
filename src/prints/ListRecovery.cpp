#include "prints/ListRecovery.h"

#include "prints/PrintStore.h"

#include "platform/foundation/FileManager.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string stamp(std::chrono::system_clock::time_point now) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

std::chrono::system_clock::time_point modificationTime(const fs::path& path) {
    std::error_code error;
    const auto written = fs::last_write_time(path, error);
    if (error)
        return std::chrono::system_clock::now();
    return std::chrono::time_point_cast<std::chrono::system_clock::duration>(
        std::chrono::file_clock::to_sys(written));
}

} // namespace

std::optional<fs::path> ListRecovery::setAside(const fs::path& file,
                                               std::chrono::system_clock::time_point now) {
    const std::string base = file.filename().string() + ".damaged-" + stamp(now);
    for (int copy = 1; copy < 100; ++copy) {
        const fs::path target =
            file.parent_path() / (copy == 1 ? base : base + "-" + std::to_string(copy));
        if (platform::FileManager::fileExists(target))
            continue;
        std::error_code error;
        fs::rename(file, target, error);
        if (!error)
            return target;
        // A file that cannot be moved (a read-only folder entry, say) is still kept whole.
        if (platform::FileManager::copyItem(file, target))
            return target;
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<long long> ListRecovery::printNumber(std::string_view name) {
    constexpr std::string_view kExtension = ".jpg";
    if (name.size() <= kExtension.size() || !name.ends_with(kExtension))
        return std::nullopt;
    const std::string_view digits = name.substr(0, name.size() - kExtension.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    long long number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return number;
}

std::size_t ListRecovery::takeBackUnlisted(List& prints, const fs::path& documents,
                                           std::size_t capacity) {
    std::set<std::string> listed;
    for (const auto& entry : prints)
        listed.insert(PrintStore::printName(entry));

    // Newest first: the numbers are the seconds the prints were made at.
    std::vector<std::pair<long long, std::string>> unlisted;
    std::error_code error;
    for (fs::directory_iterator item(documents, error), end; !error && item != end;
         item.increment(error)) {
        const std::string name = item->path().filename().string();
        const auto number = printNumber(name);
        if (!number || listed.count(name) || !item->is_regular_file(error))
            continue;
        if (fs::is_regular_file(documents / (PrintStore::kFullSizePrefix + name), error))
            unlisted.emplace_back(*number, name);
    }
    std::sort(unlisted.begin(), unlisted.end(), std::greater<>());

    std::size_t taken = 0;
    for (const auto& [number, name] : unlisted) {
        // Before the first entry that is older; entries whose names carry no number keep
        // their places.
        const auto at = std::find_if(prints.begin(), prints.end(), [&](const auto& entry) {
            const auto other = printNumber(PrintStore::printName(entry));
            return other && *other < number;
        });
        // Older than every print the list keeps: it would be evicted at once, so it is left
        // where it is, untouched.
        if (static_cast<std::size_t>(at - prints.begin()) >= capacity)
            continue;
        prints.insert(at, PrintStore::makePrintEntry(name, modificationTime(documents / name)));
        ++taken;
        // As if the print had been listed when it was made: the list's oldest goes.
        while (prints.size() > capacity) {
            const std::string evicted = PrintStore::printName(prints.back());
            if (!evicted.empty())
                PrintStore::removePrintFiles(evicted);
            prints.pop_back();
        }
    }
    return taken;
}
