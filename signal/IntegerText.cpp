#include "IntegerText.h"

std::optional<std::int32_t> ParseInt32(std::string_view t, bool bareXIsHex) {
    bool negative = false;
    if (!t.empty() && (t[0] == '-' || t[0] == '+')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    int base = 10;
    if (t.size() >= 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        base = 16;
        t.remove_prefix(2);
    } else if (!t.empty() && (t[0] == '$' || (bareXIsHex && (t[0] == 'x' || t[0] == 'X')))) {
        base = 16;
        t.remove_prefix(1);
    }
    if (t.empty())
        return std::nullopt;
    std::uint64_t v = 0;
    for (const char c : t) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return std::nullopt;
        v = v * std::uint64_t(base) + std::uint64_t(d);
        if (v > 0xFFFFFFFFu)
            return std::nullopt;
    }
    std::int64_t value;
    if (base == 16) {
        value = std::int32_t(std::uint32_t(v));
    } else {
        if (v > (negative ? 2147483648u : 2147483647u))
            return std::nullopt;
        value = std::int64_t(v);
    }
    return std::int32_t(std::uint32_t(std::uint64_t(negative ? -value : value)));
}
