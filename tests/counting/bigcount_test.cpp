#include "counting/bigcount.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "counting/ringcounter.h"

namespace varno {
namespace {

const std::string kTwoTo64 = "18446744073709551616";
const std::string kTwoTo128 = "340282366920938463463374607431768211456";
const std::string kLargest = "115792089237316195423570985008687907853269984665640564039457584007913129639935";

TEST(BigCountTest, DecimalTextRoundTrips) {
  for (const std::string text :
       {"0", "1", "18446744073709551615", kTwoTo64.c_str(), kTwoTo128.c_str(), kLargest.c_str()}) {
    EXPECT_EQ(BigCount::fromDecimal(text).toString(), text);
  }
  EXPECT_EQ(BigCount(12345).toString(), "12345");
  EXPECT_THROW(BigCount::fromDecimal(""), std::invalid_argument);
  EXPECT_THROW(BigCount::fromDecimal("12a"), std::invalid_argument);
  EXPECT_THROW(BigCount::fromDecimal(kLargest + "0"), std::overflow_error);
}

TEST(BigCountTest, AdditionAndSubtractionCarryAcrossLimbs) {
  BigCount value(~std::uint64_t{0});
  value += BigCount(1);
  EXPECT_EQ(value.toString(), kTwoTo64);
  EXPECT_EQ((BigCount::fromDecimal(kTwoTo128) - BigCount(1)).toString(),
            "340282366920938463463374607431768211455");
  EXPECT_EQ(BigCount::fromUint128(~static_cast<unsigned __int128>(0)) + BigCount(1),
            BigCount::fromDecimal(kTwoTo128));
  EXPECT_THROW(BigCount::fromDecimal(kLargest) + BigCount(1), std::overflow_error);
  EXPECT_THROW(BigCount(0) - BigCount(1), std::underflow_error);
}

TEST(BigCountTest, MultiplicationAndDivision) {
  BigCount power(1);
  for (int i = 0; i < 50; ++i) power *= 10;
  EXPECT_EQ(power.toString(), "1" + std::string(50, '0'));

  BigCount quotient = power;
  EXPECT_EQ(quotient.divideBy(7), 2u);  // 10^50 = 3^50 = 2 (mod 7)
  EXPECT_EQ(quotient * 7 + BigCount(2), power);
  EXPECT_THROW(quotient.divideBy(0), std::domain_error);

  const BigCount wide = BigCount::fromDecimal(kTwoTo128) - BigCount(1);
  EXPECT_EQ((wide * wide).toString(),
            "115792089237316195423570985008687907852589419931798687112530834793049593217025");
  EXPECT_THROW(BigCount::fromDecimal(kTwoTo128) * BigCount::fromDecimal(kTwoTo128), std::overflow_error);
  EXPECT_THROW(BigCount::fromDecimal(kLargest) * 2, std::overflow_error);
}

TEST(BigCountTest, OrderingAndWidth) {
  const BigCount small(~std::uint64_t{0});
  const BigCount large = BigCount::fromDecimal(kTwoTo64);
  EXPECT_LT(small, large);
  EXPECT_GT(BigCount::fromDecimal(kLargest), large);
  EXPECT_EQ(large, BigCount::fromDecimal(kTwoTo64));
  EXPECT_EQ(BigCount(0).bitWidth(), 0);
  EXPECT_EQ(small.bitWidth(), 64);
  EXPECT_EQ(large.bitWidth(), 65);
  EXPECT_TRUE(small.fitsUint64());
  EXPECT_FALSE(large.fitsUint64());
  EXPECT_DOUBLE_EQ(large.toDouble(), 18446744073709551616.0);
}

// Exponent of the prime p in m! (Legendre).
int factorialExponent(int m, int p) {
  int exponent = 0;
  for (int power = p; power <= m; power *= p) exponent += m / power;
  return exponent;
}

// (n*k)! / (k!^n * n) from its prime factorisation, independent of the product of binomials.
BigCount labellingsByPrimes(int dice, int faces) {
  BigCount result(1);
  for (int p = 2; p <= dice * faces; ++p) {
    bool prime = true;
    for (int d = 2; d * d <= p; ++d) prime = prime && p % d != 0;
    if (!prime) continue;
    int exponent = factorialExponent(dice * faces, p) - dice * factorialExponent(faces, p);
    for (int rest = dice; rest % p == 0; rest /= p) --exponent;
    for (int i = 0; i < exponent; ++i) result *= static_cast<std::uint64_t>(p);
  }
  return result;
}

TEST(LabellingCountTest, MatchesKnownValues) {
  EXPECT_EQ(RingCounter::labellingCount(3, 3), BigCount(560));
  EXPECT_EQ(RingCounter::labellingCount(3, 4), BigCount(11550));
  EXPECT_EQ(RingCounter::labellingCount(3, 5), BigCount(252252));
  EXPECT_EQ(RingCounter::labellingCount(3, 6), BigCount(5717712));
  EXPECT_EQ(RingCounter::labellingCount(4, 3), BigCount(92400));
  EXPECT_EQ(RingCounter::labellingCount(4, 4), BigCount(15765750));
  EXPECT_EQ(RingCounter::labellingCount(3, 1), BigCount(2));
  EXPECT_EQ(RingCounter::labellingCount(8, 8).toString(),
            "2270715491453850844620503491022444454274253556750000");
}

TEST(LabellingCountTest, AgreesWithPrimeFactorisationForEverySize) {
  for (int dice = 3; dice <= 8; ++dice) {
    for (int faces = 1; faces <= 8; ++faces) {
      EXPECT_EQ(RingCounter::labellingCount(dice, faces), labellingsByPrimes(dice, faces))
          << dice << "x" << faces;
    }
  }
}

}  // namespace
}  // namespace varno
