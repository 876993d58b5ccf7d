// Stripline width synthesis.
//
// The estimate is the exact inverse of Cohn's zero-thickness formula (the narrow-strip case of
// slzo), or Wheeler's synthesis formula for a strip of finite thickness. A stepping search
// then corrects it with slzo until the impedance lies within 0.1 % of the wanted one.
// Lengths in inches.
#include <cmath>

#include "lines/common.h"
#include "lines/lines.h"

namespace quendrix {

namespace {

using lines::pi;
using lines::pow2;
using lines::pow4;

// Smallest strip width that can be built, inches.
constexpr float minWidth = 0.00005f;

// Inverse of Cohn's formula for a strip of zero thickness. The complementary modulus ak is
// formed in double precision and rounded to float when stored: near 1 it is
// 1 - ((E-2)/(E+2))^4 with E of order 1e5, of which float keeps too few bits (the search would
// then start off target at high impedances). It is held below 1 so that the logarithm stays
// finite for low impedances.
float zeroThicknessEstimate(float b, float a) {
  float ak;
  if (a <= 1.0f) {
    float temp = pi / a;
    if (temp > 87.0f) temp = 87.0f;  // largest exponent; e^87 is within float range
    const double e = std::exp(static_cast<double>(temp));
    ak = static_cast<float>(pow2((e - 2.0) / (e + 2.0)));
  } else {
    const double e = std::exp(static_cast<double>(pi * a));
    ak = static_cast<float>(std::sqrt(1.0 - pow4((e - 2.0) / (e + 2.0))));
  }
  if (ak >= 0.9999999f) ak = 0.9999999f;
  return (b / pi) * std::log((1.0f + ak) / (1.0f - ak));
}

// Wheeler's synthesis for the strip of finite thickness: wo is the widened width W'/b of
// slzo's thick-strip case, deltaw the widening.
float thickStripEstimate(float b, float t, float a) {
  const float x = t / b;
  const float am = 2.0f / (1.0f + 0.6666667f * x / (1.0f - x));
  const float wo =
      (8.0f * (1.0f - x) / pi) * std::sqrt(std::exp(pi * a) + 0.568f) / (std::exp(pi * a) - 1.0f);
  const float deltaw =
      (x / pi) *
      (1.0f - 0.5f * std::log(pow2(x / (2.0f - x)) + std::pow(0.0796f * x / (wo - 0.26f * x), am)));
  return b * (wo - deltaw);
}

// A width below what can be built, or a width or impedance that is not a number.
bool unrealizable(float w, float zo) {
  return w < minWidth || !std::isfinite(w) || !std::isfinite(zo);
}

}  // namespace

StriplineWidth slwb(float b, float er, float t, float zo) {
  StriplineWidth r;
  const float a = std::sqrt(er) * zo / (30.0f * pi);  // normalised impedance
  float w = t == 0.0f ? zeroThicknessEstimate(b, a) : thickStripEstimate(b, t, a);
  // zo still holds the wanted impedance here, and is what the search hands back if it
  // ends now.
  if (unrealizable(w, zo)) {
    r.w = w;
    r.zo = zo;
    return r;
  }

  const float zod = zo;
  const float tp = 0.001f * zod;
  float winc = 0.01f * w;
  // From here on zo is the impedance of the last width analysed.
  zo = slzo(b, er, t, w);
  // The step is 1 % of the estimate either way: backwards when the strip is too wide,
  // forwards otherwise (equality included). Its sign never changes afterwards.
  if (zod > zo) winc = -winc;

  for (int steps = 0;; ++steps) {
    // Also after the first analysis: its impedance may not be a number.
    if (unrealizable(w, zo)) break;
    if (std::abs(zod - zo) < tp) {
      r.realizable = true;
      break;
    }
    // A search that does not settle ends as an unrealizable width.
    if (steps == lines::maxSearchSteps) break;
    // test >= 0: the last step has not yet carried the impedance past zod.
    float test = zo - zod;
    if (winc < 0.0f) test = -test;
    if (test < 0.0f) {
      winc = winc / 2.0f;
      w = w - winc;
    } else {
      w = w + winc;
    }
    zo = slzo(b, er, t, w);
  }
  r.w = w;
  r.zo = zo;
  return r;
}

}  // namespace quendrix
