#pragma once
// Whole-number conversion of a text field: leading blanks, optional sign,
// decimal or "$"/"0x" hexadecimal; anything else throws
// std::invalid_argument "'<text>' is not a valid integer value".

#include <string>

int StrToInt(const std::string& text);
