// The computations of a design shared by the console dialogue and the frequency analysis.
#include "dialogue/design.h"

#include <cmath>

#include "lines/lines.h"
#include "synthesis/synthesis.h"

namespace quendrix {

namespace {

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
  std::int32_t ierr = 0;
  fs.a2 = 0.0f;
  fs.n = 0;
  nsectn(fs.ripple, fs.a1, fs.a2, fs.fc, fs.f1, fs.fhigh, fs.flow, ides, ierr, fs.itorb, fs.n);
  return ierr;
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
  float w = 0;
  if (c.msorsl == 2) {
    slwb(c.height, c.er, isyne, c.thick, w, z);
  } else {
    const float f = 0.001f * f0;  // GHz
    const float h2 = 10.0f;       // cover height, inches
    mswh(c.er, f, c.height, h2, isyne, c.thick, w, z);
  }
  return w;
}

float stripPermittivity(const Construction& c) { return c.msorsl == 2 ? c.er : mszo1.eff; }

float stripLength(float qwave, float eff) { return qwave / std::sqrt(eff); }

}  // namespace quendrix
