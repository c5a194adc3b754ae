#include "NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// to_chars, unlike printf, never takes the separator from the C library's locale, which Qt sets
// from the desktop's at start: the digits must not depend on it.
std::string Chars(double value, std::chars_format format, int precision) {
    char buf[64];
    const auto end = std::to_chars(buf, buf + sizeof buf, value, format, precision).ptr;
    return {buf, end};
}

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
    const double magnitude = std::fabs(value);
    std::string text;
    if (magnitude >= 0.00001 && magnitude < 1e15) {
        // 15 significant digits, spelled out in fixed notation.
        const int decimals = std::max(0, 14 - int(std::floor(std::log10(magnitude))));
        text = Chars(value, std::chars_format::fixed, decimals);
        DropTrailingZeros(text);
    } else {
        text = Chars(value, std::chars_format::scientific, 14);
        const auto e = text.find('e');
        const char* exponentText = text.c_str() + e + 1;
        if (*exponentText == '+')
            ++exponentText;
        int exponent = 0;
        std::from_chars(exponentText, text.c_str() + text.size(), exponent);
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
