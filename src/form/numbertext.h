// Reading and writing the number texts that the window's fields hold. None of this depends on the
// process's locale: the decimal point is always ".".
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

// Whether the whole text is one decimal number by the leading-number rule: an optional sign, digits
// and at most one point, nothing before or after it ("-2.5", "007", ".5"; not " 5", "5x", "1e3").
bool isDecimalNumber(std::string_view text);

// A text that is a decimal number as a whole (by the leading-number rule, nothing after it) in its plain
// form, digit for digit and so with exactly its value, whatever its size: leading zeros, trailing zeros
// after the point, a "+" and a lone point dropped ("007" -> "7", "2.50" -> "2.5", "0.25" -> ".25",
// "-0" -> "0"). Any other text is returned unchanged.
std::string plainDecimal(std::string_view text);

// The text of a counter advanced by one: its value read by the leading-number rule and rounded to a whole
// number (halves to even), plus one, as plain digits. Exact however many digits the counter has.
std::string advancedCounter(std::string_view text);

}  // namespace varno
