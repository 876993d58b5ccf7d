// Microstrip analysis: msimp (static) and mszo (dispersion).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

#include "line_test_support.h"
#include "lines/lines.h"

namespace quendrix {
namespace {

using testing::Printed;

constexpr double kUnknown = std::numeric_limits<double>::quiet_NaN();

struct StaticCase {
  const char* name;
  float er, h1, h2, t, w;
  Printed weff, ef, zo, zoa;  // kUnknown where no reference value exists
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const StaticCase& c, std::ostream* os) { *os << c.name; }

void expectIfKnown(const char* field, float actual, Printed expected) {
  if (std::isnan(expected.value)) return;
  SCOPED_TRACE(field);
  EXPECT_ROUNDS_TO(actual, expected);
}

// Worked reference values of the static model, printed to five significant figures.
const StaticCase kStaticCases[] = {
    {"er2.2_u3", 2.2f, 0.031f, 10.0f, 0.0f, 0.093f,
     {0.093, 6}, {1.8782, 4}, {50.917, 3}, {69.781, 3}},
    {"er9.8_u1", 9.8f, 0.025f, 10.0f, 0.0f, 0.025f,
     {0.025, 6}, {6.5790, 4}, {49.289, 3}, {kUnknown, 0}},
    {"thick_strip", 2.2f, 0.031f, 10.0f, 0.0014f, 0.094f,
     {0.09667, 5}, {1.8725, 4}, {49.749, 3}, {kUnknown, 0}},
    {"cover_close_above", 2.2f, 0.2f, 0.5f, 0.0f, 0.6f,
     {0.6, 6}, {1.7965, 4}, {46.656, 3}, {kUnknown, 0}},
    // A cover more than 100 heights away does nothing: the same u = 3 line as the first row,
    // scaled up, gives that row's values again.
    {"cover_beyond_100_heights", 2.2f, 0.2f, 25.0f, 0.0f, 0.6f,
     {0.6, 6}, {1.8782, 4}, {50.917, 3}, {69.781, 3}},
};

class MsimpTable : public ::testing::TestWithParam<StaticCase> {};

TEST_P(MsimpTable, ReproducesReferenceValues) {
  const StaticCase& c = GetParam();
  const MicrostripStatic s = msimp(c.er, c.h1, c.h2, c.t, c.w);
  EXPECT_FLOAT_EQ(s.u, c.w / c.h1);
  expectIfKnown("weff", s.weff, c.weff);
  expectIfKnown("ef", s.ef, c.ef);
  expectIfKnown("zo", s.zo, c.zo);
  expectIfKnown("zoa", s.zoa, c.zoa);
  if (c.t == 0.0f) {
    EXPECT_EQ(s.weff, c.w) << "a strip of zero thickness is not widened";
  }
}

INSTANTIATE_TEST_SUITE_P(Lines, MsimpTable, ::testing::ValuesIn(kStaticCases),
                         [](const auto& info) { return testing::caseName(info.param.name); });

TEST(Msimp, AirDielectricGivesUnitPermittivityAndAirImpedance) {
  for (float t : {0.0f, 0.0014f}) {
    for (float h2 : {0.05f, 10.0f}) {  // with and without the cover correction
      const MicrostripStatic s = msimp(1.0f, 0.031f, h2, t, 0.05f);
      EXPECT_EQ(s.ef, 1.0f) << "t=" << t << " h2=" << h2;
      EXPECT_EQ(s.zo, s.zoa) << "t=" << t << " h2=" << h2;
    }
  }
}

// The cover correction reaches out to 100 substrate heights and no further.
TEST(Msimp, CoverActsUpTo100Heights) {
  const float h1 = 0.1f;
  const float w = 0.3f;
  const MicrostripStatic open = msimp(2.2f, h1, 1000.0f * h1, 0.0f, w);
  const MicrostripStatic far = msimp(2.2f, h1, 101.0f * h1, 0.0f, w);
  EXPECT_EQ(far.zo, open.zo);
  EXPECT_EQ(far.ef, open.ef);
  for (float r : {20.0f, 60.0f}) {
    EXPECT_NE(msimp(2.2f, h1, r * h1, 0.0f, w).zo, open.zo) << "cover at " << r << " heights";
  }
}

// For wide strips the cover polynomial turns negative and is held at 0; unheld, the logarithm
// of the correction has no value (here aq would be about -11.8).
TEST(Msimp, WideStripUnderCloseCoverHasFiniteImpedance) {
  const float open = msimp(2.2f, 0.2f, 10.0f, 0.0f, 4.0f).zo;
  const float covered = msimp(2.2f, 0.2f, 0.5f, 0.0f, 4.0f).zo;
  EXPECT_TRUE(std::isfinite(covered));
  EXPECT_LT(covered, open);
  EXPECT_GT(covered, 0.5f * open);
}

// The thickness widening changes formula at u = 1/(2 pi); both give the same widening there,
// so a fault in either branch shows as a jump.
TEST(Msimp, ThicknessWideningIsContinuousAtTheNarrowStripLimit) {
  const float h1 = 0.031f;
  const float t = 0.0014f;
  const float wEdge = h1 / (2.0f * 3.1415927f);
  const float narrow = msimp(2.2f, h1, 10.0f, t, wEdge * 0.9999f).weff - wEdge * 0.9999f;
  const float wide = msimp(2.2f, h1, 10.0f, t, wEdge * 1.0001f).weff - wEdge * 1.0001f;
  EXPECT_GT(narrow, 0.0f);
  EXPECT_NEAR(narrow, wide, 1e-4f * wide);
}

struct DispersionCase {
  const char* name;
  float er, h1, w, f;
  Printed eff, zof;
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const DispersionCase& c, std::ostream* os) { *os << c.name; }

// Kirschning-Jansen permittivity and Jansen-Kirschning impedance at 10 GHz for the first two
// static rows above.
const DispersionCase kDispersionCases[] = {
    {"er2.2_u3_10GHz", 2.2f, 0.031f, 0.093f, 10.0f, {1.9081, 4}, {51.207, 3}},
    {"er9.8_u1_10GHz", 9.8f, 0.025f, 0.025f, 10.0f, {6.9282, 4}, {49.729, 3}},
};

class MszoTable : public ::testing::TestWithParam<DispersionCase> {};

TEST_P(MszoTable, ReproducesReferenceValues) {
  const DispersionCase& c = GetParam();
  const MicrostripStatic s = msimp(c.er, c.h1, 10.0f, 0.0f, c.w);
  const MicrostripDispersed d = mszo(s.ef, c.er, c.f, c.h1, c.w, s.zo);
  EXPECT_ROUNDS_TO(d.eff, c.eff);
  EXPECT_ROUNDS_TO(d.zof, c.zof);
  // Dispersion raises the permittivity towards er.
  EXPECT_GT(d.eff, s.ef);
  EXPECT_LT(d.eff, c.er);
}

INSTANTIATE_TEST_SUITE_P(Lines, MszoTable, ::testing::ValuesIn(kDispersionCases),
                         [](const auto& info) { return testing::caseName(info.param.name); });

// At zero frequency, or in air, the static values pass through unchanged, whatever the other
// arguments are (even ones the dispersion formulas could not take).
TEST(Mszo, ZeroFrequencyOrAirPassesStaticValuesThrough) {
  struct Args {
    float ef, er, f, h1, w, zo;
  };
  const Args cases[] = {
      {1.8782f, 2.2f, 0.0f, 0.031f, 0.093f, 50.917f},
      {1.0f, 1.0f, 10.0f, 0.031f, 0.093f, 69.781f},
      {3.3f, 9.8f, 0.0f, -1.0f, 0.0f, 12.5f},
      {1.0f, 1.0f, 1e30f, 0.0f, -2.0f, 7.25f},
  };
  for (const Args& a : cases) {
    const MicrostripDispersed d = mszo(a.ef, a.er, a.f, a.h1, a.w, a.zo);
    EXPECT_EQ(d.eff, a.ef);
    EXPECT_EQ(d.zof, a.zo);
  }
}

}  // namespace
}  // namespace quendrix
