#include "StrToInt.h"

#include <cstdint>
#include <stdexcept>

int StrToInt(const std::string& text) {
    const auto fail = [&]() -> int {
        throw std::invalid_argument("'" + text + "' is not a valid integer value");
    };
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size())
        return fail();
    std::uint64_t v = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return fail();
        v = v * std::uint64_t(base) + std::uint64_t(d);
        if (v > 0xFFFFFFFFu)
            return fail();
    }
    if (base == 16) { // hexadecimal spells the 32-bit pattern
        const std::int64_t r = std::int32_t(std::uint32_t(v));
        return int(std::int32_t(std::uint32_t(negative ? -r : r)));
    }
    if (v > (negative ? 2147483648u : 2147483647u))
        return fail();
    return negative ? int(-std::int64_t(v)) : int(v);
}
