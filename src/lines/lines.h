// Transmission-line models: analysis of microstrip and symmetric stripline, and the width
// syntheses that invert them.
//
// Units: lengths in inches, impedances in ohms, permittivities relative. The microstrip
// frequency f is in GHz (not MHz). Every routine takes its arguments by reference in a fixed
// order and works in single precision.
#pragma once

namespace quendrix {

// Result of the last msimp call: static effective permittivity, width ratio w/h1, effective
// (thickness-widened) width in inches, static impedance, and the impedance of the same line
// with air as dielectric (cover correction included).
struct Msimp1 {
  float ef, u, weff, zo, zoa;
};
// Result of the last mszo call: effective permittivity and impedance at the frequency.
struct Mszo1 {
  float eff, zof;
};

// Program-wide result records, zero at program start. Each is overwritten as a whole by every
// call of its routine and by nothing else. Not reentrant.
extern Msimp1 msimp1;
extern Mszo1 mszo1;

// Quasi-static microstrip analysis of a strip of width w and thickness t on a substrate of
// height h1 and permittivity er, with a conducting cover h2 above the substrate. Fills msimp1.
void msimp(const float& er, const float& h1, const float& h2, const float& t, const float& w);

// Carries the static ef and zo of a microstrip to the frequency f (GHz). Fills mszo1.
void mszo(const float& ef, const float& er, const float& f, const float& h1, const float& w,
          const float& zo);

// Microstrip width for the impedance zod at frequency f (GHz). isyne = 0 and w the width found
// (msimp1 and mszo1 then describe exactly that width), or isyne = 1 after the
// unrealizable-width message on the console.
void mswh(const float& er, const float& f, const float& h1, const float& h2, int& isyne,
          const float& t, float& w, const float& zod);

// Impedance zo of a symmetric stripline of width w and thickness t between ground planes b
// apart, in a homogeneous dielectric er.
void slzo(const float& b, const float& er, const float& t, const float& w, float& zo);

// Stripline width for the impedance wanted in zo. On return zo holds the impedance slzo gave
// for the returned width (with isyne = 0, within 0.1 % of the wanted one); isyne = 1 after the
// unrealizable-width message on the console.
void slwb(const float& b, const float& er, int& isyne, const float& t, float& w, float& zo);

}  // namespace quendrix
