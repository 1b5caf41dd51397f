#include "capture/FilmNames.h"

#include <cctype>

namespace {

std::string folded(std::string_view text) {
    std::string key;
    for (const char c : text)
        if (std::isalnum(static_cast<unsigned char>(c)))
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

// A number is taken only as plain decimal digits, so "1e1" or " 3" is no look.
std::optional<int> plainNumber(std::string_view text) {
    if (text.empty() || text.size() > 3)
        return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

template <std::size_t N>
std::optional<int> numberIn(const std::array<std::string_view, N>& names, int first,
                            std::string_view nameOrNumber) {
    if (const auto number = plainNumber(nameOrNumber))
        return *number >= first && *number < first + int(N) ? number : std::nullopt;
    const std::string key = folded(nameOrNumber);
    for (std::size_t i = 0; i < N && !key.empty(); ++i)
        if (folded(names[i]) == key)
            return first + int(i);
    return std::nullopt;
}

template <std::size_t N>
std::string listOf(const std::array<std::string_view, N>& names, int first) {
    std::string list;
    for (std::size_t i = 0; i < N; ++i)
        list += (i ? ", " : "") + std::to_string(first + int(i)) + " " + std::string(names[i]);
    return list;
}

} // namespace

std::optional<int> FilmNames::lookNumber(std::string_view nameOrNumber) {
    return numberIn(kLooks, 1, nameOrNumber);
}

std::optional<int> FilmNames::frameNumber(std::string_view nameOrNumber) {
    return numberIn(kFrames, 0, nameOrNumber);
}

std::string FilmNames::lookList() {
    return listOf(kLooks, 1);
}

std::string FilmNames::frameList() {
    return listOf(kFrames, 0);
}
