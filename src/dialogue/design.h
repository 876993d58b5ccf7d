// The computations of a design that the console dialogue and the frequency analysis share: the
// band values, the number of sections from a skirt attenuation, the electrical synthesis without
// its report, and the width and quarter-wave length of one strip. They print nothing.
#pragma once

#include <cstdint>

#include "dialogue/records.h"

namespace quendrix {

// Percentage bandwidth, band edges and the electrical length of the quarter-wave stubs and lines
// at the lower band edge, radians. Each is formed in double from f0 and bw (MHz) and rounded once
// to float.
struct BandValues {
  float percent = 0, flow = 0, fhigh = 0, theta1 = 0;
};
BandValues bandValues(float f0, float bw);

// Number of sections for the attenuation fs.a1 at the skirt frequency fs.f1, from fs.ripple,
// fs.flow, fs.fhigh and fs.itorb: sets fs.fc (the band edge on the skirt's side), fs.a2 and fs.n
// by nsectn's bandpass mapping. Returns nsectn's ierr (1: no order reaches the attenuation; then
// n = 0 and a2 = 0).
std::int32_t sectionsFromSkirt(FilterSpec& fs);

// The electrical synthesis in its steps, in the order the electrical step runs them.
// Prototype: ya = 1/z0, the prototype g, a Butterworth ripple restated as 3 dB, h = 1.
void electricalPrototype(FilterSpec& fs, ElectricalDesign& ed);
// Matthaei's stub and line admittances into ysm, ylm; Cristal's into ysc, ylc.
void matthaeiAdmittances(const FilterSpec& fs, ElectricalDesign& ed);
void cristalAdmittances(const FilterSpec& fs, ElectricalDesign& ed);
// Row k of n: the admittances become impedances, and each stub position is built as two equal
// stubs (ysm2, ysc2). The lines of row k are converted only when k < n.
void impedanceRow(ElectricalDesign& ed, std::int32_t k, std::int32_t n);
// The load resistance the design needs: g(n+1) z0.
float loadImpedance(const FilterSpec& fs, const ElectricalDesign& ed);
// All of the above for a complete FilterSpec: ed then holds impedances in ohms and zload.
void electricalSynthesis(FilterSpec& fs, ElectricalDesign& ed);

// A quarter of the free-space wavelength at f0 (MHz), inches.
float quarterWave(float f0);
// The strip width (inches) for the impedance z in the construction c at f0 (MHz): slwb for
// stripline, after which z holds the impedance reached; mswh at 0.001·f0 GHz under a cover 10
// inches up for microstrip. isyne = 1 when the impedance needs an unrealizable width; the
// width is then the last one the search tried. Prints nothing: the dimensional step writes the
// unrealizable-width message.
float stripWidth(const Construction& c, float f0, std::int32_t& isyne, float& z);
// The effective permittivity of the strip stripWidth has just synthesized: er in stripline; in
// microstrip the dispersive eff at f0 of the last microstrip analysis of the run, which is that
// of the width just synthesized unless its estimate was refused before any analysis.
float stripPermittivity(const Construction& c);
// Forgets the last microstrip analysis, as at the start of a run. For harnesses that hold
// several runs in one process; the program holds one.
void forgetLastMicrostripAnalysis();
// The quarter-wave length of a strip of effective permittivity eff, inches.
float stripLength(float qwave, float eff);

}  // namespace quendrix
