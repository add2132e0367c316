// Reading and writing the number texts that the window's fields hold.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varno {

// The value of a field's text: leading blanks are skipped and the longest leading decimal number
// (digits with an optional sign and an optional decimal point) is taken; anything else gives 0.
// Numbers too large for a double saturate at the largest finite double.
double leadingNumber(std::string_view text);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double x);

// The number format of the display fields: a number that is not negative gets one leading blank,
// "." is the decimal point, a number between 0 and 1 has no zero before the point, and at most
// 15 significant digits are written (exponent form beyond): 5 -> " 5", 0.55 -> " .55", -0.5 -> "-.5".
std::string numberFormat(double x);

// The same without the leading blank of a non-negative number: 15 -> "15", 0.5 -> ".5".
std::string plainNumber(double x);

// Whole numbers as plain decimal digits, as the counters, n and k are written: 3 -> "3".
std::string plainDigits(std::int64_t x);

}  // namespace varno
