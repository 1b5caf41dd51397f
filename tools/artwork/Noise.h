#pragma once

#include <cstdint>

namespace artwork {

// A small deterministic generator: every picture comes out the same on every machine and
// every run, which a standard library distribution does not promise.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    // Uniform in [0, 1).
    double uniform();
    double uniform(double low, double high) { return low + (high - low) * uniform(); }

private:
    std::uint64_t state_;
};

// Smooth value noise in [0, 1], a pure function of its coordinates and seed.
double valueNoise(double x, double y, std::uint32_t seed);
// Sum of octaves of value noise, each twice as fine and half as strong; in [0, 1].
double fractalNoise(double x, double y, int octaves, std::uint32_t seed);

} // namespace artwork
