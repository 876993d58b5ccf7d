// Both width searches as inverses of their analyses: round trips, and a sweep over
// impedances, substrates and thicknesses showing that every search ends and that every width
// reported as found meets its tolerance.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "line_test_support.h"
#include "lines/lines.h"

namespace quendrix {
namespace {

float analyseMicrostrip(float er, float f, float h1, float h2, float t, float w) {
  const MicrostripStatic s = msimp(er, h1, h2, t, w);
  return mszo(s.ef, er, f, h1, w, s.zo).zof;
}

// The same float, bit for bit (a NaN equals the same NaN).
bool sameBits(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }

// Analyse a width, synthesize its impedance, recover the width. The impedance tolerance of
// 0.01 % allows a width error of 0.01 % divided by |d ln Z / d ln w|, which is above 0.3 for
// these lines: 0.05 % is enough.
TEST(RoundTrip, MicrostripRecoversWidth) {
  struct Line {
    float er, f, h1, h2, t;
  };
  const Line lines[] = {
      {2.2f, 10.0f, 0.031f, 10.0f, 0.0014f},
      {9.8f, 10.0f, 0.025f, 10.0f, 0.0002f},
      {10.2f, 5.0f, 0.05f, 10.0f, 0.0007f},
      {4.5f, 2.0f, 0.2f, 0.5f, 0.0f},  // cover close above
      {1.0f, 0.0f, 0.031f, 10.0f, 0.0f},
  };
  for (const Line& l : lines) {
    for (float ratio : {0.2f, 1.0f, 3.0f, 8.0f}) {
      const float w = ratio * l.h1;
      const float z = analyseMicrostrip(l.er, l.f, l.h1, l.h2, l.t, w);
      const MicrostripWidth found = mswh(l.er, l.f, l.h1, l.h2, l.t, z);
      ASSERT_TRUE(found.realizable) << "er=" << l.er << " w=" << w << " z=" << z;
      EXPECT_NEAR(found.w, w, 0.0005f * w) << "er=" << l.er << " z=" << z;
    }
  }
}

// The stripline tolerance is 0.1 % of the impedance; |d ln Z / d ln w| is above 0.25 here,
// so the width comes back within 0.4 %.
TEST(RoundTrip, StriplineRecoversWidth) {
  struct Line {
    float b, er, t;
  };
  const Line lines[] = {
      {0.062f, 2.2f, 0.0f}, {0.062f, 2.2f, 0.0014f}, {0.125f, 10.2f, 0.0007f}, {0.1f, 1.0f, 0.0f}};
  for (const Line& l : lines) {
    for (float ratio : {0.05f, 0.3f, 1.0f, 1.5f, 3.0f}) {
      const float w = ratio * l.b;
      const float z = slzo(l.b, l.er, l.t, w);
      const StriplineWidth found = slwb(l.b, l.er, l.t, z);
      ASSERT_TRUE(found.realizable) << "er=" << l.er << " w=" << w << " z=" << z;
      EXPECT_NEAR(found.w, w, 0.004f * w) << "er=" << l.er << " t=" << l.t << " z=" << z;
    }
  }
}

// Impedances 1 to 500 ohms on permittivities 1 to 13, thin to thick substrates, and strips
// from zero thickness to thicker than the substrate. Every call must return, meet its tolerance
// when it succeeds, and when it fails hand back results that say how: no analysis for a
// refused estimate, otherwise the analysis of the last width tried.
const float kPermittivities[] = {1.0f, 2.2f, 4.5f, 9.8f, 13.0f};
const float kHeights[] = {0.005f, 0.031f, 0.25f};
const float kThicknessToHeight[] = {0.0f, 0.02f, 0.3f, 1.0f, 1.5f};

std::vector<float> sweepImpedances() {
  std::vector<float> z;
  for (float v = 1.0f; v < 500.0f; v += 9.0f) z.push_back(v);
  z.push_back(500.0f);
  return z;
}

TEST(Sweep, EveryMicrostripSearchEndsAndMeetsItsTolerance) {
  int failures = 0;
  int refused = 0;
  int found = 0;
  for (float er : kPermittivities) {
    for (float h1 : kHeights) {
      for (float tByH : kThicknessToHeight) {
        for (float f : {0.0f, 10.0f}) {
          for (float zod : sweepImpedances()) {
            const float t = tByH * h1;
            const MicrostripWidth r = mswh(er, f, h1, 10.0f, t, zod);
            const float w = r.w;
            SCOPED_TRACE(::testing::Message() << "er=" << er << " h1=" << h1 << " t=" << t
                                              << " f=" << f << " zod=" << zod << " w=" << w);
            if (!r.realizable) {
              ++failures;
              if (!r.last) {
                ++refused;
                ASSERT_TRUE(!(w >= 0.000025f) || !std::isfinite(w)) << "an estimate refused";
              } else {
                ASSERT_TRUE(sameBits(analyseMicrostrip(er, f, h1, 10.0f, t, w), r.last->dispersed.zof));
              }
              continue;
            }
            ++found;
            ASSERT_TRUE(r.last.has_value());
            ASSERT_TRUE(std::isfinite(w));
            ASSERT_GT(w, 0.0f);
            ASSERT_LT(std::abs((r.last->dispersed.zof - zod) / zod), 0.0001f);
            ASSERT_EQ(analyseMicrostrip(er, f, h1, 10.0f, t, w), r.last->dispersed.zof);
          }
        }
      }
    }
  }
  EXPECT_GT(found, 0);
  EXPECT_GT(refused, 0);
  EXPECT_GT(failures, refused) << "some searches fail after analysing";
}

TEST(Sweep, EveryStriplineSearchEndsAndMeetsItsTolerance) {
  int failures = 0;
  int found = 0;
  for (float er : kPermittivities) {
    for (float b : kHeights) {
      for (float tByB : kThicknessToHeight) {
        for (float zWanted : sweepImpedances()) {
          const float t = tByB * b;
          const StriplineWidth r = slwb(b, er, t, zWanted);
          const float w = r.w;
          const float zo = r.zo;
          SCOPED_TRACE(::testing::Message() << "er=" << er << " b=" << b << " t=" << t
                                            << " zo wanted=" << zWanted << " w=" << w);
          if (!r.realizable) {
            ++failures;
            // The wanted impedance when the estimate was refused, else that of the last width.
            ASSERT_TRUE(sameBits(zo, zWanted) || sameBits(zo, slzo(b, er, t, w)));
            continue;
          }
          ++found;
          ASSERT_GE(w, 0.00005f);
          ASSERT_TRUE(std::isfinite(w));
          ASSERT_LT(std::abs(zo - zWanted), 0.001f * zWanted);
          ASSERT_EQ(slzo(b, er, t, w), zo);
        }
      }
    }
  }
  EXPECT_GT(found, 0);
  EXPECT_GT(failures, 0);
}

}  // namespace
}  // namespace quendrix
