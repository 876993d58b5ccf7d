// The computations of a design shared by the console dialogue and the frequency analysis.
#include "dialogue/design.h"

#include <cmath>

#include "lines/lines.h"
#include "synthesis/synthesis.h"

namespace quendrix {

namespace {

// The last microstrip analysis of the run: that of the last width a microstrip search analysed,
// in whichever design or pass. It is carried forward on purpose: the length beside a microstrip
// width whose estimate was refused before any analysis takes the effective permittivity of the
// previous analysed strip (which one is fixed by the order Cristal stub, Matthaei stub, Cristal
// line, Matthaei line), and zero before any analysis of the run. Only a search that analysed
// something, realizable or not, replaces it; nothing resets it between designs or passes.
MicrostripAnalysis lastMicrostrip{};

// Results are rounded to float when stored; the intermediate results of one formula are held in
// double, so each derived value is rounded once.
float stored(double x) { return static_cast<float>(x); }

}  // namespace

BandValues bandValues(float f0In, float bwIn) {
  const double f0 = f0In;
  const double bw = bwIn;
  BandValues b;
  b.percent = stored(bw * 100.0 / f0);
  b.flow = stored(f0 - bw * 0.5);
  b.fhigh = stored(bw * 0.5 + f0);
  b.theta1 = stored((static_cast<double>(pi) * 0.5) * (1.0 - (bw * 0.5) / f0));
  return b;
}

std::int32_t sectionsFromSkirt(FilterSpec& fs) {
  fs.fc = fs.f1 > fs.fhigh ? fs.fhigh : fs.flow;
  const std::int32_t ides = 3;  // the bandpass mapping
  const SectionCount order = nsectn(fs.ripple, fs.a1, fs.fc, fs.f1, fs.fhigh, fs.flow, ides, fs.itorb);
  // A request that cannot be met leaves n = 0 and a2 = 0.
  fs.n = order.n;
  fs.a2 = order.a2;
  return order.ok ? 0 : 1;
}

void electricalPrototype(FilterSpec& fs, ElectricalDesign& ed) {
  ed.ya = 1 / fs.z0;
  pev(ed.g, fs.n, fs.ripple, fs.itorb);
  if (fs.itorb == 2) fs.ripple = 3.0f;  // a Butterworth passband is stated at its 3 dB edges
  ed.h = 1.0f;
}

void matthaeiAdmittances(const FilterSpec& fs, ElectricalDesign& ed) {
  matia2(fs.n, fs.theta1, ed.h, ed.g, ed.ya, ed.ysm, ed.ylm);
}

void cristalAdmittances(const FilterSpec& fs, ElectricalDesign& ed) {
  crstl3(fs.n, fs.theta1, ed.h, ed.g, ed.ya, ed.ysc, ed.ylc);
}

void impedanceRow(ElectricalDesign& ed, std::int32_t k, std::int32_t n) {
  ed.ysm(k) = 1 / ed.ysm(k);
  ed.ysc(k) = 1 / ed.ysc(k);
  ed.ysm2(k) = 2 * ed.ysm(k);
  ed.ysc2(k) = 2 * ed.ysc(k);
  if (k == n) return;
  ed.ylm(k) = 1 / ed.ylm(k);
  ed.ylc(k) = 1 / ed.ylc(k);
}

float loadImpedance(const FilterSpec& fs, const ElectricalDesign& ed) { return ed.g(fs.n + 1) * fs.z0; }

void electricalSynthesis(FilterSpec& fs, ElectricalDesign& ed) {
  electricalPrototype(fs, ed);
  matthaeiAdmittances(fs, ed);
  cristalAdmittances(fs, ed);
  for (std::int32_t k = 1; k <= fs.n; ++k) impedanceRow(ed, k, fs.n);
  ed.zload = loadImpedance(fs, ed);
}

float quarterWave(float f0) { return v * 0.25f / f0; }

float stripWidth(const Construction& c, float f0, std::int32_t& isyne, float& z) {
  if (c.msorsl == 2) {
    const StriplineWidth s = slwb(c.height, c.er, c.thick, z);
    // The design's variable takes the impedance the search reached for its width (the wanted
    // one when the estimate was refused), so a re-run of the dimensional step asks for that.
    z = s.zo;
    isyne = s.realizable ? 0 : 1;
    return s.w;
  }
  const float f = 0.001f * f0;  // GHz
  const float h2 = 10.0f;       // cover height, inches
  const MicrostripWidth m = mswh(c.er, f, c.height, h2, c.thick, z);
  if (m.last) lastMicrostrip = *m.last;  // carried forward, see lastMicrostrip
  isyne = m.realizable ? 0 : 1;
  return m.w;
}

float stripPermittivity(const Construction& c) {
  return c.msorsl == 2 ? c.er : lastMicrostrip.dispersed.eff;
}

void forgetLastMicrostripAnalysis() { lastMicrostrip = MicrostripAnalysis{}; }

float stripLength(float qwave, float eff) { return qwave / std::sqrt(eff); }

}  // namespace quendrix
