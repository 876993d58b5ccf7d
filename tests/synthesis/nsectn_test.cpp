#include <climits>
#include <cmath>

#include <gtest/gtest.h>

#include "design_data.h"

namespace quendrix::testing {
namespace {

constexpr int kLowpass = 1;
constexpr int kHighpass = 2;
constexpr int kBandpass = 3;
constexpr int kBandstop = 4;

// Passband of the worked design.
constexpr float kFlow = 2550.0f;
constexpr float kFhigh = 3450.0f;

// nsectn's result, with ierr = 0 for ok and 1 for a request that cannot be met.
struct Result {
  int ierr;
  int n;
  float a2;
};

Result order(float am, float a1, float fc, float f1, float fh1, float fl1, int ides,
             int ires) {
  const SectionCount c = nsectn(am, a1, fc, f1, fh1, fl1, ides, ires);
  return Result{c.ok ? 0 : 1, c.n, c.a2};
}

Result bandpassOrder(float am, float a1, float f1, int ires) {
  const float fc = (f1 > kFhigh) ? kFhigh : kFlow;  // as the electrical dialogue passes it
  return order(am, a1, fc, f1, kFhigh, kFlow, kBandpass, ires);
}

TEST(Nsectn, WorkedSkirtExample) {
  // Passband 2550..3450 MHz, 40 dB wanted at 3600 MHz (normalised frequency 1.2847).
  // 2443.75 MHz = 2550*3450/3600 is the geometric mirror of 3600 MHz below the band
  // and maps to the same normalised frequency.
  struct Case {
    int ires;
    float am;
    float f1;
    int n;
    double a2;  // quoted to 2 decimals
  };
  const Case cases[] = {
      {kTchebyscheff, 0.1f, 3600.0f, 10, 41.73},
      {kTchebyscheff, 0.1f, 2443.75f, 10, 41.73},
      {kButterworth, 0.1f, 3600.0f, 19, 41.35},
      {kButterworth, 3.0f, 3600.0f, 19, 41.35},  // the ripple only gates a1 > am
      {kButterworth, 0.1f, 2443.75f, 19, 41.35},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "ires=" << c.ires << " am=" << c.am << " f1=" << c.f1);
    const Result r = bandpassOrder(c.am, 40.0f, c.f1, c.ires);
    EXPECT_EQ(r.ierr, 0);
    EXPECT_EQ(r.n, c.n);
    EXPECT_NEAR(r.a2, c.a2, quoted(2));
  }
}

TEST(Nsectn, ReportsSuccess) {
  const SectionCount c = nsectn(0.1f, 40.0f, kFhigh, 3600.0f, kFhigh, kFlow, kBandpass, kTchebyscheff);
  EXPECT_TRUE(c.ok);
}

TEST(Nsectn, EveryMappingOfTheSameNormalisedFrequencyAgrees) {
  // Each skirt below maps to normalised frequency 2. Butterworth, 40 dB:
  // x = ln(10^4 - 1)/(2 ln 2) = 6.64, so n = 7 and a2 = 10 log10(1 + 2^14) = 42.14 dB.
  // Bandpass and bandstop skirts solve f1^2 - c f1 - fo^2 = 0, with fo^2 = fl1 fh1 and
  // c = 2 (fh1 - fl1) for bandpass, (fh1 - fl1)/2 for bandstop.
  const double fo2 = double{kFlow} * kFhigh;
  const auto skirt = [&](double c) { return float((c + std::sqrt(c * c + 4.0 * fo2)) / 2.0); };
  struct Case {
    int ides;
    float fc;
    float f1;
  };
  const Case cases[] = {
      {kLowpass, 1000.0f, 2000.0f},
      {kHighpass, 1000.0f, 500.0f},
      {kBandpass, 0.0f, skirt(2.0 * (kFhigh - kFlow))},
      {kBandstop, 0.0f, skirt(0.5 * (kFhigh - kFlow))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "ides=" << c.ides);
    const Result r = order(0.1f, 40.0f, c.fc, c.f1, kFhigh, kFlow, c.ides, kButterworth);
    EXPECT_EQ(r.ierr, 0);
    EXPECT_EQ(r.n, 7);
    EXPECT_NEAR(r.a2, 42.14, quoted(2));
  }
}

TEST(Nsectn, OrderToleratesAThousandthAboveAnInteger) {
  // Lowpass skirt at normalised frequency exactly 1.5, with a1 chosen so that the order
  // formula gives x: Butterworth a1 = 10 log10(1 + 1.5^(2x)); Tchebyscheff
  // a1 = 10 log10(1 + eps^2 cosh^2(x arcosh 1.5)) with eps^2 = 10^(am/10) - 1.
  const double freq = 1.5;
  const double am = 0.1;
  const double tp = std::pow(10.0, am / 10.0) - 1.0;
  struct Case {
    int ires;
    double x;
    int n;
  };
  const Case cases[] = {
      {kButterworth, 9.0005, 9},   {kButterworth, 9.002, 10},   {kButterworth, 2.5, 3},
      {kButterworth, 1.2, 2},      {kButterworth, 25.4, 26},    {kTchebyscheff, 9.0005, 9},
      {kTchebyscheff, 9.002, 10},  {kTchebyscheff, 4.9995, 5},  {kTchebyscheff, 1.5, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "ires=" << c.ires << " x=" << c.x);
    const double a1 =
        (c.ires == kButterworth)
            ? 10.0 * std::log10(1.0 + std::pow(freq, 2.0 * c.x))
            : 10.0 * std::log10(1.0 + tp * std::pow(std::cosh(c.x * std::acosh(freq)), 2.0));
    const Result r = order(float(am), float(a1), 2.0f, 3.0f, 0.0f, 0.0f, kLowpass, c.ires);
    EXPECT_EQ(r.ierr, 0);
    EXPECT_EQ(r.n, c.n);
  }
}

TEST(Nsectn, OrderRule) {
  // Integer part of x + 0.999 in single precision, at least 2; 2 when not finite.
  struct Case {
    float x;
    int n;
  };
  const Case cases[] = {
      {9.0005f, 9},      {9.002f, 10},      {9.0f, 9},           {40.0f, 40},
      {40.2f, 41},       {2.0f, 2},         {2.5f, 3},           {2.002f, 3},
      {1.0f, 2},         {0.0f, 2},         {-0.5f, 2},          {-7.0f, 2},
      {-3.0e9f, 2},      {INFINITY, 2},     {-INFINITY, 2},      {NAN, 2},
      {2147483520.0f, 2147483520},  // the largest float below 2^31
      {2147483648.0f, INT_MAX},     {1.0e30f, INT_MAX},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(nsectnorder(c.x), c.n) << "x=" << c.x;
  }
}

TEST(Nsectn, DegenerateSkirtsGiveTheMinimumOrder) {
  struct Case {
    const char* what;
    int ires;
    int ides;
    float fc;
    float f1;
    float a1;
  };
  const Case cases[] = {
      // freq = 1 makes the denominator of x zero. The lowpass mapping gives exactly 1;
      // the bandpass mapping at a band edge lands within a few ulps of 1, on either side.
      {"lowpass skirt on the edge", kTchebyscheff, kLowpass, 1000.0f, 1000.0f, 40.0f},
      {"lowpass skirt on the edge", kButterworth, kLowpass, 1000.0f, 1000.0f, 40.0f},
      // freq < 1 and a1 > 3.01 dB make x negative.
      {"Butterworth skirt in the passband", kButterworth, kBandpass, kFlow, 3300.0f, 40.0f},
      // freq < 1: the arccosine of temp > 1 has no real value.
      {"Tchebyscheff skirt in the passband", kTchebyscheff, kBandpass, kFlow, 3300.0f, 40.0f},
      // A modest attenuation far out needs fewer than 2 sections.
      {"Butterworth far skirt", kButterworth, kBandpass, kFhigh, 9000.0f, 10.0f},
      {"Tchebyscheff far skirt", kTchebyscheff, kBandpass, kFhigh, 9000.0f, 10.0f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.what << " ires=" << c.ires);
    const Result r = order(0.1f, c.a1, c.fc, c.f1, kFhigh, kFlow, c.ides, c.ires);
    EXPECT_EQ(r.ierr, 0);
    EXPECT_EQ(r.n, 2);
    EXPECT_TRUE(std::isfinite(r.a2));
  }
}

TEST(Nsectn, SkirtInsideTchebyscheffPassbandAttenuatesNoMoreThanTheRipple) {
  for (const float f1 : {2600.0f, 2966.0f, 3300.0f, 3449.0f}) {
    const Result r = bandpassOrder(0.1f, 40.0f, f1, kTchebyscheff);
    EXPECT_EQ(r.n, 2) << f1;
    EXPECT_LE(r.a2, 0.1f + 1e-5f) << f1;
    EXPECT_GE(r.a2, 0.0f) << f1;
  }
}

TEST(Nsectn, UnmeetableRequestsGiveNoOrder) {
  const float centre = std::sqrt(kFlow * kFhigh);  // maps to normalised frequency 0
  struct Case {
    const char* what;
    float am;
    float a1;
    int ides;
    float fc;
    float f1;
    float fl1;
  };
  const Case cases[] = {
      {"a1 below the ripple", 0.5f, 0.1f, kBandpass, kFhigh, 3600.0f, kFlow},
      {"a1 equal to the ripple", 0.1f, 0.1f, kBandpass, kFhigh, 3600.0f, kFlow},
      {"a1 not a number", 0.1f, NAN, kBandpass, kFhigh, 3600.0f, kFlow},
      {"ripple not a number", NAN, 40.0f, kBandpass, kFhigh, 3600.0f, kFlow},
      {"skirt at the geometric centre", 0.1f, 40.0f, kBandpass, kFlow, centre, kFlow},
      {"negative lowpass frequency", 0.1f, 40.0f, kLowpass, 1000.0f, -2000.0f, kFlow},
      {"frequency not a number", 0.1f, 40.0f, kBandpass, kFhigh, 3600.0f, NAN},
      {"unknown mapping", 0.1f, 40.0f, 7, kFhigh, 3600.0f, kFlow},
  };
  for (const auto& c : cases) {
    for (const int ires : {kTchebyscheff, kButterworth}) {
      SCOPED_TRACE(::testing::Message() << c.what << " ires=" << ires);
      const Result r = order(c.am, c.a1, c.fc, c.f1, kFhigh, c.fl1, c.ides, ires);
      EXPECT_EQ(r.ierr, 1);
      EXPECT_EQ(r.n, 0);
      EXPECT_EQ(r.a2, 0.0f);
    }
  }
}

}  // namespace
}  // namespace quendrix::testing
