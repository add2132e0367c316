// The tests run once more under a German locale (see tests/CMakeLists.txt). There they must really get
// it: a machine without the locale would let the run pass without testing anything.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

TEST(Locale, IsTheOneTheRunAskedFor) {
  if (std::getenv("VARNO_EXPECT_DECIMAL_COMMA") == nullptr) GTEST_SKIP() << "runs in the German run only";
  EXPECT_EQ(std::string(std::localeconv()->decimal_point), ",")
      << "the locale " << std::setlocale(LC_NUMERIC, nullptr)
      << " is not German: generate de_DE.UTF-8 (scripts/setup does)";
}
