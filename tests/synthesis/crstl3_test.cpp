#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "design_data.h"

namespace quendrix::testing {
namespace {

struct WorkedCase {
  int n;
  int response;
  std::vector<double> stubOhms;  // 1/ys(k), quoted to 2 decimals
  std::vector<double> lineOhms;  // 1/yl(k), quoted to 2 decimals
};

// The worked design: f0 = 3000 MHz, bw = 900 MHz, 50 ohms, h = 1, 0.1 dB Tchebyscheff
// or Butterworth. n = 3 exercises the single interior stub, n = 4 the two stubs next to
// the ends, n = 5 the general interior.
const WorkedCase kWorked[] = {
    {5, kTchebyscheff, {12.67, 18.22, 16.76, 18.22, 12.67}, {60.21, 84.62, 84.62, 60.21}},
    {4, kTchebyscheff, {13.27, 18.69, 18.69, 13.27}, {58.77, 78.19, 58.77}},
    {3, kTchebyscheff, {14.75, 21.15, 14.75}, {55.08, 55.08}},
    {5, kButterworth, {27.63, 17.48, 16.21, 17.48, 27.63}, {65.41, 92.50, 92.50, 65.41}},
};

TEST(Crstl3, ReproducesWorkedDesigns) {
  for (const auto& c : kWorked) {
    SCOPED_TRACE(::testing::Message() << "n=" << c.n << " response=" << c.response);
    const ProtoArray g = prototype(c.n, 0.1f, c.response);
    PoleArray ys;
    PoleArray yl;
    crstl3(c.n, kWorkedTheta1, 1.0f, g, kWorkedYa, ys, yl);
    for (int k = 1; k <= c.n; ++k) {
      EXPECT_NEAR(1.0f / ys(k), c.stubOhms[k - 1], quoted(2)) << "stub " << k;
    }
    for (int k = 1; k < c.n; ++k) {
      EXPECT_NEAR(1.0f / yl(k), c.lineOhms[k - 1], quoted(2)) << "line " << k;
    }
  }
}

TEST(Crstl3, InteriorAdmittancesScaleWithH) {
  // h multiplies a11 and the interior a12, so the general interior stubs 3..n-2 and the
  // lines 2..n-2 scale with h; the end lines ya a12(2)/a12(1) scale with sqrt(h).
  const int n = 7;
  const ProtoArray g = prototype(n, 0.1f, kTchebyscheff);
  PoleArray ys1;
  PoleArray yl1;
  crstl3(n, kWorkedTheta1, 1.0f, g, kWorkedYa, ys1, yl1);
  for (const float h : {0.5f, 2.0f}) {
    SCOPED_TRACE(h);
    PoleArray ys;
    PoleArray yl;
    crstl3(n, kWorkedTheta1, h, g, kWorkedYa, ys, yl);
    for (int k = 3; k <= n - 2; ++k) EXPECT_NEAR(ys(k) / ys1(k), h, 1e-5) << "stub " << k;
    for (int k = 2; k <= n - 2; ++k) EXPECT_NEAR(yl(k) / yl1(k), h, 1e-5) << "line " << k;
    EXPECT_NEAR(yl(1) / yl1(1), std::sqrt(h), 1e-5);
    EXPECT_NEAR(yl(n - 1) / yl1(n - 1), std::sqrt(h), 1e-5);
  }
}

}  // namespace
}  // namespace quendrix::testing
