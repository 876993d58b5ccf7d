// Properties that both stub-filter syntheses share, checked over every section count
// the program allows and both responses.
#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "design_data.h"

namespace quendrix::testing {
namespace {

using Synthesis = void (*)(int, float, float, const ProtoArray&, float, PoleArray&, PoleArray&);

struct Method {
  const char* name;
  Synthesis run;
};

const Method kMethods[] = {{"matia2", &matia2}, {"crstl3", &crstl3}};

struct Response {
  int code;
  float ripple;
};

const Response kResponses[] = {
    {kTchebyscheff, 0.01f}, {kTchebyscheff, 0.1f}, {kTchebyscheff, 0.5f}, {kButterworth, 0.0f}};

// Stub lengths for 10 %, 30 % (the worked design) and 60 % bandwidth at 3000 MHz.
const float kTheta1s[] = {theta1For(3000.0f, 300.0f), kWorkedTheta1, theta1For(3000.0f, 1800.0f)};

// The program passes d = h = 1. The mirror symmetry holds for any level, since every
// prototype has g(n) g(n+1) = g(1); other levels check that d and h enter both ends alike.
const float kLevels[] = {1.0f, 0.5f, 2.0f};

constexpr float kSentinel = -12345.0f;

// Mirror pairs agree to within single-precision rounding of the terms they are formed
// from. Some results are small differences of much larger terms (an(1) - aj(1) in
// Matthaei's end stubs, the interior stubs of a long Butterworth design), so the
// tolerance is taken relative to the largest admittance of the design. The worst seen
// over this sweep is about 6e-6 of it; a fault of formula or index is far above 2e-5.
constexpr float kMirrorTolerance = 2e-5f;

float largestMagnitude(const PoleArray& stubs, const PoleArray& lines, int n) {
  float m = 0.0f;
  for (int k = 1; k <= n; ++k) m = std::max(m, std::fabs(stubs(k)));
  for (int k = 1; k <= n - 1; ++k) m = std::max(m, std::fabs(lines(k)));
  return m;
}

void expectMirror(const PoleArray& y, int count, float scale, const char* what) {
  for (int k = 1; k <= count / 2; ++k) {
    EXPECT_NEAR(y(k), y(count + 1 - k), kMirrorTolerance * scale)
        << what << "(" << k << ") vs " << what << "(" << count + 1 - k << ")";
  }
}

// One design: outputs pre-filled with a sentinel, so that the elements beyond n stubs
// and n-1 lines (for n = 2: all but stubs 1, 2 and line 1) are seen to stay untouched.
void checkDesign(const Method& m, const Response& r, float level, float theta1, int n) {
  SCOPED_TRACE(::testing::Message() << m.name << " response=" << r.code << " ripple="
                                    << r.ripple << " level=" << level << " theta1=" << theta1
                                    << " n=" << n);
  const ProtoArray g = prototype(n, r.ripple, r.code);
  PoleArray stubs;
  PoleArray lines;
  for (int k = 1; k <= MAX_POLES; ++k) {
    stubs(k) = kSentinel;
    lines(k) = kSentinel;
  }
  m.run(n, theta1, level, g, kWorkedYa, stubs, lines);

  // Finite, but not necessarily positive: a wide band or a long Butterworth design can
  // ask for a stub of negative admittance, which is the design's verdict, not a fault.
  for (int k = 1; k <= n; ++k) EXPECT_TRUE(std::isfinite(stubs(k))) << "stub " << k;
  for (int k = 1; k <= n - 1; ++k) EXPECT_TRUE(std::isfinite(lines(k))) << "line " << k;
  for (int k = n + 1; k <= MAX_POLES; ++k) EXPECT_EQ(stubs(k), kSentinel) << "stub " << k;
  for (int k = n; k <= MAX_POLES; ++k) EXPECT_EQ(lines(k), kSentinel) << "line " << k;

  const float scale = largestMagnitude(stubs, lines, n);
  expectMirror(stubs, n, scale, "stub");
  expectMirror(lines, n - 1, scale, "line");
}

TEST(StubFilters, SymmetricEndToEndAndWriteOnlyTheirElements) {
  for (const auto& m : kMethods) {
    for (const auto& r : kResponses) {
      for (const float level : kLevels) {
        for (const float theta1 : kTheta1s) {
          for (int n = 2; n <= MAX_POLES; ++n) checkDesign(m, r, level, theta1, n);
        }
      }
    }
  }
}

TEST(StubFilters, AdmittancesScaleWithTheTerminatingAdmittance) {
  // Every result is ya times a function of the prototype and theta1.
  for (const auto& m : kMethods) {
    SCOPED_TRACE(m.name);
    const int n = 6;
    const ProtoArray g = prototype(n, 0.1f, kTchebyscheff);
    PoleArray stubs50;
    PoleArray lines50;
    PoleArray stubs75;
    PoleArray lines75;
    m.run(n, kWorkedTheta1, 1.0f, g, 1.0f / 50.0f, stubs50, lines50);
    m.run(n, kWorkedTheta1, 1.0f, g, 1.0f / 75.0f, stubs75, lines75);
    for (int k = 1; k <= n; ++k) {
      EXPECT_NEAR(stubs50(k) / stubs75(k), 1.5f, 1e-5) << "stub " << k;
    }
    for (int k = 1; k < n; ++k) {
      EXPECT_NEAR(lines50(k) / lines75(k), 1.5f, 1e-5) << "line " << k;
    }
  }
}

}  // namespace
}  // namespace quendrix::testing
