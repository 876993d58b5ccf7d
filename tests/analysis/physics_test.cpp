// Properties every stub filter of lossless commensurate lines must have, checked on the designs
// of both methods over a table of responses, ripples, orders and bandwidths.
#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "analysis_support.h"

namespace quendrix::analysis::testing {
namespace {

struct Case {
  const char* response;
  const char* ripple;
  int n;
  const char* bw;  // MHz, at f0 = 3000
};

// Odd and even orders, both responses, narrow to very wide bands, and the extremes of N.
const Case kCases[] = {
    {"tchebyscheff", "0.1", 5, "900"},  {"tchebyscheff", "0.1", 4, "900"},   {"tchebyscheff", "0.5", 6, "300"},
    {"tchebyscheff", "0.01", 3, "1800"}, {"tchebyscheff", "0.1", 2, "900"},  {"tchebyscheff", "0.2", 15, "600"},
    {"butterworth", "0.1", 5, "900"},   {"butterworth", "0.1", 4, "300"},    {"butterworth", "0.1", 9, "1500"},
    {"butterworth", "0.1", 40, "900"},
};

class Physics : public ::testing::TestWithParam<Case> {
 protected:
  Study study() const {
    const Case& c = GetParam();
    return studyOf({"--response", c.response, "--ripple", c.ripple, "--n", std::to_string(c.n), "--bw", c.bw});
  }
};

std::string caseName(const ::testing::TestParamInfo<Case>& info) {
  std::string r = info.param.ripple;
  for (char& ch : r) ch = ch == '.' ? 'p' : ch;
  return std::string(info.param.response) + "_" + r + "_n" + std::to_string(info.param.n) + "_bw" + info.param.bw;
}

constexpr double f0 = 3000.0;

// A lossless network has a unitary S-matrix: |S11|^2 + |S21|^2 = 1, the same at port 2, and the
// columns orthogonal. The sums are of order 1, so double rounding leaves about 1e-13; 1e-9 still
// catches a lossy or non-reciprocal element, or a wrong reference impedance, by many decades.
TEST_P(Physics, LosslessNetworkHasUnitaryScatteringMatrix) {
  const Study s = study();
  for (const Circuit& c : s.circuits) {
    for (int i = 1; i <= 240; ++i) {
      const double f = 4.0 * f0 * i / 240.0 + 0.37;  // off the special points 0, f0, 2 f0
      const SParameters p = analyse(c, f);
      SCOPED_TRACE(::testing::Message() << methodName(c.method) << " f = " << f);
      EXPECT_NEAR(std::norm(p.s11) + std::norm(p.s21), 1.0, 1e-9);
      EXPECT_NEAR(std::norm(p.s22) + std::norm(p.s12), 1.0, 1e-9);
      EXPECT_NEAR(std::abs(p.s11 * std::conj(p.s12) + p.s21 * std::conj(p.s22)), 0.0, 1e-9);
    }
  }
}

// With every element a quarter wave at f0, theta(2 f0 - f) = pi - theta(f): the stubs' cot and the
// lines' cos change sign together and the magnitudes are mirrored about f0. A shift of 2 f0 adds
// pi to every theta: stubs are unchanged and each of the n-1 lines changes sign, so the
// magnitudes repeat and S21 turns by (n-1)·180 degrees. Compared in dB, where the deep stopband
// keeps its digits.
TEST_P(Physics, IdealResponseIsSymmetricAboutF0AndRepeatsEvery2F0) {
  const Study s = study();
  const int n = GetParam().n;
  for (const Circuit& c : s.circuits) {
    for (int i = 1; i <= 60; ++i) {
      const double x = f0 * i / 61.0;
      SCOPED_TRACE(::testing::Message() << methodName(c.method) << " x = " << x);
      const SParameters below = analyse(c, f0 - x), above = analyse(c, f0 + x);
      EXPECT_NEAR(below.s21Db, above.s21Db, 1e-9 * std::fabs(below.s21Db) + 1e-9);
      EXPECT_NEAR(std::abs(below.s11), std::abs(above.s11), 1e-9);

      const double f = f0 - x;
      const SParameters later = analyse(c, f + 2.0 * f0);
      EXPECT_NEAR(later.s21Db, below.s21Db, 1e-9 * std::fabs(below.s21Db) + 1e-9);
      EXPECT_NEAR(std::abs(later.s11), std::abs(below.s11), 1e-9);
      const double turn = std::remainder(later.s21Angle - below.s21Angle - (n - 1) * std::numbers::pi, 2 * std::numbers::pi);
      EXPECT_NEAR(turn, 0.0, 1e-7);
    }
  }
}

// At f0 the stubs are open and the lines quarter-wave inverters; an odd design has an even number
// of them between equal terminations (zload = z0 for odd n) and its symmetric line impedances
// cancel: S11 = 0. Float impedances leave |S11| near 1e-7.
TEST(PhysicsAtF0, OddDesignsAreMatched) {
  for (const Case& k : kCases) {
    if (k.n % 2 == 0) continue;
    const Study s =
        studyOf({"--response", k.response, "--ripple", k.ripple, "--n", std::to_string(k.n), "--bw", k.bw});
    for (const Circuit& c : s.circuits) {
      SCOPED_TRACE(::testing::Message() << methodName(c.method) << " " << k.response << " n = " << k.n);
      EXPECT_LT(std::abs(analyse(c, f0).s11), 1e-5);
      EXPECT_NEAR(analyse(c, f0).s21Db, 0.0, 1e-9);
    }
  }
}

// At f = 0 and 2 f0 every stub is a short across the line: S21 vanishes. The connecting lines
// have no electrical length there either (0 or pi), so the n shorts act as one and the zero is
// simple: |S21| grows in proportion to the distance from it, 20 log10 2 dB for each doubling
// (an open stub in place of a shorted one, or a line of the wrong length, has no zero or
// another slope). At f = 0 itself S21 is exactly 0 and S11 = -1. The offsets are small enough
// for the first-order law to hold to 1e-4 dB; at 1e-9 f0 the stub factors of a 40-section
// cascade multiply to 1e-360 and need the renormalised cascade.
TEST_P(Physics, StubsGiveSimpleTransmissionZerosAt0And2F0) {
  const Study s = study();
  const double perDoubling = 20.0 * std::log10(2.0);
  for (const Circuit& c : s.circuits) {
    SCOPED_TRACE(methodName(c.method));
    const SParameters dc = analyse(c, 0.0);
    EXPECT_EQ(std::abs(dc.s21), 0.0);
    EXPECT_EQ(dc.s11, Complex(-1.0));
    for (const double eps : {1e-5 * f0, 1e-9 * f0}) {
      EXPECT_NEAR(analyse(c, 2 * eps).s21Db - analyse(c, eps).s21Db, perDoubling, 1e-4) << "eps " << eps;
      EXPECT_NEAR(analyse(c, 2 * f0 - 2 * eps).s21Db - analyse(c, 2 * f0 - eps).s21Db, perDoubling, 1e-4)
          << "eps " << eps;
      EXPECT_LT(analyse(c, eps).s21Db, -40.0) << "eps " << eps;
    }
    EXPECT_LT(analyse(c, 2 * f0).s21Db, -200.0);
  }
}

// The group delay is positive across the passband (a lossless filter delays its signal) and,
// like the magnitude, mirrored about f0.
TEST_P(Physics, GroupDelayIsPositiveAndSymmetricInThePassband) {
  const Study s = study();
  for (const Circuit& c : s.circuits) {
    const double delta = delayStep(c);
    for (int i = 0; i <= 20; ++i) {
      const double x = (s.fs.fhigh - f0) * i / 20.0;
      const double lo = groupDelay(c, f0 - x, delta), hi = groupDelay(c, f0 + x, delta);
      EXPECT_GT(lo, 0.0) << methodName(c.method) << " x = " << x;
      EXPECT_NEAR(lo, hi, 1e-6 * lo) << methodName(c.method) << " x = " << x;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Designs, Physics, ::testing::ValuesIn(kCases), caseName);

}  // namespace
}  // namespace quendrix::analysis::testing
