#include "AxisTicks.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// Fixed notation with `decimals` digits; "-0" reads "0".
std::string Fixed(double value, int decimals, const std::string& separator) {
    char buf[64];
    const auto end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals).ptr;
    std::string text(buf, end);
    if (text.find_first_not_of("-0.") == std::string::npos && text[0] == '-')
        text.erase(0, 1);
    if (const auto dot = text.find('.'); dot != std::string::npos)
        text.replace(dot, 1, separator);
    return text;
}

// Digits after the point that a step (in the unit of the text) needs.
int DecimalsFor(double step) {
    return std::max(0, -int(std::floor(std::log10(step) + 1e-9)));
}

} // namespace

ScaledUnit UnitFor(double magnitude, const std::string& baseUnit) {
    static const char* const prefixes[] = {"n", "µ", "m", "", "k", "M"};
    int power = 0; // of 1000
    if (magnitude > 0 && std::isfinite(magnitude))
        power = std::clamp(int(std::floor(std::log10(magnitude) / 3 + 1e-9)), -3, 2);
    return {std::pow(1000.0, power), prefixes[power + 3] + baseUnit};
}

double NiceStep(double minimum) {
    const double decade = std::pow(10.0, std::floor(std::log10(minimum)));
    for (const double m : {1.0, 2.0, 5.0})
        if (m * decade >= minimum * (1 - 1e-9))
            return m * decade;
    return 10 * decade;
}

std::vector<AxisTick> AxisTicks(double lo, double hi, double minStep, const std::string& baseUnit,
                                const std::string& decimalSeparator, bool prefixed) {
    std::vector<AxisTick> ticks;
    if (!(minStep > 0) || !(hi >= lo))
        return ticks;
    const double step = NiceStep(minStep);
    const auto first = std::ceil(lo / step - 1e-9), last = std::floor(hi / step + 1e-9);
    if (last - first > 1000)
        return ticks; // a step far too small for the span: nothing sensible to draw
    const ScaledUnit unit = prefixed ? UnitFor(std::max(std::fabs(first), std::fabs(last)) * step, baseUnit)
                                     : ScaledUnit{1, baseUnit};
    const int decimals = DecimalsFor(step / unit.factor);
    for (double k = first; k <= last; ++k) {
        const double value = k * step;
        ticks.push_back({value, Fixed(value / unit.factor, decimals, decimalSeparator) + " " + unit.text});
    }
    return ticks;
}

std::string ReadoutText(double value, const std::string& baseUnit, const std::string& decimalSeparator,
                        bool prefixed) {
    const ScaledUnit unit = prefixed ? UnitFor(std::fabs(value), baseUnit) : ScaledUnit{1, baseUnit};
    const double scaled = value / unit.factor;
    const int decimals = scaled == 0 ? 0 : std::max(0, 2 - int(std::floor(std::log10(std::fabs(scaled)))));
    return Fixed(scaled, decimals, decimalSeparator) + " " + unit.text;
}
