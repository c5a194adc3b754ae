#include "NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

void DropTrailingZeros(std::string& digits) {
    if (digits.find('.') == std::string::npos)
        return;
    digits.erase(digits.find_last_not_of('0') + 1);
    if (digits.back() == '.')
        digits.pop_back();
}

} // namespace

std::string NumberText(double value, const std::string& decimalSeparator) {
    if (value == 0)
        return "0"; // also for -0
    char buf[64];
    const double magnitude = std::fabs(value);
    std::string text;
    if (magnitude >= 0.00001 && magnitude < 1e15) {
        // 15 significant digits, spelled out in fixed notation.
        const int decimals = std::max(0, 14 - int(std::floor(std::log10(magnitude))));
        std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
        text = buf;
        DropTrailingZeros(text);
    } else {
        std::snprintf(buf, sizeof buf, "%.14E", value);
        text = buf;
        const auto e = text.find('E');
        const int exponent = std::atoi(text.c_str() + e + 1);
        text.resize(e);
        DropTrailingZeros(text);
        text += "E" + std::to_string(exponent);
    }
    if (const auto dot = text.find('.'); dot != std::string::npos)
        text.replace(dot, 1, decimalSeparator);
    return text;
}

std::string NumberText(double value, const std::string& unit, const std::string& decimalSeparator) {
    return NumberText(value, decimalSeparator) + unit;
}
