#include "form/numbertext.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <tuple>

namespace varno {
namespace {

TEST(NumberText, LeadingNumberRule) {
  const std::pair<const char*, double> rows[] = {
      {"", 0},    {"abc", 0},     {"5", 5},    {" 5", 5},      {"   12abc", 12}, {"007", 7},
      {"-3", -3}, {"+4", 4},      {".5", 0.5}, {" .55", 0.55}, {"2.5", 2.5},     {"5.", 5},
      {"-", 0},   {".", 0},       {"- 5", 0},  {"1e3", 1},     {"&H10", 0},      {"\t8", 8},
      {"3 4", 3}, {"1.2.3", 1.2}, {"-0", 0},   {"x5", 0},      {"64/ 64", 64},   {" 5/ 9", 5},
  };
  for (const auto& [text, value] : rows) EXPECT_DOUBLE_EQ(leadingNumber(text), value) << '"' << text << '"';
  // Too large numbers saturate.
  EXPECT_EQ(leadingNumber(std::string(400, '9')), DBL_MAX);
  EXPECT_EQ(leadingNumber("-" + std::string(400, '9')), -DBL_MAX);
}

TEST(NumberText, NumberFormat) {
  const std::pair<double, const char*> rows[] = {
      {5, " 5"},      {0, " 0"},        {-0.0, " 0"},        {0.55, " .55"},       {0.5, " .5"},
      {0.05, " .05"}, {1, " 1"},        {64, " 64"},         {-0.5, "-.5"},        {-3, "-3"},
      {2.5, " 2.5"},  {1e15, " 1E+15"}, {0.00001, " 1E-05"}, {55.0 / 100, " .55"},
  };
  for (const auto& [value, text] : rows) EXPECT_EQ(numberFormat(value), text) << value;
  EXPECT_EQ(numberFormat(1.0 / 3), " .333333333333333");
  EXPECT_EQ(numberFormat(123456789012345), " 123456789012345");
}

TEST(NumberText, CountersAdvanceExactlyAndInTheFormTheyHave) {
  // Halves round to even first (2.5 is 2, 3.5 is 4); "Treffer" counts on past 2^31 and beyond a double.
  const std::vector<std::pair<const char*, const char*>> forms = {
      {"", "1"},      {"2.5", "3"},    {"3.5", "5"},   {"2.51", "4"},  {" 7abc", "8"},
      {"-2.5", "-1"}, {"0099", "100"}, {"4.4E+", "5"}, {"5E-01", "1"},
  };
  const std::vector<std::pair<const char*, const char*>> digits = {
      {"1.2345E+04", "12346"},  // below 10^15: all digits
      {"2147483647", "2147483648"},
      {"40547859356626790038", "40547859356626790039"},
      {"99999999999999999999999", "100000000000000000000000"},
      // "Gesamt" after a count: read with its exponent, written back so; it stays, it never falls to 5.
      {"4.45029622772858E+23", "4.45029622772858E+23"},
      {"9.99999999999999E+14", "1E+15"},
      {"1.00000000000001E+15", "1.00000000000001E+15"},
  };
  for (const auto& rows : {forms, digits})
    for (const auto& [before, after] : rows) EXPECT_EQ(advancedCounter(before), after) << before;
}

// Only totals and counters are written so, whole numbers all; a half goes to the even neighbour.
TEST(NumberText, FifteenSignificantDigitsAsADoubleWouldWriteThem) {
  const std::pair<const char*, const char*> rows[] = {
      {"560", "560"},
      {"123456789012345", "123456789012345"},
      {"1000000000000000", "1E+15"},
      {"1000000000000025", "1.00000000000002E+15"},
      {"1000000000000035", "1.00000000000004E+15"},
      {"1000000000000025.1", "1.00000000000003E+15"},
      {"9999999999999995", "1E+16"},
      {"-445029622772858207884800", "-4.45029622772858E+23"},
  };
  for (const auto& [text, significant] : rows)
    EXPECT_EQ(Decimal::of(text).significant(), significant) << text;
}

TEST(NumberText, DecimalsCompareDigitForDigit) {
  const std::tuple<const char*, const char*, int> rows[] = {
      {"-2", "-10", 1},    {"-.5", "-.25", -1},
      {"2.5", "2.50x", 0}, {".1", "-.1", 1},
      {"", "-0", 0},       {"9.99", "10", -1},
      {"1.05", "1.5", -1}, {"12345678901234568", "12345678901234567", 1},  // one double
  };
  for (const auto& [a, b, order] : rows) {
    EXPECT_EQ(Decimal::of(a).compare(Decimal::of(b)), order) << a << " " << b;
    EXPECT_EQ(Decimal::of(b).compare(Decimal::of(a)), -order) << b << " " << a;
  }
}

TEST(NumberText, RoundHalfEven) {
  const double rows[][2] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {2.4, 2},
                            {2.6, 3}, {0.5, 0}, {1.5, 2},   {7, 7}};
  for (const auto& row : rows) EXPECT_EQ(roundHalfEven(row[0]), row[1]) << row[0];
}

}  // namespace
}  // namespace varno
