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

double valueOf(const DecimalText& number) {
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

}  // namespace

double leadingNumber(std::string_view text) {
  return valueOf(leadingDecimal(text));
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

namespace {

// Decimal digits a + b, without leading zeros ("" for 0).
std::string addedDigits(std::string_view a, std::string_view b) {
  std::string sum;
  int carry = 0;
  for (std::size_t i = 0; i < std::max(a.size(), b.size()) || carry; ++i) {
    const int x = i < a.size() ? a[a.size() - 1 - i] - '0' : 0;
    const int y = i < b.size() ? b[b.size() - 1 - i] - '0' : 0;
    sum += static_cast<char>('0' + (x + y + carry) % 10);
    carry = (x + y + carry) / 10;
  }
  std::reverse(sum.begin(), sum.end());
  return std::string(withoutLeadingZeros(sum));
}

// Decimal digits a - b for a >= b, without leading zeros.
std::string subtractedDigits(std::string_view a, std::string_view b) {
  std::string difference;
  int borrow = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    int x = a[a.size() - 1 - i] - '0' - borrow;
    const int y = i < b.size() ? b[b.size() - 1 - i] - '0' : 0;
    borrow = x < y ? 1 : 0;
    x += 10 * borrow;
    difference += static_cast<char>('0' + x - y);
  }
  std::reverse(difference.begin(), difference.end());
  return std::string(withoutLeadingZeros(difference));
}

// Compares two numbers given as decimal digits without leading zeros.
int compareDigits(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  const int order = a.compare(b);
  return order < 0 ? -1 : order > 0 ? 1 : 0;
}

// The exponent of a text in the exponent form "4.45029622772858E+23": a decimal number, "E", a sign and
// at most four digits, nothing after them.
std::optional<int> exponentOf(std::string_view text) {
  const DecimalText number = leadingDecimal(text);
  std::size_t i = number.end;
  if (!number.found() || i >= text.size() || text[i] != 'E') return std::nullopt;
  ++i;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const std::size_t digits = text.size() - i;
  if (digits == 0 || digits > 4) return std::nullopt;
  int exponent = 0;
  for (; i < text.size(); ++i) {
    if (!isDigit(text[i])) return std::nullopt;
    exponent = 10 * exponent + (text[i] - '0');
  }
  return negative ? -exponent : exponent;
}

}  // namespace

std::optional<double> shortNumber(std::string_view text) {
  const DecimalText number = leadingDecimal(text);
  if (withoutLeadingZeros(number.integer).size() + withoutTrailingZeros(number.fraction).size() > 15)
    return std::nullopt;
  return valueOf(number);
}

Decimal::Decimal(std::int64_t whole) : Decimal(of(std::to_string(whole))) {}

Decimal Decimal::of(std::string_view text) {
  const DecimalText number = leadingDecimal(text);
  Decimal value;
  value.integer_ = withoutLeadingZeros(number.integer);
  value.fraction_ = withoutTrailingZeros(number.fraction);
  value.negative_ = number.negative && value.sign() != 0;
  return value;
}

Decimal Decimal::ofSignificant(std::string_view text) {
  const std::optional<int> exponent = exponentOf(text);
  Decimal value = of(text);
  if (!exponent || value.sign() == 0) return value;
  // Move the point by the exponent.
  std::string digits = value.integer_ + value.fraction_;
  const long shifted = static_cast<long>(value.integer_.size()) + *exponent;
  if (shifted < 0) digits.insert(0, static_cast<std::size_t>(-shifted), '0');
  const std::size_t point = shifted < 0 ? 0 : static_cast<std::size_t>(shifted);
  if (point > digits.size()) digits.append(point - digits.size(), '0');
  value.integer_ = withoutLeadingZeros(std::string_view(digits).substr(0, point));
  value.fraction_ = withoutTrailingZeros(std::string_view(digits).substr(point));
  return value;
}

int Decimal::sign() const {
  if (integer_.empty() && fraction_.empty()) return 0;
  return negative_ ? -1 : 1;
}

int Decimal::compare(const Decimal& other) const {
  if (sign() != other.sign()) return sign() < other.sign() ? -1 : 1;
  int order = compareDigits(integer_, other.integer_);
  if (order == 0) {
    const int fraction = fraction_.compare(other.fraction_);  // without trailing zeros: digit by digit
    order = fraction < 0 ? -1 : fraction > 0 ? 1 : 0;
  }
  return negative_ ? -order : order;
}

Decimal Decimal::operator+(const Decimal& other) const {
  // Both as whole numbers of the same scale, added or subtracted by their magnitudes.
  const std::size_t scale = std::max(fraction_.size(), other.fraction_.size());
  const auto scaled = [scale](const Decimal& x) {
    return std::string(
        withoutLeadingZeros(x.integer_ + x.fraction_ + std::string(scale - x.fraction_.size(), '0')));
  };
  const std::string a = scaled(*this), b = scaled(other);
  std::string digits;
  bool negative = negative_;
  if (negative_ == other.negative_) {
    digits = addedDigits(a, b);
  } else if (compareDigits(a, b) >= 0) {
    digits = subtractedDigits(a, b);
  } else {
    digits = subtractedDigits(b, a);
    negative = other.negative_;
  }
  if (digits.size() < scale) digits.insert(0, scale - digits.size(), '0');
  Decimal sum;
  const std::size_t point = digits.size() - scale;
  sum.integer_ = withoutLeadingZeros(std::string_view(digits).substr(0, point));
  sum.fraction_ = withoutTrailingZeros(std::string_view(digits).substr(point));
  sum.negative_ = negative && sum.sign() != 0;
  return sum;
}

Decimal Decimal::operator-(const Decimal& other) const {
  Decimal negated = other;
  negated.negative_ = !other.negative_ && other.sign() != 0;
  return *this + negated;
}

Decimal Decimal::rounded() const {
  Decimal whole = *this;
  whole.fraction_.clear();
  const bool odd = !integer_.empty() && (integer_.back() - '0') % 2 == 1;
  if (!fraction_.empty() && fraction_[0] >= '5' && (fraction_ != "5" || odd))
    whole.integer_ = incremented(integer_);
  whole.negative_ = negative_ && whole.sign() != 0;
  return whole;
}

std::string Decimal::plain() const {
  if (sign() == 0) return "0";
  std::string text = negative_ ? "-" : "";
  text += integer_;
  if (!fraction_.empty()) text += "." + fraction_;
  return text;
}

std::string Decimal::formatted() const {
  return negative_ ? plain() : " " + plain();
}

std::string Decimal::significant() const {
  if (sign() == 0) return "0";
  const std::string all = integer_ + fraction_;
  const std::size_t first = all.find_first_not_of('0');
  int exponent = static_cast<int>(integer_.size()) - 1 - static_cast<int>(first);
  std::string digits = all.substr(first);
  constexpr std::size_t kDigits = 15;
  if (digits.size() > kDigits) {
    const char next = digits[kDigits];
    const bool beyondHalf = digits.find_first_not_of('0', kDigits + 1) != std::string::npos;
    const bool odd = (digits[kDigits - 1] - '0') % 2 == 1;
    digits.resize(kDigits);
    if (next > '5' || (next == '5' && (beyondHalf || odd))) digits = incremented(digits);
    if (digits.size() > kDigits) ++exponent;  // 999... became 1000...
  }
  digits = std::string(withoutTrailingZeros(digits));
  std::string text = negative_ ? "-" : "";
  if (exponent >= static_cast<int>(kDigits) || exponent < -4) {
    text += digits[0];
    if (digits.size() > 1) text += "." + digits.substr(1);
    const std::string power = std::to_string(std::abs(exponent));
    text += exponent < 0 ? "E-" : "E+";
    text += (power.size() < 2 ? "0" : "") + power;
  } else if (exponent >= 0) {
    const std::size_t point = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() < point) digits.append(point - digits.size(), '0');
    text += digits.substr(0, point);
    if (digits.size() > point) text += "." + digits.substr(point);
  } else {
    text += "." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  }
  return text;
}

std::string advancedCounter(std::string_view text) {
  // Plain digits, as a counter mostly holds them.
  if (!text.empty() && std::all_of(text.begin(), text.end(), isDigit))
    return incremented(withoutLeadingZeros(text));
  const Decimal one(1);
  if (exponentOf(text)) return (Decimal::ofSignificant(text).rounded() + one).significant();
  return (Decimal::of(text).rounded() + one).plain();
}

}  // namespace varno
