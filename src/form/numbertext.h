// Reading and writing the number texts that the window's fields hold. None of this depends on the
// process's locale: the decimal point is always ".".
#pragma once

#include <cstdint>
#include <optional>
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

// The value of a text by the leading-number rule where a double keeps every digit of it: at most 15
// digits from the first to the last that is not 0 ("123.25", ".000001"), so below 10^15. Such values
// compare as doubles exactly as their digits do; nothing for any other.
std::optional<double> shortNumber(std::string_view text);

// A number held digit for digit, so that raising, lowering, rounding and adding never change a digit
// the user sees, however many digits it has: a double keeps only about 15 of them.
class Decimal {
 public:
  Decimal() = default;  // 0
  explicit Decimal(std::int64_t whole);
  // The value of a text by the leading-number rule, exactly ("2.50x" is 2.5, "abc" is 0).
  static Decimal of(std::string_view text);
  // The same, where a text in the exponent form that `significant` writes ("4.45029622772858E+23") is
  // read with its exponent, exactly; other texts as `of` reads them.
  static Decimal ofSignificant(std::string_view text);

  Decimal operator+(const Decimal& other) const;
  Decimal operator-(const Decimal& other) const;
  // Rounded to a whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
  Decimal rounded() const;
  // -1, 0 or 1.
  int sign() const;
  // -1, 0 or 1 as this number is smaller than, equal to or larger than `other`.
  int compare(const Decimal& other) const;
  bool operator<(const Decimal& other) const { return compare(other) < 0; }

  // Plain decimal text without a blank: "15", ".5", "-2.5", "0".
  std::string plain() const;
  // The number format with every digit: " 15", " .5", "-2.5". For every number the number format of a
  // double writes without loss (at most 15 significant digits, from 1E-05 to below 1E+15) the same text
  // as `numberFormat`; for any other the digits themselves, where `numberFormat` would write a text that
  // reads back as another number.
  std::string formatted() const;
  // At most 15 significant digits (rounded, halves to even), in exponent form from 1E+15 on and below
  // 1E-04: 560 -> "560", 445029622772858207884800 -> "4.45029622772858E+23".
  std::string significant() const;

 private:
  bool negative_ = false;
  std::string integer_;   // without leading zeros
  std::string fraction_;  // without trailing zeros
};

// The text of a counter advanced by one: its value read by the leading-number rule and rounded to a whole
// number (halves to even), plus one, as plain digits. Exact however many digits the counter has. A
// counter written in exponent form (as "Gesamt" holds a large total) is read with its exponent and
// written back in that form, so that it stays or grows and never falls to a small number.
std::string advancedCounter(std::string_view text);

}  // namespace varno
