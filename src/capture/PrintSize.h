#pragma once

#include <string_view>

// The pixel sides of a print, which depend on the print quality preference and on the
// hardware model: the first two phone models have a smaller camera and less memory.
struct PrintSize {
    int printSide = 750; // side of the full-size print, pixels
    int cropSide = 1500; // side of the square cut from a camera still, pixels

    // An empty model text (the model query failed) counts as any other model.
    static PrintSize forModel(bool isHighQuality, std::string_view platformString);

    // Side in pixels of the square a library photograph is prepared as, whatever the quality.
    static int librarySquareSide(std::string_view platformString);

    // True for exactly "iPhone1,1" and "iPhone1,2".
    static bool isFirstGenerationModel(std::string_view platformString);

    friend bool operator==(const PrintSize&, const PrintSize&) = default;
};
