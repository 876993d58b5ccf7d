// The terms of the microstrip analysis that depend only on the substrate and the frequency.
//
// A width search analyses one candidate width after another on the same substrate at the same
// frequency; the powers, exponentials and logarithms of er, h1, h2, t and the normalised
// frequency are the same for every candidate, so they are computed once per search. Each term
// is the very value the analysis would compute in its place, in the same order of operations,
// so every result keeps its bits. Not part of the library's interface.
#pragma once

#include "lines/lines.h"

namespace quendrix::lines {

// msimp's terms: the thickness widening of a wide strip, the cover terms, the exponent b.
struct StaticTerms {
  float tp = 0, deltawWide = 0;  // 1.25·t/pi and tp·(1 + ln(2·h1/t)); unused when t = 0
  bool cover = false;            // h2/h1 <= 100: the cover correction applies
  float r = 0, p = 0, qc = 1;    // h2/h1, the impedance term p, the filling-fraction factor
  float b = 0;                   // -0.564·((er - 0.9)/(er + 3))^0.053
};
StaticTerms staticTerms(float er, float h1, float h2, float t);

// mszo's terms, named after the formula's symbols (Kirschning and Jansen; Jansen and
// Kirschning). Only fn and dispersive are set when the substrate is air or f = 0.
struct DispersionTerms {
  bool dispersive = false;  // er != 1 and f != 0
  float fn = 0;             // normalised frequency, GHz·mm
  float p1Factor = 0;       // 0.6315 + 0.525/(1 + 0.157·fn/10)^20
  float p2 = 0, p3Factor = 0, p4 = 0;
  float r4 = 0, r5 = 0, t1 = 0;
  float erPow1674 = 0, fnPow2745 = 0;  // er^1.674 and (fn/18.365)^2.745 of x
  float d = 0;                          // (er - 1)^6 of r9
  float log10R4PlusLog10R5 = 0, log10Denominator = 0;
  float r16Term = 0;   // 0.0503·er²·r11, before its width factor
  float r17Decay = 0;  // e^(-0.026·fn^1.15656 - r15)
};
DispersionTerms dispersionTerms(float er, float f, float h1);

// msimp and mszo with their terms given: the very results msimp and mszo return.
MicrostripStatic msimpWith(const StaticTerms& k, float er, float h1, float t, float w);
MicrostripDispersed mszoWith(const DispersionTerms& k, float ef, float er, float h1, float w,
                             float zo);

}  // namespace quendrix::lines
