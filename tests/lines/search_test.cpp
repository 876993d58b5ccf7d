// Both width searches as inverses of their analyses: round trips, and a sweep over
// impedances, substrates and thicknesses showing that every search ends and that every width
// reported as found meets its tolerance.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "line_test_support.h"
#include "lines/lines.h"

namespace quendrix {
namespace {

using testing::ConsoleCapture;

float analyseMicrostrip(float er, float f, float h1, float h2, float t, float w) {
  msimp(er, h1, h2, t, w);
  mszo(msimp1.ef, er, f, h1, w, msimp1.zo);
  return mszo1.zof;
}

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
      int isyne = -1;
      float found = 0.0f;
      mswh(l.er, l.f, l.h1, l.h2, isyne, l.t, found, z);
      ASSERT_EQ(isyne, 0) << "er=" << l.er << " w=" << w << " z=" << z;
      EXPECT_NEAR(found, w, 0.0005f * w) << "er=" << l.er << " z=" << z;
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
      float z = 0.0f;
      slzo(l.b, l.er, l.t, w, z);
      int isyne = -1;
      float found = 0.0f;
      float zo = z;
      slwb(l.b, l.er, isyne, l.t, found, zo);
      ASSERT_EQ(isyne, 0) << "er=" << l.er << " w=" << w << " z=" << z;
      EXPECT_NEAR(found, w, 0.004f * w) << "er=" << l.er << " t=" << l.t << " z=" << z;
    }
  }
}

// Impedances 1 to 500 ohms on permittivities 1 to 13, thin to thick substrates, and strips
// from zero thickness to thicker than the substrate. Every call must return, write exactly
// one message when it fails, and meet its tolerance when it succeeds.
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
  ConsoleCapture console;
  int failures = 0;
  int found = 0;
  for (float er : kPermittivities) {
    for (float h1 : kHeights) {
      for (float tByH : kThicknessToHeight) {
        for (float f : {0.0f, 10.0f}) {
          for (float zod : sweepImpedances()) {
            const float t = tByH * h1;
            int isyne = -1;
            float w = 0.0f;
            mswh(er, f, h1, 10.0f, isyne, t, w, zod);
            ASSERT_TRUE(isyne == 0 || isyne == 1);
            if (isyne == 1) {
              ++failures;
              continue;
            }
            ++found;
            SCOPED_TRACE(::testing::Message() << "er=" << er << " h1=" << h1 << " t=" << t
                                              << " f=" << f << " zod=" << zod << " w=" << w);
            ASSERT_TRUE(std::isfinite(w));
            ASSERT_GT(w, 0.0f);
            ASSERT_LT(std::abs((mszo1.zof - zod) / zod), 0.0001f);
            ASSERT_EQ(analyseMicrostrip(er, f, h1, 10.0f, t, w), mszo1.zof);
          }
        }
      }
    }
  }
  EXPECT_EQ(console.messages(), failures);
  EXPECT_GT(found, 0);
  EXPECT_GT(failures, 0);
}

TEST(Sweep, EveryStriplineSearchEndsAndMeetsItsTolerance) {
  ConsoleCapture console;
  int failures = 0;
  int found = 0;
  for (float er : kPermittivities) {
    for (float b : kHeights) {
      for (float tByB : kThicknessToHeight) {
        for (float zWanted : sweepImpedances()) {
          const float t = tByB * b;
          int isyne = -1;
          float w = 0.0f;
          float zo = zWanted;
          slwb(b, er, isyne, t, w, zo);
          ASSERT_TRUE(isyne == 0 || isyne == 1);
          if (isyne == 1) {
            ++failures;
            continue;
          }
          ++found;
          SCOPED_TRACE(::testing::Message() << "er=" << er << " b=" << b << " t=" << t
                                            << " zo wanted=" << zWanted << " w=" << w);
          ASSERT_GE(w, 0.00005f);
          ASSERT_TRUE(std::isfinite(w));
          ASSERT_LT(std::abs(zo - zWanted), 0.001f * zWanted);
          float again = 0.0f;
          slzo(b, er, t, w, again);
          ASSERT_EQ(again, zo);
        }
      }
    }
  }
  EXPECT_EQ(console.messages(), failures);
  EXPECT_GT(found, 0);
  EXPECT_GT(failures, 0);
}

}  // namespace
}  // namespace quendrix
