#pragma once
// The values of the command line's options, read as a user writes them: the T/dz
// as a knob position or as the knob shows it, a level in volts or millivolts, a
// span of time with its unit.

#include <cstdint>
#include <optional>
#include <string_view>

// "3", "0,1ms", "0.1ms", "20ms", "1s": a position of the T/dz table, by number or by its text.
std::optional<int> ParseTimebase(std::string_view text);
// "2.5V", "2,5V", "500mV", "2.5" (volts): the nearest trigger level the instrument takes.
std::optional<int> ParseTriggerLevel(std::string_view text);
// "90s", "2h", "30m", "500ms", "90" (seconds): milliseconds, more than 0.
std::optional<std::int64_t> ParseDuration(std::string_view text);
// "1", "100": a whole number of at least 1.
std::optional<std::uint64_t> ParseCount(std::string_view text);
