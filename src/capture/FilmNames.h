#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

// The names people know the looks and the frames by: a look's name is the one its label on
// the film strip carries, and a frame's says what its window is like. A name is matched
// whatever its case and ignoring everything but letters and digits, so "b&w", "BW" and "B&W"
// are one look.
class FilmNames {
public:
    static constexpr std::array<std::string_view, 10> kLooks = {
        "Blue", "Contrast", "B&W", "Sepia", "Slate", "Rainbow", "Vintage", "Red", "Color", "Green"};
    // 0 a square window in an even border, 1 a rounded window over the wide bottom border of
    // an instant print, 2 a strip of 35 mm film with its sprocket holes.
    static constexpr std::array<std::string_view, 3> kFrames = {"Square", "Instant", "Film"};

    // The look numbered 1 to 10 that a name or a number stands for; nullopt for neither.
    static std::optional<int> lookNumber(std::string_view nameOrNumber);
    // The frame numbered 0 to 2 that a name or a number stands for; nullopt for neither.
    static std::optional<int> frameNumber(std::string_view nameOrNumber);

    // "1 Blue, 2 Contrast, ...": every look with its number, for help and messages.
    static std::string lookList();
    static std::string frameList();
};
