#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Whole-number conversion of typed text, as the platform's standard StrToInt does it.
//
// TryStrToInt  - the value of text, or nothing when it does not convert.
// StrToInt     - the value of text; throws CommandError "'<text>' is not a valid integer value."
// NotAnIntegerMessage - that error text (UTF-8) for a Windows-1252 text.
//
// Accepted: leading blanks (spaces), an optional "+" or "-", then decimal digits, or hexadecimal
// digits after "$", "x", "X", "0x" or "0X". Nothing may follow, not even a blank. The signed
// value must fit 32 bits (-2147483648..2147483647), for hexadecimal too: "$FFFFFFFF" does not
// convert, "-$80000000" does.

std::optional<std::int32_t> TryStrToInt(std::string_view text);

std::int32_t StrToInt(std::string_view text);

std::string NotAnIntegerMessage(std::string_view text);
