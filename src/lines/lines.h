// Transmission-line models: analysis of microstrip and symmetric stripline, and the width
// syntheses that invert them.
//
// Units: lengths in inches, impedances in ohms, permittivities relative. The microstrip
// frequency f is in GHz (not MHz). Every routine takes its scalars by value in a fixed order,
// returns its results, works in single precision, prints nothing and keeps nothing between
// calls.
#pragma once

#include <optional>

namespace quendrix {

// Static microstrip results: effective permittivity, width ratio w/h1, effective
// (thickness-widened) width in inches, impedance, and the impedance of the same line with air
// as dielectric (cover correction included).
struct MicrostripStatic {
  float ef = 0, u = 0, weff = 0, zo = 0, zoa = 0;
};
// Dispersed microstrip results: effective permittivity and impedance at the frequency.
struct MicrostripDispersed {
  float eff = 0, zof = 0;
};
// The full analysis of one width: msimp, then mszo of its ef and zo.
struct MicrostripAnalysis {
  MicrostripStatic statics;
  MicrostripDispersed dispersed;
};

// Quasi-static microstrip analysis of a strip of width w and thickness t on a substrate of
// height h1 and permittivity er, with a conducting cover h2 above the substrate.
MicrostripStatic msimp(float er, float h1, float h2, float t, float w);

// Carries the static ef and zo of a microstrip to the frequency f (GHz).
MicrostripDispersed mszo(float ef, float er, float f, float h1, float w, float zo);

// Result of the microstrip width search.
struct MicrostripWidth {
  float w = 0;              // the width found, or the last width tried when unrealizable
  bool realizable = false;  // the analysis of w lies within 0.01 % of the wanted impedance
  // The analysis of the last width tried (with realizable, exactly w); none when the estimate
  // was refused before any analysis.
  std::optional<MicrostripAnalysis> last;
};

// Microstrip width for the impedance zod at frequency f (GHz).
MicrostripWidth mswh(float er, float f, float h1, float h2, float t, float zod);

// Impedance of a symmetric stripline of width w and thickness t between ground planes b
// apart, in a homogeneous dielectric er.
float slzo(float b, float er, float t, float w);

// Result of the stripline width search.
struct StriplineWidth {
  float w = 0;   // the width found, or the last width tried when unrealizable
  // The impedance slzo gave for w (when realizable, within 0.1 % of the wanted one); the
  // wanted impedance itself when the estimate was refused before any analysis.
  float zo = 0;
  bool realizable = false;
};

// Stripline width for the impedance zo.
StriplineWidth slwb(float b, float er, float t, float zo);

}  // namespace quendrix
