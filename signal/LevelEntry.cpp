#include "LevelEntry.h"

#include "SampleBuffer.h"
#include "TriggerLevel.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace {

constexpr double MvPerStep = VoltsPerStep * 1000; // one step of the converter

std::string Trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool EndsWith(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && std::equal(end.rbegin(), end.rend(), s.rbegin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

} // namespace

LevelEntry ParseLevelEntry(const std::string& text) {
    std::string number = Trimmed(text);
    double scale = 1000; // volts
    if (EndsWith(number, "mv")) {
        scale = 1;
        number.resize(number.size() - 2);
    } else if (EndsWith(number, "v")) {
        number.resize(number.size() - 1);
    }
    number = Trimmed(number);
    std::replace(number.begin(), number.end(), ',', '.');
    const bool digits =
        !number.empty() &&
        std::all_of(number.begin(), number.end(),
                    [](char c) { return std::isdigit(static_cast<unsigned char>(c)) || c == '.'; }) &&
        std::count(number.begin(), number.end(), '.') <= 1 && number != ".";
    if (!digits)
        return {std::nullopt, "Podaj poziom w V albo mV, np. 2,5 V lub 750 mV."};
    double value = 0;
    std::from_chars(number.data(), number.data() + number.size(), value); // never the C locale's separator
    const double mv = value * scale;
    const double lowest = MinTriggerLevel * MvPerStep, highest = MaxTriggerLevel * MvPerStep;
    if (!std::isfinite(mv) || mv < lowest - 5 || mv > highest + 5)
        return {std::nullopt, "Poziom musi leżeć między 10 mV a 9,99 V."};
    return {std::clamp(int(std::lround(mv / MvPerStep)), MinTriggerLevel, MaxTriggerLevel), {}};
}
