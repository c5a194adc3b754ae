#pragma once
// Signed 32-bit integers typed by people: optional sign, decimal digits, or
// hexadecimal after "$", "0x" or "0X" (and a bare "x"/"X" where allowed).
// Hexadecimal spells the 32-bit pattern ($FFFFFFFF is -1); anything else,
// or a value that does not fit, gives nothing.

#include <cstdint>
#include <optional>
#include <string_view>

std::optional<std::int32_t> ParseInt32(std::string_view text, bool bareXIsHex);
