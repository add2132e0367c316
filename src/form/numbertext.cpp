#include "form/numbertext.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>

namespace varno {

namespace {

// The longest leading decimal number of a text, as its parts: sign, integer digits, fraction digits.
struct DecimalText {
  bool negative = false;
  std::string_view integer, fraction;
  std::size_t end = 0;  // where the number ends in the text
  bool found() const { return !integer.empty() || !fraction.empty(); }
};

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

DecimalText leadingDecimal(std::string_view text) {
  DecimalText number;
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) number.negative = text[i++] == '-';
  const std::size_t integer = i;
  while (i < text.size() && isDigit(text[i])) ++i;
  number.integer = text.substr(integer, i - integer);
  if (i < text.size() && text[i] == '.') {
    const std::size_t fraction = ++i;
    while (i < text.size() && isDigit(text[i])) ++i;
    number.fraction = text.substr(fraction, i - fraction);
    if (!number.found()) --i;  // a lone point is not part of a number
  }
  number.end = i;
  return number;
}

std::string_view withoutLeadingZeros(std::string_view digits) {
  const std::size_t first = digits.find_first_not_of('0');
  return first == std::string_view::npos ? std::string_view() : digits.substr(first);
}

std::string_view withoutTrailingZeros(std::string_view digits) {
  const std::size_t last = digits.find_last_not_of('0');
  return last == std::string_view::npos ? std::string_view() : digits.substr(0, last + 1);
}

// Decimal digits plus one; "" counts as 0.
std::string incremented(std::string_view digits) {
  std::string result(digits);
  for (std::size_t i = result.size(); i-- > 0;) {
    if (result[i] != '9') {
      ++result[i];
      return result;
    }
    result[i] = '0';
  }
  return "1" + result;
}

// Decimal digits of a number of at least 1, minus one, without leading zeros.
std::string decremented(std::string_view digits) {
  std::string result(digits);
  for (std::size_t i = result.size(); i-- > 0;) {
    if (result[i] != '0') {
      --result[i];
      break;
    }
    result[i] = '9';
  }
  const std::string_view kept = withoutLeadingZeros(result);
  return kept.empty() ? "0" : std::string(kept);
}

}  // namespace

double leadingNumber(std::string_view text) {
  const DecimalText number = leadingDecimal(text);
  if (!number.found()) return 0.0;
  // from_chars reads the matched characters the same in every locale; it is never given an exponent
  // or a hexadecimal form, which the rule does not know.
  std::string digits(number.integer.empty() ? "0" : number.integer);
  if (!number.fraction.empty()) digits += "." + std::string(number.fraction);
  double value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error == std::errc::result_out_of_range) {
    // Too large, or so small that no double other than 0 is near it.
    value = withoutLeadingZeros(number.integer).empty() ? 0.0 : DBL_MAX;
  }
  if (number.negative) value = -value;
  return value == 0.0 ? 0.0 : value;  // no negative zero
}

double roundHalfEven(double x) {
  if (!std::isfinite(x)) return x;
  const double lower = std::floor(x);
  const double fraction = x - lower;
  if (fraction > 0.5) return lower + 1.0;
  if (fraction < 0.5) return lower;
  return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

std::string plainNumber(double x) {
  if (x == 0.0 || std::isnan(x)) return "0";
  if (std::isinf(x)) x = std::copysign(DBL_MAX, x);
  char buffer[40];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, 15);
  std::string text(buffer, result.ptr);
  std::replace(text.begin(), text.end(), 'e', 'E');
  // "0.55" -> ".55", "-0.5" -> "-.5"
  const std::size_t zero = text[0] == '-' ? 1 : 0;
  if (text.size() > zero + 1 && text[zero] == '0' && text[zero + 1] == '.') text.erase(zero, 1);
  return text;
}

std::string numberFormat(double x) {
  std::string text = plainNumber(x);
  return text[0] == '-' ? text : " " + text;
}

std::string plainDigits(std::int64_t x) {
  return std::to_string(x);
}

bool isDecimalNumber(std::string_view text) {
  const DecimalText number = leadingDecimal(text);
  return number.found() && number.end == text.size() && text[0] != ' ' && text[0] != '\t';
}

std::string plainDecimal(std::string_view text) {
  if (!isDecimalNumber(text)) return std::string(text);
  const DecimalText number = leadingDecimal(text);
  const std::string_view integer = withoutLeadingZeros(number.integer);
  const std::string_view fraction = withoutTrailingZeros(number.fraction);
  if (integer.empty() && fraction.empty()) return "0";
  std::string plain = number.negative ? "-" : "";
  plain += integer;
  if (!fraction.empty()) plain += "." + std::string(fraction);
  return plain;
}

std::string advancedCounter(std::string_view text) {
  const DecimalText number = leadingDecimal(text);
  // Round the magnitude to a whole number, halves to the even neighbour.
  std::string magnitude(withoutLeadingZeros(number.integer));
  const std::string_view fraction = withoutTrailingZeros(number.fraction);
  if (!fraction.empty() && fraction[0] >= '5') {
    const bool half = fraction == "5";
    const bool odd = !magnitude.empty() && (magnitude.back() - '0') % 2 == 1;
    if (!half || odd) magnitude = incremented(magnitude);
  }
  if (magnitude.empty()) return "1";
  if (!number.negative) return incremented(magnitude);
  const std::string lower = decremented(magnitude);  // -m + 1 = -(m - 1)
  return lower == "0" ? lower : "-" + lower;
}

}  // namespace varno
