#pragma once
// The samples of the last block and its spectrum. A block fills words 0..499;
// sample i is byte 2i + 256 * byte 2i+1, a 10-bit reading worth 9.765625 mV.

#include <array>
#include <cstdint>

using SampleBuffer = std::array<std::uint16_t, 1000>;
using Spectrum = std::array<std::int32_t, 500>;
