#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "design_data.h"

namespace quendrix::testing {
namespace {

struct WorkedCase {
  int n;
  int response;
  std::vector<double> stubOhms;  // 1/ynm(k), quoted to 2 decimals
  std::vector<double> lineOhms;  // 1/ynmm(k), quoted to 2 decimals
};

// The worked design: f0 = 3000 MHz, bw = 900 MHz, 50 ohms, d = 1, 0.1 dB Tchebyscheff
// or Butterworth.
const WorkedCase kWorked[] = {
    {5, kTchebyscheff, {13.68, 6.91, 6.98, 6.91, 13.68}, {38.66, 35.87, 35.87, 38.66}},
    {4, kTchebyscheff, {14.30, 7.27, 7.27, 14.30}, {38.37, 34.29, 38.37}},
    {5, kButterworth, {27.11, 13.08, 12.64, 13.08, 27.11}, {57.21, 72.77, 72.77, 57.21}},
};

TEST(Matia2, ReproducesWorkedDesigns) {
  for (const auto& c : kWorked) {
    SCOPED_TRACE(::testing::Message() << "n=" << c.n << " response=" << c.response);
    const ProtoArray g = prototype(c.n, 0.1f, c.response);
    PoleArray ynm;
    PoleArray ynmm;
    matia2(c.n, kWorkedTheta1, 1.0f, g, kWorkedYa, ynm, ynmm);
    for (int k = 1; k <= c.n; ++k) {
      EXPECT_NEAR(1.0f / ynm(k), c.stubOhms[k - 1], quoted(2)) << "stub " << k;
    }
    for (int k = 1; k < c.n; ++k) {
      EXPECT_NEAR(1.0f / ynmm(k), c.lineOhms[k - 1], quoted(2)) << "line " << k;
    }
  }
}

TEST(Matia2, InteriorAdmittancesScaleWithD) {
  // ca = 2 d g(1) scales the interior inverters aj(k) = ca/sqrt(g(k) g(k+1)) and their
  // an(k) with d, so the stubs 3..n-2 and lines 2..n-2, built from those alone, scale
  // with d; the end lines ya aj(1) = ya sqrt(ca/g(2)) scale with sqrt(d).
  const int n = 7;
  const ProtoArray g = prototype(n, 0.1f, kTchebyscheff);
  PoleArray ynm1;
  PoleArray ynmm1;
  matia2(n, kWorkedTheta1, 1.0f, g, kWorkedYa, ynm1, ynmm1);
  for (const float d : {0.5f, 0.8f}) {
    SCOPED_TRACE(d);
    PoleArray ynm;
    PoleArray ynmm;
    matia2(n, kWorkedTheta1, d, g, kWorkedYa, ynm, ynmm);
    for (int k = 3; k <= n - 2; ++k) EXPECT_NEAR(ynm(k) / ynm1(k), d, 1e-5) << "stub " << k;
    for (int k = 2; k <= n - 2; ++k) EXPECT_NEAR(ynmm(k) / ynmm1(k), d, 1e-5) << "line " << k;
    EXPECT_NEAR(ynmm(1) / ynmm1(1), std::sqrt(d), 1e-5);
    EXPECT_NEAR(ynmm(n - 1) / ynmm1(n - 1), std::sqrt(d), 1e-5);
  }
}

}  // namespace
}  // namespace quendrix::testing
