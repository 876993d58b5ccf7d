// Helpers shared by the line models. Not part of the library's interface.
#pragma once

namespace quendrix::lines {

// pi as the single-precision value 3.1415927, everywhere in the line models.
inline constexpr float pi = 3.1415927f;

// Integer powers by repeated multiplication, each built from smaller ones
// (x^5 = x^3·x^2, x^7 = x^4·x^3, x^8 = x^4·x^4, x^12 = x^6·x^6, x^20 = x^10·x^10), so that every
// float rounding of a power is fixed and the same wherever it is used.
inline float pow2(float x) { return x * x; }
inline float pow3(float x) { return pow2(x) * x; }
inline float pow4(float x) { return pow2(x) * pow2(x); }
inline float pow5(float x) { return pow3(x) * pow2(x); }
inline float pow6(float x) { return pow3(x) * pow3(x); }
inline float pow7(float x) { return pow4(x) * pow3(x); }
inline float pow8(float x) { return pow4(x) * pow4(x); }
inline float pow10(float x) { return pow5(x) * pow5(x); }
inline float pow12(float x) { return pow6(x) * pow6(x); }
inline float pow20(float x) { return pow10(x) * pow10(x); }
inline double pow2(double x) { return x * x; }
inline double pow4(double x) { return pow2(x) * pow2(x); }

// Steps after which a width search that has not met its tolerance gives up and ends as an
// unrealizable width. Ordinary searches take from none to a few hundred steps.
inline constexpr int maxSearchSteps = 10000;

}  // namespace quendrix::lines
