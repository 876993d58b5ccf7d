// The designs measured against their prototypes: passband ripple, attenuation at the band edges
// and at the skirt frequency, by both methods, for the worked example and a Butterworth design.
//
// The distributed filter is not the lumped prototype. Cristal's equations carry the prototype onto
// the stub network almost exactly; Matthaei's fit the stub's frequency dependence about the band
// edge theta1 and grow less accurate as the band widens. The tolerances below come from measuring
// first, and each says why it is what it is.
#include <cmath>

#include <gtest/gtest.h>

#include "analysis_support.h"
#include "synthesis/synthesis.h"

namespace quendrix::analysis::testing {
namespace {

const double kThreeDb = 10.0 * std::log10(2.0);  // 3.0103 dB, the Butterworth band edge

const Circuit& matthaei(const Study& s) { return s.circuits[0]; }
const Circuit& cristal(const Study& s) { return s.circuits[1]; }

// nsectn's attenuation at the skirt for n sections: the smallest whole attenuation wanted for
// which nsectn chooses exactly n gives its a2 for n (a2 depends on n only).
float prototypeSkirtAttenuation(const Study& s, float f1) {
  for (float a1 = 1.0f; a1 < 200.0f; a1 += 0.5f) {
    FilterSpec fs = s.request.fs;
    fs.f1 = f1;
    fs.a1 = a1;
    fs.fc = f1 > fs.fhigh ? fs.fhigh : fs.flow;
    const SectionCount c = nsectn(fs.ripple, fs.a1, fs.fc, fs.f1, fs.fhigh, fs.flow, 3, fs.itorb);
    if (c.ok && c.n == s.fs.n) return c.a2;
  }
  ADD_FAILURE() << "no attenuation gives n = " << s.fs.n;
  return 0;
}

// Worked example: Tchebyscheff 0.1 dB, N = 5, 3000 MHz, 900 MHz (30 %), 50 ohms.
// Measured: ripple Cristal 0.1015 dB, Matthaei 0.1335 dB; edges Cristal 0.1000, Matthaei 0.1335.
TEST(Figures, WorkedExampleRippleAndBandEdges) {
  const Study s = studyOf({});
  // Cristal: within 0.005 dB of the 0.1 dB asked for (measured +0.0015 inside the band, +0.00001
  // at the edges); a wrong element or termination moves these by tenths of a dB.
  EXPECT_NEAR(passbandRipple(s, cristal(s)), 0.1, 0.005);
  EXPECT_NEAR(attenuation(cristal(s), s.fs.flow), 0.1, 0.001);
  EXPECT_NEAR(attenuation(cristal(s), s.fs.fhigh), 0.1, 0.001);
  // Matthaei at 30 % bandwidth: the ripple comes out a third high (measured 0.1335 dB, with the
  // largest value at the edges). At least the prototype's, at most half as much again.
  for (const double a : {passbandRipple(s, matthaei(s)), attenuation(matthaei(s), s.fs.flow),
                         attenuation(matthaei(s), s.fs.fhigh)}) {
    EXPECT_GE(a, 0.1);
    EXPECT_LE(a, 0.15);
  }
}

// Butterworth, N = 5, same band: 3 dB at the edges, maximally flat (0 dB) at f0.
// Measured edges: Cristal 3.0103 dB, Matthaei 3.1050 dB.
TEST(Figures, ButterworthBandEdgesAre3Db) {
  const Study s = studyOf({"--response", "butterworth"});
  for (const Circuit* c : {&cristal(s), &matthaei(s)}) {
    EXPECT_NEAR(attenuation(*c, s.fs.f0), 0.0, 1e-9) << methodName(c->method);
    // The largest passband attenuation is at the edges: the response falls monotonically from f0.
    EXPECT_NEAR(passbandRipple(s, *c), attenuation(*c, s.fs.flow), 1e-6) << methodName(c->method);
  }
  // Cristal: within 0.005 dB of 3.0103 (measured to 1e-5).
  EXPECT_NEAR(attenuation(cristal(s), s.fs.flow), kThreeDb, 0.005);
  EXPECT_NEAR(attenuation(cristal(s), s.fs.fhigh), kThreeDb, 0.005);
  // Matthaei: measured +0.095 dB at 30 %; within 0.15 dB.
  EXPECT_NEAR(attenuation(matthaei(s), s.fs.flow), kThreeDb, 0.15);
  EXPECT_NEAR(attenuation(matthaei(s), s.fs.fhigh), kThreeDb, 0.15);
}

// Attenuation at the skirt frequency 3600 MHz against nsectn's a2 for N = 5, which maps the skirt
// through the lumped bandpass transformation (f/fo - fo/f)/w. The stub filter's response is a
// function of cos(theta) with zeros at 0 and 2 f0, and falls faster outside the band: the
// prototype's characteristic function taken at |cos(theta)|/cos(theta1) gives 12.00 dB here
// (Butterworth 12.44 dB) against the lumped 10.14 dB (11.22 dB). So the design meets a2 and
// exceeds it by up to about 2.5 dB for N = 5; 3 dB is the bound tested.
// Measured, Tchebyscheff: a2 10.14 dB, Matthaei 12.55, Cristal 11.95 (also at 2400 MHz, by the
// arithmetic symmetry). Butterworth: a2 11.22 dB, Matthaei 12.64, Cristal 12.27.
TEST(Figures, SkirtAttenuationMeetsTheLumpedEstimate) {
  for (const char* response : {"tchebyscheff", "butterworth"}) {
    const Study s = studyOf({"--response", response});
    const double a2 = prototypeSkirtAttenuation(s, 3600.0f);
    for (const Circuit& c : s.circuits) {
      SCOPED_TRACE(::testing::Message() << response << " " << methodName(c.method) << " a2 = " << a2);
      for (const double f : {3600.0, 2400.0}) {
        EXPECT_GE(attenuation(c, f), a2) << f;
        EXPECT_LE(attenuation(c, f), a2 + 3.0) << f;
      }
    }
  }
}

// N derived from the defaults' 40 dB at 3600 MHz: Tchebyscheff N = 10 (a2 41.73 dB), Butterworth
// N = 19 (a2 41.35 dB). The attenuation asked for is reached by both methods (measured
// Tchebyscheff: Matthaei 46.51, Cristal 45.87; Butterworth: 47.54, 46.11), and the Butterworth
// edges stay at 3 dB (Cristal 3.0103, Matthaei 2.877).
TEST(Figures, DerivedOrderReachesTheSkirtAttenuation) {
  for (const char* response : {"tchebyscheff", "butterworth"}) {
    const Study s = studyOf({"--response", response, "--skirt", "3600", "--attenuation", "40"});
    EXPECT_EQ(s.fs.n, response[0] == 't' ? 10 : 19);
    for (const Circuit& c : s.circuits) {
      EXPECT_GE(attenuation(c, 3600.0), s.fs.a2) << response << " " << methodName(c.method);
      EXPECT_LE(attenuation(c, 3600.0), s.fs.a2 + 7.0) << response << " " << methodName(c.method);
    }
    if (response[0] == 'b') {
      EXPECT_NEAR(attenuation(cristal(s), s.fs.flow), kThreeDb, 0.005);
      EXPECT_NEAR(attenuation(matthaei(s), s.fs.flow), kThreeDb, 0.2);
    }
  }
}

// Matthaei's approximation improves as the band narrows: its ripple error at 10, 30 and 60 %
// (measured 0.0036, 0.0335, 0.136 dB) grows with the bandwidth, while Cristal's stays below 0.01.
TEST(Figures, MatthaeiErrorGrowsWithBandwidthCristalStaysExact) {
  double previous = 0;
  for (const char* bw : {"300", "900", "1800"}) {
    const Study s = studyOf({"--bw", bw});
    const double error = passbandRipple(s, matthaei(s)) - 0.1;
    EXPECT_GT(error, previous) << bw;
    previous = error;
    EXPECT_NEAR(passbandRipple(s, cristal(s)), 0.1, 0.01) << bw;
  }
  EXPECT_LT(previous, 0.2);
}

// Both methods give mirror-symmetric networks, made for equal terminations: between z0 and z0
// (the reference of the Touchstone files) an even-N Tchebyscheff design shows its prototype
// ripple (measured, N = 4 and 6 at 10 and 30 %: Cristal 0.1000 to 0.1039 dB, Matthaei 0.1017 to
// 0.1495 dB). Between z0 and the zload = g(n+1) z0 the electrical report asks for, the same
// designs show about 0.4 dB (N = 4, 30 %: Matthaei 0.3955, Cristal 0.3269).
TEST(Figures, EvenDesignsShowThePrototypeRippleBetweenEqualTerminations) {
  for (const char* n : {"4", "6"}) {
    for (const char* bw : {"300", "900"}) {
      const Study s = studyOf({"--n", n, "--bw", bw});
      const double z0 = s.fs.z0;
      SCOPED_TRACE(::testing::Message() << "n = " << n << " bw = " << bw);
      EXPECT_NEAR(largestAttenuation(cristal(s), s.fs.flow, s.fs.fhigh, z0, z0), 0.1, 0.005);
      const double m = largestAttenuation(matthaei(s), s.fs.flow, s.fs.fhigh, z0, z0);
      EXPECT_GE(m, 0.1 - 1e-4);
      EXPECT_LE(m, 0.16);
    }
  }
}

}  // namespace
}  // namespace quendrix::analysis::testing
