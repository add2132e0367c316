#include "form/numbertext.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace varno {

double leadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  const std::size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  bool digits = false;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, digits = true;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, digits = true;
  }
  if (!digits) return 0.0;
  // strtod would also read exponents and hexadecimal forms, which the rule does not know; it only
  // ever sees the characters matched above.
  const std::string number(text.substr(start, i - start));
  double value = std::strtod(number.c_str(), nullptr);
  if (std::isinf(value)) value = std::copysign(DBL_MAX, value);
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
  std::snprintf(buffer, sizeof buffer, "%.15G", x);
  std::string text(buffer);
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

}  // namespace varno
