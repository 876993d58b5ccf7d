// Element values of the normalised lowpass ladder prototype, by the classical closed
// forms for the Butterworth (maximally flat) and Tchebyscheff (equal-ripple) responses
// as tabulated by Matthaei, Young and Jones. Single precision throughout.
#include <cmath>

#include "synthesis/synthesis.h"

namespace quendrix {

void pev(ProtoArray& g, int n, float lar, int ltype) {
  const float pi = 3.1415927f;
  const float fn = static_cast<float>(n);
  const float f2n = static_cast<float>(2 * n);

  g(n + 1) = 1.0f;

  if (ltype == 2) {
    // Butterworth: g(k) = 2 sin((2k-1) pi / 2n), load element 1.
    for (int k = 1; k <= n; ++k) {
      g(k) = 2.0f * std::sin(static_cast<float>(2 * k - 1) * pi / f2n);
    }
    return;
  }

  // Tchebyscheff with lar dB of ripple. 17.37 = 40/ln(10): beta = ln(coth(lar/17.37)).
  Array1<MAX_POLES> a;
  Array1<MAX_POLES> b;
  const float beta = std::log(1.0f / std::tanh(lar / 17.37f));
  float d1 = beta * 0.5f / fn;
  const float gamma = (std::exp(d1) - std::exp(-d1)) * 0.5f;  // sinh(beta/2n)
  d1 = gamma * gamma;

  for (int k = 1; k <= n; ++k) {
    a(k) = std::sin(static_cast<float>(2 * k - 1) * pi / f2n);
    const float s = std::sin(static_cast<float>(k) * pi / fn);
    b(k) = s * s + d1;
  }

  g(1) = 2.0f * a(1) / gamma;
  for (int k = 2; k <= n; ++k) {
    g(k) = 4.0f * a(k - 1) * a(k) / (b(k - 1) * g(k - 1));
  }

  // Load element: 1 for odd n (to within rounding), above 1 for even n.
  g(n + 1) = g(1) / g(n);
}

}  // namespace quendrix
