#pragma once
// Local wall-clock texts of a block's arrival, the same in every locale.

#include <cstdint>
#include <string>

// "14:02:11.4": hours, minutes, seconds and tenths.
std::string ClockText(std::int64_t timeMs);
// "2024-05-01T14:02:11.400": the recording's readable time stamp.
std::string DateTimeText(std::int64_t timeMs);
