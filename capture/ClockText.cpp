#include "ClockText.h"

#include <ctime>

namespace {

std::tm LocalTime(std::int64_t timeMs) {
    // Rounded down, without a subtraction that would overflow at the lowest time.
    std::time_t seconds = std::time_t(timeMs / 1000 - (timeMs % 1000 < 0 ? 1 : 0));
    std::tm t{};
    localtime_r(&seconds, &t);
    return t;
}

int Millis(std::int64_t timeMs) {
    return int(((timeMs % 1000) + 1000) % 1000);
}

// Fixed-width digits without the C library's number formatting (locale-free by construction).
void Digits(std::string& out, long value, int width) {
    std::string d(std::size_t(width), '0');
    for (int i = width - 1; i >= 0 && value > 0; --i, value /= 10)
        d[std::size_t(i)] = char('0' + value % 10);
    out += d;
}

// "hh:mm:ss." and the first `fractionDigits` digits of the milliseconds.
void AppendTimeOfDay(std::string& out, const std::tm& t, std::int64_t timeMs, int fractionDigits) {
    Digits(out, t.tm_hour, 2);
    out += ':';
    Digits(out, t.tm_min, 2);
    out += ':';
    Digits(out, t.tm_sec, 2);
    out += '.';
    Digits(out, fractionDigits == 3 ? Millis(timeMs) : Millis(timeMs) / 100, fractionDigits);
}

} // namespace

std::string ClockText(std::int64_t timeMs) {
    std::string s;
    AppendTimeOfDay(s, LocalTime(timeMs), timeMs, 1);
    return s;
}

std::string DateTimeText(std::int64_t timeMs) {
    const std::tm t = LocalTime(timeMs);
    std::string s;
    Digits(s, t.tm_year + 1900L, 4);
    s += '-';
    Digits(s, t.tm_mon + 1, 2);
    s += '-';
    Digits(s, t.tm_mday, 2);
    s += 'T';
    AppendTimeOfDay(s, t, timeMs, 3);
    return s;
}
