#pragma once
// The samples of the last block and its spectrum. A block fills words 0..499;
// sample i is byte 2i + 256 * byte 2i+1, a 10-bit reading worth 9.765625 mV.

#include <array>
#include <cstdint>

using SampleBuffer = std::array<std::uint16_t, 1000>;
using Spectrum = std::array<std::int32_t, 500>;

inline constexpr int BlockSamples = 500;            // samples of a whole block
inline constexpr double VoltsPerStep = 0.009765625; // 10 V / 1024: a binary fraction, written exactly
