#include "form/numbertext.h"

#include <gtest/gtest.h>

#include <cfloat>

namespace varno {
namespace {

TEST(NumberText, LeadingNumberRule) {
  struct Row {
    const char* text;
    double value;
  };
  const Row rows[] = {
      {"", 0},    {"abc", 0},     {"5", 5},    {" 5", 5},      {"   12abc", 12}, {"007", 7},
      {"-3", -3}, {"+4", 4},      {".5", 0.5}, {" .55", 0.55}, {"2.5", 2.5},     {"5.", 5},
      {"-", 0},   {".", 0},       {"- 5", 0},  {"1e3", 1},     {"&H10", 0},      {"\t8", 8},
      {"3 4", 3}, {"1.2.3", 1.2}, {"-0", 0},   {"x5", 0},      {"64/ 64", 64},   {" 5/ 9", 5},
  };
  for (const Row& row : rows) EXPECT_DOUBLE_EQ(leadingNumber(row.text), row.value) << '"' << row.text << '"';
}

TEST(NumberText, HugeNumbersSaturate) {
  EXPECT_EQ(leadingNumber(std::string(400, '9')), DBL_MAX);
  EXPECT_EQ(leadingNumber("-" + std::string(400, '9')), -DBL_MAX);
}

TEST(NumberText, NumberFormat) {
  struct Row {
    double value;
    const char* text;
  };
  const Row rows[] = {
      {5, " 5"},
      {0, " 0"},
      {-0.0, " 0"},
      {0.55, " .55"},
      {0.5, " .5"},
      {0.05, " .05"},
      {1, " 1"},
      {64, " 64"},
      {-0.5, "-.5"},
      {-3, "-3"},
      {2.5, " 2.5"},
      {55.0 / 100, " .55"},
      {1.0 / 3, " .333333333333333"},
      {123456789012345, " 123456789012345"},
      {1e15, " 1E+15"},
      {0.00001, " 1E-05"},
  };
  for (const Row& row : rows) EXPECT_EQ(numberFormat(row.value), row.text) << row.value;
  EXPECT_EQ(plainNumber(15), "15");
  EXPECT_EQ(plainNumber(0.5), ".5");
  EXPECT_EQ(plainNumber(-2.5), "-2.5");
  EXPECT_EQ(plainDigits(2147483648LL), "2147483648");
}

TEST(NumberText, CountersAdvanceExactlyHoweverLarge) {
  struct Row {
    const char* before;
    const char* after;
  };
  const Row rows[] = {
      {"", "1"},
      {"0", "1"},
      {"41", "42"},
      {"2.5", "3"},  // 2.5 rounds to 2
      {"3.5", "5"},
      {"2.51", "4"},
      {" 7abc", "8"},
      {"abc", "1"},
      {"-1", "0"},
      {"-0.5", "1"},
      {"-2.5", "-1"},
      {"-10", "-9"},
      {"0099", "100"},
      {"2147483647", "2147483648"},
      {"9007199254740991", "9007199254740992"},
      {"40547859356626790038", "40547859356626790039"},
      {"99999999999999999999999", "100000000000000000000000"},
  };
  for (const Row& row : rows) EXPECT_EQ(advancedCounter(row.before), row.after) << row.before;
}

TEST(NumberText, PlainDecimalKeepsTheValueDigitForDigit) {
  struct Row {
    const char* text;
    const char* plain;
  };
  const Row rows[] = {
      {"007", "7"},
      {"05", "5"},
      {"2.50", "2.5"},
      {"0.25", ".25"},
      {"-.5", "-.5"},
      {"+4", "4"},
      {"-0", "0"},
      {"0.000", "0"},
      {"5.", "5"},
      {"1000000000000000", "1000000000000000"},
      {"0.00001", ".00001"},
      {"12345678901234567", "12345678901234567"},
      {"abc", "abc"},
      {"5x", "5x"},
      {".", "."},
      {"1e3", "1e3"},
  };
  for (const Row& row : rows) EXPECT_EQ(plainDecimal(row.text), row.plain) << row.text;
  const std::string huge(400, '9');
  EXPECT_EQ(plainDecimal(huge), huge);
}

TEST(NumberText, RoundHalfEven) {
  const double rows[][2] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {2.4, 2},
                            {2.6, 3}, {0.5, 0}, {1.5, 2},   {7, 7}};
  for (const auto& row : rows) EXPECT_EQ(roundHalfEven(row[0]), row[1]) << row[0];
}

}  // namespace
}  // namespace varno
