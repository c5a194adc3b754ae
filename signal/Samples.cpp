#include "Samples.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

int SampleToRow(std::uint16_t sample, Rounding rounding, int mvPerRow) {
    const long double mv = sample * 9.765625L;
    const auto whole = std::int64_t(rounding == Rounding::Truncate ? std::trunc(mv) : std::nearbyint(mv));
    return int(whole / mvPerRow);
}

int SampleToRow(std::uint16_t sample, Rounding rounding, int mvPerRow, int positionMv) {
    return SampleToRow(sample, rounding, mvPerRow) - positionMv / mvPerRow;
}

namespace {

void PutByte(SampleBuffer& samples, std::size_t at, std::uint8_t byte) {
    auto& word = samples[at / 2];
    word = (at % 2) ? std::uint16_t((word & 0x00FF) | (byte << 8)) : std::uint16_t((word & 0xFF00) | byte);
}

} // namespace

void DecodeBlock(const std::string& rx, SampleBuffer& samples) {
    for (std::size_t i = 0; i < 1000; ++i)
        PutByte(samples, i, i < rx.size() ? std::uint8_t(rx[i]) : 0);
}

void CopyReceived(const std::string& rx, SampleBuffer& samples) {
    const std::size_t n = std::min<std::size_t>(rx.size(), samples.size() * 2);
    for (std::size_t i = 0; i < n; ++i)
        PutByte(samples, i, std::uint8_t(rx[i]));
}
