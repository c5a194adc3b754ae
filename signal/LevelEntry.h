#pragma once
// A trigger level typed by the user: "5", "2,5 V", "2.5V", "750 mV"; a bare
// number is in volts. Either decimal separator is taken, the desktop's first.

#include <optional>
#include <string>

struct LevelEntry {
    std::optional<int> position; // the knob position 1..1023 nearest to the value
    std::string error;           // why not, in Polish, when there is no position
};
LevelEntry ParseLevelEntry(const std::string& text);
