#pragma once

namespace platform {

// Blend modes under the platform's numbers. The separable and non-separable modes are those
// of the PDF imaging model; the Porter-Duff ones work on premultiplied colours.
enum class BlendMode : int {
    Normal = 0,
    Multiply = 1,
    Screen = 2,
    Overlay = 3,
    Darken = 4,
    Lighten = 5,
    ColorDodge = 6,
    ColorBurn = 7,
    SoftLight = 8,
    HardLight = 9,
    Difference = 10,
    Exclusion = 11,
    Hue = 12,
    Saturation = 13,
    Color = 14,
    Luminosity = 15,
    Clear = 16,
    Copy = 17,
    SourceIn = 18,
    SourceOut = 19,
    SourceAtop = 20,
    DestinationOver = 21,
    DestinationIn = 22,
    DestinationOut = 23,
    DestinationAtop = 24,
    Xor = 25,
    PlusDarker = 26,
    PlusLighter = 27,
};

// The mode for a platform number; unknown numbers give Normal.
BlendMode blendModeFromNumber(int number);

} // namespace platform
