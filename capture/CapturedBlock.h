#pragma once
// One complete block as it was taken: its samples and everything needed to
// show it again as it was drawn live (time of arrival, scales, trigger, mode).

#include <array>
#include <cstdint>

struct CapturedBlock {
    std::array<std::uint16_t, 500> samples{};
    std::int64_t timeMs = 0;        // arrival, milliseconds since the epoch
    std::uint8_t timebase = 0;      // T/dz position 0..15
    std::uint8_t voltRange = 0;     // V/dz position
    std::uint8_t triggerMode = 0;   // 0 off, 1 rising, 2 falling
    std::uint16_t triggerLevel = 1; // MinTriggerLevel..MaxTriggerLevel
    bool progressive = false;

    bool operator==(const CapturedBlock&) const = default;
};
