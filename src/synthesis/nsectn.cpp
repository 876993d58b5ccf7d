// Filter order from the attenuation wanted at a skirt frequency. The skirt frequency is
// mapped to a normalised lowpass frequency, and the classical closed-form order
// formulas of the Butterworth and Tchebyscheff responses give the order (Matthaei,
// Young and Jones). Single precision throughout.
#include <climits>
#include <cmath>

#include "synthesis/synthesis.h"

namespace quendrix {

namespace {

// arcosh(y) as ln(y + sqrt(y^2 - 1)), the form the order formula is written in.
float arcosh(float y) {
  return std::log(y + std::sqrt(y * y - 1.0f));
}

}  // namespace

int nsectnorder(float x) {
  const float sum = x + 0.999f;
  if (!std::isfinite(sum)) return 2;
  // 2147483647.0f is 2^31, the first float an int cannot hold. Such an n is far above
  // the pole limit and the caller refuses it, so the largest int serves.
  if (sum >= 2147483647.0f) return INT_MAX;
  int n = 2;
  if (sum > -2147483648.0f) n = static_cast<int>(sum);  // truncation toward zero
  if (n <= 2) n = 2;
  return n;
}

SectionCount nsectn(float am, float a1, float fc, float f1, float fh1, float fl1, int ides,
                    int ires) {
  SectionCount r;

  // Normalised lowpass frequency of the skirt. Any other ides maps to no usable
  // frequency and fails below.
  float freq = 0.0f;
  if (ides == 1) {
    freq = f1 / fc;
  } else if (ides == 2) {
    freq = fc / f1;
  } else if (ides == 3 || ides == 4) {
    const float fo = std::sqrt(fl1 * fh1);  // geometric centre
    const float bw = (fh1 - fl1) / fo;      // fractional bandwidth
    freq = std::fabs((f1 / fo - fo / f1) / bw);
    if (ides == 4) freq = 1.0f / freq;
  }

  // The wanted attenuation must exceed the ripple; a NaN on either side fails too.
  if (!(a1 > am)) return r;
  // freq = 0 is the skirt at the geometric centre; a NaN frequency is no better.
  if (!(freq > 0.0f)) return r;

  float x = 0.0f;
  float tp = 0.0f;  // ripple factor epsilon^2 (Tchebyscheff)
  float temp = 0.0f;
  if (ires == 2) {
    x = std::log(std::pow(10.0f, a1 / 10.0f) - 1.0f) / (2.0f * std::log(freq));
  } else {
    tp = std::pow(10.0f, am / 10.0f) - 1.0f;
    temp = std::sqrt((std::pow(10.0f, a1 / 10.0f) - 1.0f) / tp);
    if (freq < 1.0f) {
      x = std::acos(temp) / std::acos(freq);
    } else {
      x = arcosh(temp) / arcosh(freq);
    }
  }

  const int n = nsectnorder(x);

  // Attenuation reached at the skirt with this n.
  const float rn = static_cast<float>(n);
  float a2 = 0.0f;
  if (ires == 2) {
    a2 = 10.0f * std::log10(1.0f + std::pow(freq, 2.0f * rn));
  } else {
    if (freq < 1.0f) {
      const float c = std::cos(rn * std::acos(freq));
      temp = c * c;
    } else {
      const float c = std::cosh(rn * arcosh(freq));
      temp = c * c;
    }
    a2 = 10.0f * std::log10(1.0f + tp * temp);
  }
  return SectionCount{n, a2, true};
}

}  // namespace quendrix
