#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

namespace varno {

// Exact unsigned integer of fixed width (256 bits), enough for every count of every ring size up to
// 8 dice with 8 faces (the number of labellings of 8x8 has 52 decimal digits, about 2^171).
// Arithmetic that would leave the range throws std::overflow_error instead of wrapping.
class BigCount {
 public:
  static constexpr int kLimbs = 4;
  static constexpr int kBits = 64 * kLimbs;

  constexpr BigCount() = default;
  constexpr BigCount(std::uint64_t value) : limbs_{value, 0, 0, 0} {}  // NOLINT: implicit on purpose

  static BigCount fromUint128(unsigned __int128 value);
  // Parses a non-empty string of decimal digits; throws std::invalid_argument or std::overflow_error.
  static BigCount fromDecimal(std::string_view digits);

  BigCount& operator+=(const BigCount& other);
  BigCount& operator-=(const BigCount& other);  // throws std::underflow_error if other > *this
  BigCount& operator*=(std::uint64_t factor);
  BigCount& operator*=(const BigCount& factor);
  // Divides in place by a non-zero divisor and returns the remainder.
  std::uint64_t divideBy(std::uint64_t divisor);

  friend BigCount operator+(BigCount a, const BigCount& b) { return a += b; }
  friend BigCount operator-(BigCount a, const BigCount& b) { return a -= b; }
  friend BigCount operator*(BigCount a, std::uint64_t b) { return a *= b; }
  friend BigCount operator*(BigCount a, const BigCount& b) { return a *= b; }

  friend bool operator==(const BigCount& a, const BigCount& b) = default;
  friend std::strong_ordering operator<=>(const BigCount& a, const BigCount& b);

  bool isZero() const;
  // Number of significant bits (0 for zero).
  int bitWidth() const;
  bool fitsUint64() const { return bitWidth() <= 64; }
  std::uint64_t low64() const { return limbs_[0]; }
  // Value as a double (rounded); handy for ratios and estimates.
  double toDouble() const;
  std::string toString() const;

 private:
  std::array<std::uint64_t, kLimbs> limbs_{};  // little endian
};

}  // namespace varno
