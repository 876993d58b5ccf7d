// Microstrip width synthesis.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

#include "line_test_support.h"
#include "lines/lines.h"

namespace quendrix {
namespace {

using testing::Printed;

// Analyses w as mswh does: msimp, then mszo of its results.
MicrostripAnalysis analyse(float er, float f, float h1, float h2, float t, float w) {
  MicrostripAnalysis a;
  a.statics = msimp(er, h1, h2, t, w);
  a.dispersed = mszo(a.statics.ef, er, f, h1, w, a.statics.zo);
  return a;
}

// Two analyses agree in every bit of every field.
void expectSameAnalysis(const MicrostripAnalysis& want, const MicrostripAnalysis& got) {
  EXPECT_EQ(want.statics.ef, got.statics.ef);
  EXPECT_EQ(want.statics.u, got.statics.u);
  EXPECT_EQ(want.statics.weff, got.statics.weff);
  EXPECT_EQ(want.statics.zo, got.statics.zo);
  EXPECT_EQ(want.statics.zoa, got.statics.zoa);
  EXPECT_EQ(want.dispersed.eff, got.dispersed.eff);
  EXPECT_EQ(want.dispersed.zof, got.dispersed.zof);
}

struct WidthCase {
  const char* name;
  float er, f, h1, h2, t, zod;
  Printed w, eff;
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const WidthCase& c, std::ostream* os) { *os << c.name; }

// Reference widths to three significant figures and effective permittivities at f to three
// decimals. The search may stop anywhere within 0.01 % of zod, so a width is only fixed to
// about its fourth figure.
const WidthCase kWidthCases[] = {
    {"er2.2_t1.4mil_50ohm", 2.2f, 10.0f, 0.031f, 10.0f, 0.0014f, 50.0f, {0.0941, 4}, {1.903, 3}},
    {"er2.2_t1.4mil_100ohm", 2.2f, 10.0f, 0.031f, 10.0f, 0.0014f, 100.0f, {0.0257, 4}, {1.762, 3}},
    {"er2.2_t1.4mil_20ohm", 2.2f, 10.0f, 0.031f, 10.0f, 0.0014f, 20.0f, {0.321, 3}, {2.061, 3}},
    {"er9.8_t0.2mil_50ohm", 9.8f, 10.0f, 0.025f, 10.0f, 0.0002f, 50.0f, {0.0243, 4}, {6.894, 3}},
    {"er10.2_5GHz_30ohm", 10.2f, 5.0f, 0.05f, 10.0f, 0.0007f, 30.0f, {0.117, 3}, {7.964, 3}},
    // The estimate 0.0944 is too narrow here: the first step doubles it, then the search
    // works back.
    {"er2.2_static_50ohm", 2.2f, 0.0f, 0.031f, 10.0f, 0.0f, 50.0f, {0.0956, 4}, {1.881, 3}},
    {"air_50ohm", 1.0f, 10.0f, 0.031f, 10.0f, 0.0f, 50.0f, {0.152, 3}, {1.000, 3}},
};

class MswhTable : public ::testing::TestWithParam<WidthCase> {};

TEST_P(MswhTable, FindsWidthWithinTolerance) {
  const WidthCase& c = GetParam();
  const MicrostripWidth r = mswh(c.er, c.f, c.h1, c.h2, c.t, c.zod);
  ASSERT_TRUE(r.realizable);
  ASSERT_TRUE(r.last.has_value());
  EXPECT_ROUNDS_TO(r.w, c.w);
  EXPECT_ROUNDS_TO(r.last->dispersed.eff, c.eff);
  EXPECT_LT(std::abs((r.last->dispersed.zof - c.zod) / c.zod), 0.0001f);

  // The analysis returned is exactly that of the width returned.
  expectSameAnalysis(analyse(c.er, c.f, c.h1, c.h2, c.t, r.w), *r.last);
}

INSTANTIATE_TEST_SUITE_P(Lines, MswhTable, ::testing::ValuesIn(kWidthCases),
                         [](const auto& info) { return testing::caseName(info.param.name); });

TEST(Mswh, StaticOrAirSearchMatchesStaticImpedance) {
  const MicrostripWidth stat = mswh(2.2f, 0.0f, 0.031f, 10.0f, 0.0014f, 75.0f);
  ASSERT_TRUE(stat.realizable);
  ASSERT_TRUE(stat.last.has_value());
  EXPECT_EQ(stat.last->dispersed.zof, stat.last->statics.zo);
  EXPECT_EQ(stat.last->dispersed.eff, stat.last->statics.ef);

  const MicrostripWidth air = mswh(1.0f, 10.0f, 0.031f, 10.0f, 0.0014f, 75.0f);
  ASSERT_TRUE(air.realizable);
  ASSERT_TRUE(air.last.has_value());
  EXPECT_EQ(air.last->dispersed.eff, 1.0f);
  EXPECT_EQ(air.last->dispersed.zof, air.last->statics.zo);
}

// Nothing is kept between calls.
TEST(Mswh, RepeatedCallGivesSameWidthAndAnalysis) {
  const MicrostripWidth r1 = mswh(9.8f, 10.0f, 0.025f, 10.0f, 0.0002f, 50.0f);
  ASSERT_TRUE(r1.realizable);
  const MicrostripWidth r2 = mswh(9.8f, 10.0f, 0.025f, 10.0f, 0.0002f, 50.0f);
  ASSERT_TRUE(r2.realizable);
  EXPECT_EQ(r1.w, r2.w);
  ASSERT_TRUE(r1.last.has_value() && r2.last.has_value());
  expectSameAnalysis(*r1.last, *r2.last);
}

// An estimate below 0.000025 inch: unrealizable, the estimate returned, and no analysis.
TEST(Mswh, TooNarrowEstimateIsRefusedWithoutAnalysis) {
  const MicrostripWidth r = mswh(9.8f, 10.0f, 0.025f, 10.0f, 0.0f, 250.0f);
  EXPECT_FALSE(r.realizable);
  EXPECT_GT(r.w, 0.0f);
  EXPECT_NEAR(r.w, 0.00001f, 0.000001f);
  EXPECT_FALSE(r.last.has_value());
}

// On er 9.8, h1 0.025 the estimate reaches 0.000025 inch near 227 ohms.
TEST(Mswh, RealizableLimitLiesNear227Ohms) {
  const MicrostripWidth below = mswh(9.8f, 10.0f, 0.025f, 10.0f, 0.0f, 226.0f);
  EXPECT_TRUE(below.realizable);
  EXPECT_GE(below.w, 0.000025f);
  EXPECT_TRUE(below.last.has_value());
  const MicrostripWidth above = mswh(9.8f, 10.0f, 0.025f, 10.0f, 0.0f, 228.0f);
  EXPECT_FALSE(above.realizable);
  EXPECT_LT(above.w, 0.000025f);
  EXPECT_FALSE(above.last.has_value());
}

// A strip as thick as the substrate: a narrow candidate has a negative effective width, its
// analysis is not a number, and the search ends on that width.
TEST(Mswh, NonFiniteAnalysisEndsAsUnrealizable) {
  const MicrostripWidth r = mswh(2.2f, 10.0f, 0.031f, 10.0f, 0.031f, 280.0f);
  EXPECT_FALSE(r.realizable);
  EXPECT_TRUE(std::isfinite(r.w));
  EXPECT_GE(r.w, 0.000025f) << "the estimate itself was realizable";
  ASSERT_TRUE(r.last.has_value()) << "widths were analysed";
  EXPECT_FALSE(std::isfinite(r.last->dispersed.zof));
  EXPECT_FALSE(std::isfinite(analyse(2.2f, 10.0f, 0.031f, 10.0f, 0.031f, r.w).dispersed.zof))
      << "w is the width whose analysis failed";
}

// A 4-inch substrate at 10 GHz: the estimate (about 0.00005 inch) is far too narrow for the
// dispersed impedance and the search only grows by that estimate per step. It gives up after
// its step limit with the last width tried, whose analysis it returns.
TEST(Mswh, SearchThatDoesNotSettleEndsAsUnrealizable) {
  const MicrostripWidth r = mswh(13.0f, 10.0f, 4.0f, 10.0f, 0.0f, 300.0f);
  EXPECT_FALSE(r.realizable);
  ASSERT_TRUE(std::isfinite(r.w));
  EXPECT_GT(r.w, 0.1f);
  ASSERT_TRUE(r.last.has_value());
  EXPECT_GT(std::abs((r.last->dispersed.zof - 300.0f) / 300.0f), 0.0001f);
  expectSameAnalysis(analyse(13.0f, 10.0f, 4.0f, 10.0f, 0.0f, r.w), *r.last);
}

}  // namespace
}  // namespace quendrix
