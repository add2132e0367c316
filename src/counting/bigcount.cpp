#include "counting/bigcount.h"

#include <algorithm>
#include <stdexcept>

namespace varno {

namespace {
using u128 = unsigned __int128;
}

BigCount BigCount::fromUint128(unsigned __int128 value) {
  BigCount result;
  result.limbs_[0] = static_cast<std::uint64_t>(value);
  result.limbs_[1] = static_cast<std::uint64_t>(value >> 64);
  return result;
}

BigCount BigCount::fromDecimal(std::string_view digits) {
  if (digits.empty()) throw std::invalid_argument("BigCount: empty number");
  BigCount result;
  for (char c : digits) {
    if (c < '0' || c > '9') throw std::invalid_argument("BigCount: not a decimal digit");
    result *= 10;
    result += BigCount(static_cast<std::uint64_t>(c - '0'));
  }
  return result;
}

BigCount& BigCount::operator+=(const BigCount& other) {
  std::uint64_t carry = 0;
  for (int i = 0; i < kLimbs; ++i) {
    const u128 sum = static_cast<u128>(limbs_[i]) + other.limbs_[i] + carry;
    limbs_[i] = static_cast<std::uint64_t>(sum);
    carry = static_cast<std::uint64_t>(sum >> 64);
  }
  if (carry != 0) throw std::overflow_error("BigCount: sum exceeds 256 bits");
  return *this;
}

BigCount& BigCount::operator-=(const BigCount& other) {
  if (*this < other) throw std::underflow_error("BigCount: negative difference");
  std::uint64_t borrow = 0;
  for (int i = 0; i < kLimbs; ++i) {
    const std::uint64_t a = limbs_[i];
    const std::uint64_t b = other.limbs_[i];
    limbs_[i] = a - b - borrow;
    borrow = (a < b || (a == b && borrow != 0)) ? 1 : 0;
  }
  return *this;
}

BigCount& BigCount::operator*=(std::uint64_t factor) {
  std::uint64_t carry = 0;
  for (int i = 0; i < kLimbs; ++i) {
    const u128 product = static_cast<u128>(limbs_[i]) * factor + carry;
    limbs_[i] = static_cast<std::uint64_t>(product);
    carry = static_cast<std::uint64_t>(product >> 64);
  }
  if (carry != 0) throw std::overflow_error("BigCount: product exceeds 256 bits");
  return *this;
}

BigCount& BigCount::operator*=(const BigCount& factor) {
  BigCount result;
  for (int i = 0; i < kLimbs; ++i) {
    if (factor.limbs_[i] == 0) continue;
    BigCount partial = *this;
    partial *= factor.limbs_[i];
    // Shift the partial product by i limbs; anything shifted out is an overflow.
    for (int j = kLimbs - 1; j >= 0; --j) {
      if (j >= kLimbs - i && partial.limbs_[j] != 0) {
        throw std::overflow_error("BigCount: product exceeds 256 bits");
      }
    }
    for (int j = kLimbs - 1; j >= i; --j) partial.limbs_[j] = partial.limbs_[j - i];
    for (int j = 0; j < i; ++j) partial.limbs_[j] = 0;
    result += partial;
  }
  *this = result;
  return *this;
}

std::uint64_t BigCount::divideBy(std::uint64_t divisor) {
  if (divisor == 0) throw std::domain_error("BigCount: division by zero");
  std::uint64_t remainder = 0;
  for (int i = kLimbs - 1; i >= 0; --i) {
    const u128 current = (static_cast<u128>(remainder) << 64) | limbs_[i];
    limbs_[i] = static_cast<std::uint64_t>(current / divisor);
    remainder = static_cast<std::uint64_t>(current % divisor);
  }
  return remainder;
}

std::strong_ordering operator<=>(const BigCount& a, const BigCount& b) {
  for (int i = BigCount::kLimbs - 1; i >= 0; --i) {
    if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] <=> b.limbs_[i];
  }
  return std::strong_ordering::equal;
}

bool BigCount::isZero() const {
  return std::all_of(limbs_.begin(), limbs_.end(), [](std::uint64_t limb) { return limb == 0; });
}

int BigCount::bitWidth() const {
  for (int i = kLimbs - 1; i >= 0; --i) {
    if (limbs_[i] != 0) return 64 * i + 64 - __builtin_clzll(limbs_[i]);
  }
  return 0;
}

double BigCount::toDouble() const {
  double value = 0;
  for (int i = kLimbs - 1; i >= 0; --i)
    value = value * 18446744073709551616.0 + static_cast<double>(limbs_[i]);
  return value;
}

std::string BigCount::toString() const {
  if (isZero()) return "0";
  // Peel off 19 decimal digits at a time.
  constexpr std::uint64_t kChunk = 10'000'000'000'000'000'000ULL;
  BigCount rest = *this;
  std::string digits;
  while (!rest.isZero()) {
    std::uint64_t chunk = rest.divideBy(kChunk);
    for (int i = 0; i < 19; ++i) {
      digits.push_back(static_cast<char>('0' + chunk % 10));
      chunk /= 10;
      if (rest.isZero() && chunk == 0) break;
    }
  }
  std::reverse(digits.begin(), digits.end());
  return digits;
}

}  // namespace varno
