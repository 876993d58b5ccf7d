// Electrical synthesis of the stub bandpass filter: lowpass prototype values, filter
// order from a skirt attenuation, and the stub and line admittances by the methods of
// Matthaei and of Cristal. These routines compute and return; they print nothing and
// validate nothing. Scalars are passed by value, arrays are indexed from 1.
#pragma once

#include "synthesis/poles.h"

namespace quendrix {

// Lowpass ladder prototype g(1)..g(n+1) for n sections; g0 = 1 is implied.
// ltype 2 is Butterworth, any other value Tchebyscheff with ripple lar (dB, > 0).
// Writes g(1)..g(n+1) only.
void pev(ProtoArray& g, int n, float lar, int ltype);

// Result of nsectn: the number of sections and the attenuation (dB) it gives at the skirt.
// ok is false when the request cannot be met; n and a2 are then 0.
struct SectionCount {
  int n = 0;
  float a2 = 0.0f;
  bool ok = false;
};

// Number of sections n that reaches attenuation a1 (dB) at skirt frequency f1, and the
// attenuation a2 it actually gives there. am is the passband ripple (dB); fc the edge
// for the lowpass and highpass mappings; fh1, fl1 the passband edges; ides selects the
// mapping (1 lowpass, 2 highpass, 3 bandpass, 4 bandstop); ires the response
// (2 Butterworth, otherwise Tchebyscheff).
SectionCount nsectn(float am, float a1, float fc, float f1, float fh1, float fl1, int ides,
                    int ires);

// The rounding step of nsectn: the integer part of x + 0.999 (a ceiling that forgives
// x lying up to 0.001 above an integer), at least 2; 2 when the sum is not finite and
// 2147483647 when it does not fit an int. Exposed so that the rule can be tested alone.
int nsectnorder(float x);

// Matthaei's design of the shorted-stub bandpass filter: stub admittances ynm(1..n)
// and connecting-line admittances ynmm(1..n-1), siemens, from the prototype g, the
// stub length theta1 (radians) at the lower band edge, the design parameter d and the
// terminating admittance ya.
void matia2(int n, float theta1, float d, const ProtoArray& g, float ya, PoleArray& ynm,
            PoleArray& ynmm);

// Cristal's design of the same filter: stub admittances ys(1..n) and line admittances
// yl(1..n-1), siemens, with admittance-level parameter h.
void crstl3(int n, float theta1, float h, const ProtoArray& g, float ya, PoleArray& ys,
            PoleArray& yl);

}  // namespace quendrix
