// Microstrip line analysis.
//
// msimp: quasi-static impedance and effective permittivity after Hammerstad and Jensen
// (zero-thickness open line), with the strip widened for its thickness, a thickness term in
// the effective permittivity, and a correction of impedance and permittivity for a conducting
// cover above the substrate.
// mszo: dispersion of the effective permittivity after Kirschning and Jansen, and of the
// characteristic impedance after Jansen and Kirschning.
//
// Everything is single precision, constants included. msimp uses only ratios of lengths;
// mszo needs h1 in inches and f in GHz, because its normalised frequency is in GHz·mm.
#include <cmath>

#include "lines/common.h"
#include "lines/lines.h"
#include "lines/microstrip_terms.h"

namespace quendrix {

namespace lines {

namespace {

// Wave impedance of free space, ohms (single-precision value 376.73046875).
constexpr float eta = 376.73047f;
constexpr float ln2 = 0.6931472f;

// ---- msimp ------------------------------------------------------------------------------

// Width of a strip of zero thickness that has the capacitance of the thick strip w, t. The
// widening of a wide strip depends on h1 and t alone and comes from the terms.
float effectiveWidth(const StaticTerms& k, float t, float w, float u) {
  if (t == 0.0f) return w;
  float deltaw;
  if (u <= 1.0f / (2.0f * pi)) {
    deltaw = k.tp * (1.0f + std::log(4.0f * pi * w / t));
  } else {
    deltaw = k.deltawWide;
  }
  return w + deltaw;
}

// Impedance of the open line in air for the width ratio up (Hammerstad and Jensen).
float airImpedance(float up) {
  const float tp1 = -std::pow(30.666f / up, 0.7528f);
  // e^tp1 underflows for very narrow strips; the factor then is its limit 6.
  const float fwh = tp1 < -44.0f ? 6.0f : 6.0f + (2.0f * pi - 6.0f) * std::exp(tp1);
  const float zoai = (eta / (2.0f * pi)) * std::log(fwh / up + std::sqrt(1.0f + pow2(2.0f / up)));
  return zoai;
}

struct CoverCorrection {
  float zoa;  // air impedance with the cover
  float qc;   // factor of the filling fraction
};

// Lowering of the air impedance and of the filling fraction by a cover at h2 above the
// substrate. A cover more than 100 substrate heights away has no effect. Uses the plain
// width ratio u, not the widened one.
// The terms p and qc depend on h1 and h2 alone and come from the terms.
CoverCorrection coverCorrection(const StaticTerms& k, float u, float zoai) {
  CoverCorrection c{zoai, 1.0f};
  if (!k.cover) return c;
  const float r = k.r;
  float aq = (0.012f * u + 0.177f * pow2(u) - 0.027f * pow3(u)) / pow2(1.0f + r);
  if (aq < 0.0f) aq = 0.0f;
  const float q = 1.0109f - 0.5f * std::log((1.0f + aq) / (1.0f - aq));
  const float dzo = k.p * q;
  c.zoa = zoai - dzo;
  c.qc = k.qc;
  return c;
}

// Static effective permittivity (Hammerstad and Jensen), with the thickness term qt and the
// cover factor qc. Uses the plain width ratio u.
float staticPermittivity(const StaticTerms& k, float er, float h1, float t, float u, float qc) {
  const float qt = (2.0f * ln2 / pi) * t / (h1 * std::sqrt(u));
  const float b = k.b;
  const float a = 1.0f + std::log(pow2(u) * (pow2(u) + 0.0003698f) / (pow4(u) + 0.432f)) / 49.0f +
                  std::log(1.0f + pow3(u / 18.1f)) / 18.7f;
  const float qi = std::pow(1.0f + 10.0f / u, a * b);
  const float qff = (qi - qt) * qc;
  const float ef = (er + 1.0f) / 2.0f + (er - 1.0f) * qff / 2.0f;
  return ef;
}

// ---- mszo -------------------------------------------------------------------------------

// Effective permittivity at the normalised frequency fn, GHz·mm (Kirschning and Jansen).
float dispersivePermittivity(const DispersionTerms& k, float er, float ef, float fn, float u) {
  float p1 = 0.27488f + k.p1Factor * u;
  if (u <= 7.0f) p1 = p1 - 0.065683f * std::exp(-8.7513f * u);
  const float p2 = k.p2;
  float p3;
  if (u > 14.0f || fn < 0.35f) {
    p3 = 0.0f;
  } else {
    p3 = 0.0363f * std::exp(-4.6f * u);
    if (fn <= 75.0f) p3 = p3 * k.p3Factor;
  }
  const float p4 = k.p4;
  const float pf = p1 * p2 * std::pow((0.1844f + p3 * p4) * fn, 1.5763f);
  const float eff = er - (er - ef) / (1.0f + pf);
  return eff;
}

// r9 of the impedance dispersion. The term is replaced by its limit 0 wherever one of its
// factors would underflow: tested in this order, r5 = 0, r6 > 75, and the two decimal
// exponent sums beyond 33 and 30.
// The logarithms of r4 and r5 and of the denominator's reciprocal depend on er and fn alone
// and come from the terms.
float impedanceTermR9(const DispersionTerms& k, float r4, float r5, float r6) {
  const float e = std::exp(-r6);
  const float d = k.d;
  if (r5 == 0.0f) return 0.0f;
  if (r6 > 75.0f) return 0.0f;
  if (std::abs(k.log10R4PlusLog10R5 + std::log10(e)) > 33.0f) return 0.0f;
  if (std::abs(k.log10Denominator + std::log10(e * d)) > 30.0f) {
    return 0.0f;
  }
  return 5.086f * r4 * r5 * e * d /
         ((0.3838f + 0.386f * r4) * (1.0f + 1.2992f * r5) * (1.0f + 10.0f * d));
}

// Characteristic impedance at the normalised frequency fn, GHz·mm (Jansen and Kirschning),
// from the static ef and zo and the dispersive eff. Where an exponential or a power would
// overflow or underflow, the guards put the term's limit in its place.
// r1, r4, r5, r10, r11 and r15, and the powers of er and fn in x and r17, depend on er and fn
// alone and come from the terms; what is left here depends on the width.
float dispersiveImpedance(const DispersionTerms& k, float ef, float eff, float u, float zo) {
  const float r2 = 0.267f * pow7(u);
  const float r3 = u > 135.0f ? 0.0f : 4.766f * std::exp(-3.228f * std::pow(u, 0.641f));
  const float r4 = k.r4;
  const float r5 = k.r5;
  const float r6 = 22.2f * std::pow(u, 1.92f);
  const float t1 = k.t1;
  const float t2 = r2 > 30.0f ? 1.0f : 1.0f - std::exp(-r2);
  const float r7 = 1.206f - t1 * t2;
  const float x = 0.004625f * r3 * k.erPow1674 * k.fnPow2745;
  const float r8 = x > 30.0f ? 2.275f : 1.0f + 1.275f * (1.0f - std::exp(-x));
  const float r9 = impedanceTermR9(k, r4, r5, r6);
  const float r12 = 1.0f / (1.0f + 0.00245f * pow2(u));
  const float r13 = 0.9408f * std::pow(eff, r8) - 0.9603f;
  const float r14 = (0.9408f - r9) * std::pow(ef, r8) - 0.9603f;
  float r16term = k.r16Term;
  if (u <= 27.0f) r16term = r16term * (1.0f - std::exp(-pow6(u / 15.0f)));
  const float r16 = 1.0f + r16term;
  const float r17 = r7 * (1.0f - 1.1241f * (r12 / r16) * k.r17Decay);
  const float zof = zo * std::pow(r13 / r14, r17);
  return zof;
}

}  // namespace

StaticTerms staticTerms(float er, float h1, float h2, float t) {
  StaticTerms k;
  if (t != 0.0f) {
    k.tp = 1.25f * t / pi;
    k.deltawWide = k.tp * (1.0f + std::log(2.0f * h1 / t));
  }
  k.cover = !(h2 / h1 > 100.0f);
  if (k.cover) {
    k.r = h2 / h1;
    const float ap = 1.192f + 0.706f * std::sqrt(1.0f + k.r) - 1.389f / (1.0f + k.r);
    k.p = 270.0f * (1.0f - std::tanh(ap));
    k.qc = std::tanh(1.043f + 0.121f * h2 / h1 - 1.164f * h1 / h2);
  }
  k.b = -0.564f * std::pow((er - 0.9f) / (er + 3.0f), 0.053f);
  return k;
}

DispersionTerms dispersionTerms(float er, float f, float h1) {
  DispersionTerms k;
  // Nothing to carry when the substrate is air or the frequency is zero.
  k.dispersive = er != 1.0f && f != 0.0f;
  if (!k.dispersive) return k;
  // 25.4 mm per inch: fn is in GHz·mm with f in GHz and h1 in inches.
  const float fn = 25.4f * f * h1;
  k.fn = fn;
  k.p1Factor = 0.6315f + 0.525f / pow20(1.0f + 0.157f * fn / 10.0f);
  k.p2 = 0.33622f * (1.0f - std::exp(-0.03442f * er));
  if (!(fn < 0.35f) && fn <= 75.0f) k.p3Factor = 1.0f - std::exp(-std::pow(fn / 38.7f, 4.97f));
  k.p4 = er > 25.0f ? 3.751f : 1.0f + 2.751f * (1.0f - std::exp(-pow8(er / 15.916f)));

  const float r1 = 0.03891f * std::pow(er, 1.4f);
  k.r4 = 0.016f + std::pow(0.0514f * er, 4.524f);
  k.r5 = fn < 0.1f ? 0.0f : pow12(fn / 28.843f);
  k.t1 = r1 > 30.0f ? 0.0f : 0.3144f * std::exp(-r1);
  k.erPow1674 = std::pow(er, 1.674f);
  k.fnPow2745 = std::pow(fn / 18.365f, 2.745f);
  k.d = pow6(er - 1.0f);
  if (k.r5 != 0.0f) {
    k.log10R4PlusLog10R5 = std::log10(k.r4) + std::log10(k.r5);
    k.log10Denominator = std::log10(1.0f / ((1.0f + 1.2992f * k.r5) * (1.0f + 10.0f * k.d)));
  }
  const float r10 = 0.00044f * std::pow(er, 2.136f) + 0.0184f;
  float r11 = 0.0f;
  if (fn >= 0.0001f) {  // r11 = 0 below
    const float s = pow6(fn / 19.47f);
    r11 = s / (1.0f + 0.0962f * s);
  }
  const float r15 = 0.707f * r10 * std::pow(fn / 12.3f, 1.097f);
  k.r16Term = 0.0503f * pow2(er) * r11;
  k.r17Decay = std::exp(-0.026f * std::pow(fn, 1.15656f) - r15);
  return k;
}

MicrostripStatic msimpWith(const StaticTerms& k, float er, float h1, float t, float w) {
  MicrostripStatic s;
  const float u = w / h1;
  s.u = u;
  const float weff = effectiveWidth(k, t, w, u);
  const float up = weff / h1;
  const float zoai = airImpedance(up);
  const CoverCorrection cover = coverCorrection(k, u, zoai);
  const float ef = staticPermittivity(k, er, h1, t, u, cover.qc);
  const float zo = cover.zoa / std::sqrt(ef);
  s.ef = ef;
  s.weff = weff;
  s.zo = zo;
  s.zoa = cover.zoa;
  return s;
}

MicrostripDispersed mszoWith(const DispersionTerms& k, float ef, float er, float h1, float w,
                             float zo) {
  float eff = ef;
  float zof = zo;
  if (k.dispersive) {
    const float u = w / h1;  // the plain ratio, without the thickness widening of msimp
    eff = dispersivePermittivity(k, er, ef, k.fn, u);
    zof = dispersiveImpedance(k, ef, eff, u, zo);
  }
  return MicrostripDispersed{eff, zof};
}

}  // namespace lines

MicrostripStatic msimp(float er, float h1, float h2, float t, float w) {
  return lines::msimpWith(lines::staticTerms(er, h1, h2, t), er, h1, t, w);
}

MicrostripDispersed mszo(float ef, float er, float f, float h1, float w, float zo) {
  return lines::mszoWith(lines::dispersionTerms(er, f, h1), ef, er, h1, w, zo);
}

}  // namespace quendrix
