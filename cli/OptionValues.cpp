#include "OptionValues.h"

#include "RangeTables.h"
#include "TriggerLevel.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

constexpr double VoltsPerLevel = 10.0 / 1024; // one step of the trigger level

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// A decimal number with "." or "," and nothing else; from_chars never looks at the locale.
std::optional<double> Decimal(std::string_view text) {
    std::string number(text);
    for (char& c : number)
        if (c == ',')
            c = '.';
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || error != std::errc() || end != number.data() + number.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<int> ParseTimebase(std::string_view text) {
    int position = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), position);
    if (!text.empty() && error == std::errc() && end == text.data() + text.size())
        return position >= 0 && position < int(TimebaseTable.size()) ? std::optional(position) : std::nullopt;
    std::string written(text);
    for (char& c : written)
        if (c == '.')
            c = ',';
    for (std::size_t i = 0; i < TimebaseTable.size(); ++i)
        if (written == TimebaseTable[i].Text)
            return int(i);
    return std::nullopt;
}

std::optional<int> ParseTriggerLevel(std::string_view text) {
    double scale = 1;
    if (EndsWith(text, "mV")) {
        scale = 0.001;
        text.remove_suffix(2);
    } else if (EndsWith(text, "V")) {
        text.remove_suffix(1);
    }
    const auto volts = Decimal(text);
    if (!volts)
        return std::nullopt;
    const double level = std::nearbyint(*volts * scale / VoltsPerLevel);
    if (level < MinTriggerLevel || level > MaxTriggerLevel)
        return std::nullopt;
    return int(level);
}

std::optional<std::int64_t> ParseDuration(std::string_view text) {
    double unitMs = 1000;
    for (const auto& [suffix, ms] : {std::pair{"ms", 1.0}, {"s", 1000.0}, {"m", 60000.0}, {"h", 3600000.0}}) {
        if (EndsWith(text, suffix)) {
            unitMs = ms;
            text.remove_suffix(std::string_view(suffix).size());
            break;
        }
    }
    const auto value = Decimal(text);
    if (!value || *value <= 0 || *value * unitMs > 1e15)
        return std::nullopt;
    return std::max<std::int64_t>(1, std::llround(*value * unitMs));
}

std::optional<std::uint64_t> ParseCount(std::string_view text) {
    std::uint64_t count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || count == 0)
        return std::nullopt;
    return count;
}
