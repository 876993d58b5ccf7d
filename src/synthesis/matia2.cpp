// Stub and connecting-line admittances of the bandpass filter of quarter-wave shorted
// shunt stubs joined by quarter-wave lines, by the design equations of Matthaei, Young
// and Jones. aj are the normalised admittance inverters of the connecting lines and an
// the stub terms formed from them; the dimensionless parameter d enters the admittance
// level (ca) and the end stubs. Single precision throughout.
#include <cmath>

#include "synthesis/synthesis.h"

namespace quendrix {

void matia2(int n, float theta1, float d, const ProtoArray& g, float ya, PoleArray& ynm,
            PoleArray& ynmm) {
  Array1<MAX_POLES> aj;
  Array1<MAX_POLES> an;

  const float tano1 = std::sin(theta1) / std::cos(theta1);
  const float ca = 2.0f * d * g(1);

  // End inverters. For n = 2 both are aj(1), and the second line wins.
  aj(n - 1) = std::sqrt(ca * g(n + 1) / g(n - 1));
  aj(1) = std::sqrt(ca / g(2));

  const float t = ca * 0.5f * tano1;
  const float temp1 = t * t;
  an(1) = std::sqrt(aj(1) * aj(1) + temp1);
  an(n - 1) = std::sqrt(aj(n - 1) * aj(n - 1) + temp1);

  if (n > 3) {
    for (int k = 2; k <= n - 2; ++k) {
      aj(k) = ca / std::sqrt(g(k) * g(k + 1));
      an(k) = std::sqrt(aj(k) * aj(k) + temp1);
    }
  }

  // End stubs. With d = 1 the tan(theta1) term of the first stub is zero, and that of
  // the last stub vanishes to within rounding since g(n) g(n+1) = g(1).
  ynm(1) = ya * g(1) * tano1 * (1.0f - d) + ya * (an(1) - aj(1));
  ynm(n) = ya * (g(n) * g(n + 1) - d * g(1)) * tano1 + ya * (an(n - 1) - aj(n - 1));

  if (n != 2) {
    for (int k = 2; k <= n - 1; ++k) {
      ynm(k) = ya * (an(k - 1) + an(k) - aj(k - 1) - aj(k));
      ynmm(k) = ya * aj(k);
    }
  }
  ynmm(1) = ya * aj(1);
}

}  // namespace quendrix
