// The ABCD and S-parameter arithmetic against textbook results of transmission-line theory.
#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "analysis/circuit.h"
#include "analysis/network.h"
#include "analysis/response.h"

namespace quendrix::analysis {
namespace {

constexpr double pi = std::numbers::pi;

// A line of the terminations' own impedance is matched at every length and only delays:
// S11 = 0, S21 = exp(-j theta). A quarter-wave line of sqrt(z1 z2) between z1 and z2 is the
// matching transformer: S11 = 0, S21 = -j. The same line between equal terminations reflects
// (z^2/z1 - z1)/(z^2/z1 + z1).
TEST(Network, LinesMatchDelayAndTransform) {
  for (const double theta : {0.1, 1.0, pi / 2, 2.5, 4.0}) {
    const SParameters s = sParameters(lineAbcd(50.0, theta), 50.0, 50.0);
    EXPECT_NEAR(std::abs(s.s11), 0.0, 1e-12) << theta;
    EXPECT_NEAR(std::abs(s.s21 - std::polar(1.0, -theta)), 0.0, 1e-12) << theta;
  }
  const SParameters q = sParameters(lineAbcd(std::sqrt(50.0 * 200.0), pi / 2), 50.0, 200.0);
  EXPECT_NEAR(std::abs(q.s11), 0.0, 1e-12);
  EXPECT_NEAR(std::abs(q.s22), 0.0, 1e-12);
  EXPECT_NEAR(std::abs(q.s21 - Complex(0.0, -1.0)), 0.0, 1e-12);
  const SParameters m = sParameters(lineAbcd(100.0, pi / 2), 50.0, 50.0);
  EXPECT_NEAR(m.s11.real(), (200.0 - 50.0) / (200.0 + 50.0), 1e-12);
}

// A shunt admittance Y between equal terminations z0: S21 = 2 / (2 + Y z0), S11 = -Y z0 / (2 + Y z0).
// A short-circuited stub is Y = 1 / (j z tan theta): open at a quarter wave, inductive below it,
// capacitive above.
TEST(Network, ShortedStubIsTheShuntAdmittanceOfItsInputImpedance) {
  for (const double theta : {0.05, 0.7, pi / 2, 2.0, 3.0}) {
    const double z = 20.0, z0 = 50.0;
    const Complex y = 1.0 / (Complex(0.0, z) * std::tan(theta));
    const SParameters s = sParameters(shortedStubAbcd(z, theta), z0, z0);
    EXPECT_NEAR(std::abs(s.s21 - 2.0 / (2.0 + y * z0)), 0.0, 1e-12) << theta;
    EXPECT_NEAR(std::abs(s.s11 - (-y * z0) / (2.0 + y * z0)), 0.0, 1e-12) << theta;
    EXPECT_NEAR(s.s21Db, 20.0 * std::log10(std::abs(s.s21)), 1e-9) << theta;
  }
}

// The group delay of a matched line is its length over the speed of light: a quarter wave at f0
// delays by 1/(4 f0) at every frequency (f0 in MHz gives microseconds: 83.33 ps at 3000 MHz).
TEST(Network, GroupDelayOfAMatchedLineIsAQuarterPeriodAtF0) {
  Circuit c;
  c.f0 = 3000.0;
  c.zSource = c.zLoad = 50.0;
  Element line;
  line.z = 50.0;
  line.f0 = c.f0;
  c.elements.push_back(line);
  for (const double f : {1.0, 1000.0, 3000.0, 5900.0, 12345.0}) {
    EXPECT_NEAR(groupDelay(c, f, delayStep(c)), 1e3 / (4.0 * c.f0), 1e-9) << f;
  }
}

}  // namespace
}  // namespace quendrix::analysis
