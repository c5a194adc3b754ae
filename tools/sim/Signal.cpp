#include "Signal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Repeatable noise: the same instant always gives the same value.
double NoiseAt(std::uint32_t seed, double t) {
    auto x = std::uint64_t(std::llround(t * 1e7)) ^ (std::uint64_t(seed) << 32);
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    x ^= x >> 33;
    return double(x >> 11) / double(1ULL << 53) * 2 - 1;
}

} // namespace

double Volts(const SignalShape& s, double t) {
    const double phase = 2 * std::numbers::pi * s.frequency * t;
    double unit = 0;
    if (s.kind == "square")
        unit = std::sin(phase) >= 0 ? 1 : -1;
    else if (s.kind == "triangle")
        unit = 2 / std::numbers::pi * std::asin(std::sin(phase));
    else if (s.kind == "noise")
        unit = NoiseAt(s.seed, t);
    else
        unit = std::sin(phase);
    return s.offset + s.amplitude * unit;
}

double ConverterNoise(const SignalShape& s, double t) {
    return s.noise == 0 ? 0 : s.noise * NoiseAt(~s.seed, t);
}

std::uint16_t Counts(double volts) {
    return std::uint16_t(std::clamp(std::lround(volts / 10 * 1024), 0L, 1023L));
}
