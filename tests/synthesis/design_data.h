// Shared data of the electrical-synthesis tests: the worked design used throughout
// (f0 = 3000 MHz, bw = 900 MHz, 50 ohms) and small helpers.
#pragma once

#include <cmath>

#include "synthesis/synthesis.h"

namespace quendrix::testing {

inline constexpr int kTchebyscheff = 1;
inline constexpr int kButterworth = 2;

// Stub length at the lower band edge, (pi/2)(1 - (bw/2)/f0), as the electrical
// dialogue forms it. For f0 = 3000 and bw = 900 this is 1.3351769 in single precision,
// whether the expression is evaluated in float or in double and then rounded.
inline float theta1For(float f0, float bw) {
  const float pi = 3.1415927f;
  return (pi * 0.5f) * (1.0f - (bw * 0.5f) / f0);
}

inline const float kWorkedTheta1 = theta1For(3000.0f, 900.0f);
inline constexpr float kWorkedYa = 0.02f;  // 1/50 ohms

inline ProtoArray prototype(int n, float ripple, int response) {
  ProtoArray g;
  pev(g, n, ripple, response);
  return g;
}

// Tolerance for "agrees with a value quoted to `decimals` decimal places".
inline double quoted(int decimals) { return 0.5 * std::pow(10.0, -decimals); }

}  // namespace quendrix::testing
