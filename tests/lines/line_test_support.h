// Helpers for the line-model tests: console capture and comparison with printed values.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "textio/textio.h"

namespace quendrix::testing {

// The unrealizable-width message as it appears on the console: an empty line, then two lines
// indented by six blanks, every record ended by CR LF.
inline constexpr std::string_view kUnrealizableMessage =
    "\r\n"
    "      The Impedance requires an unrealizable Strip Width.\r\n"
    "      Strip Width SYNTHESIS calculations terminated by Quendrix.\r\n";

// Sends console output to memory for the lifetime of the object.
class ConsoleCapture {
 public:
  ConsoleCapture() {
    out_ = open_memstream(&buffer_, &size_);
    resetUnits();
    setConsole(stdin, out_, stderr);
  }
  ~ConsoleCapture() {
    resetUnits();
    setConsole(stdin, stdout, stderr);
    std::fclose(out_);
    std::free(buffer_);
  }
  ConsoleCapture(const ConsoleCapture&) = delete;
  ConsoleCapture& operator=(const ConsoleCapture&) = delete;

  std::string text() {
    std::fflush(out_);
    return std::string(buffer_, size_);
  }
  // Number of complete unrealizable-width messages written so far.
  int messages() {
    const std::string all = text();
    int n = 0;
    for (std::size_t at = all.find(kUnrealizableMessage); at != std::string::npos;
         at = all.find(kUnrealizableMessage, at + kUnrealizableMessage.size())) {
      ++n;
    }
    return n;
  }

 private:
  std::FILE* out_ = nullptr;
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
};

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
