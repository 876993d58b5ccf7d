// Helpers for the line-model tests: case names and comparison with printed values.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <string_view>

namespace quendrix::testing {

// A test-case name made valid for the test framework: 2.2 becomes 2p2.
inline std::string caseName(std::string_view name) {
  std::string out(name);
  for (char& ch : out) {
    if (ch == '.') ch = 'p';
  }
  return out;
}

// A value as printed with `decimals` decimals: the actual value must round to it.
struct Printed {
  double value;
  int decimals;
};

inline ::testing::AssertionResult roundsTo(const char* actualText, const char* expectedText,
                                           double actual, Printed expected) {
  const double halfUnit = 0.5 * std::pow(10.0, -expected.decimals);
  // A hair over half a unit, so that the decimal literal's own binary rounding cannot decide.
  if (std::abs(actual - expected.value) <= halfUnit * (1.0 + 1e-6)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << actualText << " = " << actual << " does not round to " << expectedText << " = "
         << expected.value << " at " << expected.decimals << " decimals";
}

#define EXPECT_ROUNDS_TO(actual, expected) \
  EXPECT_PRED_FORMAT2(::quendrix::testing::roundsTo, actual, expected)

}  // namespace quendrix::testing
