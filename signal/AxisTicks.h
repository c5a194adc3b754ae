#pragma once
// The marks of a zoomable axis: 1-2-5 steps, and texts whose unit prefix is
// chosen so the numbers read well ("200 µs", "1,5 V", "12,5 kHz"). Digits
// never follow the C library's locale; the decimal separator is the caller's.

#include <string>
#include <vector>

// A unit with the prefix that makes values up to some magnitude read 1..999:
// a value in the base unit divided by factor reads in text.
struct ScaledUnit {
    double factor = 1;
    std::string text;
    bool operator==(const ScaledUnit&) const = default;
};

// The prefix (n, µ, m, none, k, M) for values up to `magnitude` in baseUnit.
ScaledUnit UnitFor(double magnitude, const std::string& baseUnit);

// The smallest of 1, 2 or 5 times a power of ten that is at least `minimum` (> 0).
double NiceStep(double minimum);

struct AxisTick {
    double value; // in the base unit
    std::string text;
    bool operator==(const AxisTick&) const = default;
};

// The multiples of a 1-2-5 step of at least minStep that lie in [lo, hi], with texts in one
// unit for the whole axis and as many decimals as the step needs. Without `prefixed` the
// base unit is kept (decibels).
std::vector<AxisTick> AxisTicks(double lo, double hi, double minStep, const std::string& baseUnit,
                                const std::string& decimalSeparator, bool prefixed = true);

// A read-out of one value: three significant digits with its own prefix ("1,23 ms").
std::string ReadoutText(double value, const std::string& baseUnit, const std::string& decimalSeparator,
                        bool prefixed = true);
