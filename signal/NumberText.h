#pragma once
// Number texts of the scales and read-outs: shortest general form with up to
// 15 significant digits, no trailing zeros, the locale's decimal separator,
// exponent form below 0.00001; the unit follows without a space.

#include <string>

std::string NumberText(double value, const std::string& decimalSeparator = ",");
std::string NumberText(double value, const std::string& unit, const std::string& decimalSeparator);
