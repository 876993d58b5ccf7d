// Stripline analysis: impedance of a symmetric stripline (strip midway between two ground
// planes, homogeneous dielectric, so the effective permittivity is er itself).
//
//   t > 0:              Wheeler's formula for the strip of finite thickness;
//   t = 0, w/b <= 1.5:  Cohn's exact formula zo = 30·pi·K(k)/(K(k')·sqrt(er)), with the ratio
//                       of complete elliptic integrals in Hilberg's closed form, computed in
//                       double precision and rounded to single before use;
//   t = 0, w/b > 1.5:   the wide-strip approximation.
//
// Only ratios of lengths enter, so any length unit serves. Single precision apart from the
// elliptic-integral ratio.
#include <cmath>

#include "lines/common.h"
#include "lines/lines.h"

namespace quendrix {

namespace {

using lines::pi;
using lines::pow2;

// Wheeler: the thickness widens the strip by deltaw (normalised to b - t).
float thickStripImpedance(float b, float er, float t, float w) {
  const float x = t / b;
  const float temp = x / (1.0f - x);
  const float am = 2.0f / (1.0f + 0.6666667f * temp);
  const float deltaw =
      (temp / pi) * (1.0f - 0.5f * std::log(pow2(x / (2.0f - x)) +
                                            std::pow(0.0796f * x / (w / b + 1.1f * x), am)));
  const float wprime = w / (b - t) + deltaw;
  const float y = 8.0f / (pi * wprime);
  return (30.0f / std::sqrt(er)) * std::log(1.0f + (y / 2.0f) * (y + std::sqrt(pow2(y) + 6.27f)));
}

float wideStripImpedance(float er, float webyb) {
  const float cf = 1.3862944f / pi;  // ln 4 / pi
  return 30.0f * pi / (std::sqrt(er) * (webyb + cf));
}

// K(k)/K(k') for k = 1/cosh(pi·webyb/2), by Hilberg's closed form; both branches meet at
// k = 1/sqrt(2), which takes k' and the inversion. Double precision, pi the float value.
float ellipticRatio(float webyb) {
  const double dpi = pi;
  const double darg = dpi * webyb / 2.0;
  const double dk = 1.0 / std::cosh(darg);
  const double dkp = std::sqrt(1.0 - pow2(dk));
  const double rsqrt2 = 0.7071067811865476;
  const double dtemp = dk > rsqrt2 ? std::sqrt(dk) : std::sqrt(dkp);
  double dkbykp = std::log(2.0 * (1.0 + dtemp) / (1.0 - dtemp)) / dpi;
  if (dk <= rsqrt2) dkbykp = 1.0 / dkbykp;
  return static_cast<float>(dkbykp);
}

float narrowStripImpedance(float er, float webyb) {
  const float rho = ellipticRatio(webyb);
  return 30.0f * pi * rho / std::sqrt(er);
}

}  // namespace

float slzo(float b, float er, float t, float w) {
  if (t != 0.0f) return thickStripImpedance(b, er, t, w);
  const float webyb = w / b;
  if (webyb > 1.5f) return wideStripImpedance(er, webyb);
  return narrowStripImpedance(er, webyb);
}

}  // namespace quendrix
