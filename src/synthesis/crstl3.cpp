// Stub and connecting-line admittances of the bandpass filter of quarter-wave shorted
// shunt stubs joined by quarter-wave lines, by Cristal's design equations. Three sets of
// intermediate terms, a11, a12 and a22, are formed from the prototype, and the stub and
// line admittances follow from them. Single precision throughout.
#include <cmath>

#include "synthesis/synthesis.h"

namespace quendrix {

void crstl3(int n, float theta1, float h, const ProtoArray& g, float ya, PoleArray& ys,
            PoleArray& yl) {
  Array1<MAX_POLES + 1> gg;   // 1..n+1
  Array1<MAX_POLES + 1> a11;  // 2..n
  Array1<MAX_POLES + 1> a12;  // 1..n+1
  Array1<2> a22;              // 1..2

  const float tau = 0.5f * std::sin(theta1) / std::cos(theta1);  // tan(theta1)/2
  const float sqrth = std::sqrt(h);

  gg(1) = 1.0f / std::sqrt(g(1));
  for (int i = 2; i <= n + 1; ++i) {
    gg(i) = 1.0f / std::sqrt(g(i - 1) * g(i));
  }

  a12(1) = gg(1) * sqrth;
  a12(n + 1) = gg(n + 1) * sqrth;
  a22(1) = h * (gg(1) * gg(1) + tau);
  a22(2) = h * (gg(n + 1) * gg(n + 1) + tau);
  for (int i = 2; i <= n; ++i) {
    a11(i) = h * tau;
    a12(i) = h * std::sin(theta1) * gg(i);
  }

  // End stubs and end lines. For n = 2 the two line formulas give yl(1) twice; the
  // second one stands.
  ys(n) = ya * (a22(2) + a11(n) - a12(n + 1) * (a12(n + 1) + a12(n))) /
          (a12(n + 1) * a12(n + 1));
  yl(n - 1) = ya * a12(n) / a12(n + 1);
  yl(1) = ya * a12(2) / a12(1);
  ys(1) = ya * (a22(1) + a11(2) - a12(1) * (a12(1) + a12(2))) / (a12(1) * a12(1));
  if (n == 2) return;

  // Stubs next to the ends. For n = 3 both are ys(2), and the second one stands.
  ys(n - 1) = ya * (a11(n - 1) + a11(n) - a12(n) / a12(n + 1) - a12(n - 1));
  ys(2) = ya * (a11(2) + a11(3) - a12(2) / a12(1) - a12(3));
  if (n == 3) return;

  yl(n - 2) = ya * a12(n - 1);
  if (n == 4) return;

  yl(2) = ya * a12(3);
  for (int i = 3; i <= n - 2; ++i) {
    ys(i) = ya * (a11(i) + a11(i + 1) - a12(i) - a12(i + 1));
    yl(i) = ya * a12(i + 1);
  }
}

}  // namespace quendrix
