// ABCD matrices of TEM lines and stubs, their cascade, and S-parameters between real terminations.
#include "analysis/network.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quendrix::analysis {

namespace {

constexpr Complex j{0.0, 1.0};

// Divides the matrix by its largest element magnitude and moves that factor into the scale.
Abcd normalised(Abcd m) {
  const double big = std::max({std::abs(m.a), std::abs(m.b), std::abs(m.c), std::abs(m.d)});
  if (big > 0.0 && std::isfinite(big)) {
    m.a /= big;
    m.b /= big;
    m.c /= big;
    m.d /= big;
    m.log10Scale += std::log10(big);
  }
  return m;
}

}  // namespace

Abcd lineAbcd(double z, double theta) {
  const double c = std::cos(theta);
  const double s = std::sin(theta);
  return Abcd{Complex(c), j * (z * s), j * (s / z), Complex(c), 0.0, 1.0};
}

Abcd shortedStubAbcd(double z, double theta) {
  const double c = std::cos(theta);
  const double s = std::sin(theta);
  // (1/s)·[s, 0; -j c / z, s]: the factor 1/s goes into the scale, its sign apart.
  Abcd m{Complex(s), Complex(0.0), -j * (c / z), Complex(s), -std::log10(std::fabs(s)), s < 0 ? -1.0 : 1.0};
  return normalised(m);
}

Abcd cascade(const Abcd& m, const Abcd& n) {
  Abcd p;
  p.a = m.a * n.a + m.b * n.c;
  p.b = m.a * n.b + m.b * n.d;
  p.c = m.c * n.a + m.d * n.c;
  p.d = m.c * n.b + m.d * n.d;
  p.log10Scale = m.log10Scale + n.log10Scale;
  p.sign = m.sign * n.sign;
  return normalised(p);
}

SParameters sParameters(const Abcd& m, double z1, double z2) {
  // With the true matrix M = sign·10^L·m, the denominators scale alike and cancel in S11 and
  // S22; S21 = 2 sqrt(z1 z2) / (A z2 + B + C z1 z2 + D z1) keeps the factor.
  const Complex den = m.a * z2 + m.b + m.c * (z1 * z2) + m.d * z1;
  SParameters s;
  s.s11 = (m.a * z2 + m.b - m.c * (z1 * z2) - m.d * z1) / den;
  s.s22 = (-m.a * z2 + m.b - m.c * (z1 * z2) + m.d * z1) / den;
  const Complex unscaled = 2.0 * std::sqrt(z1 * z2) / (m.sign * den);
  s.s21Db = 20.0 * (std::log10(std::abs(unscaled)) - m.log10Scale);
  s.s21Angle = std::arg(unscaled);
  // 10^-L underflows to 0 far down a transmission zero; the dB value above stays exact.
  s.s21 = unscaled * std::pow(10.0, -m.log10Scale);
  s.s12 = s.s21;  // every element is reciprocal (each factor has determinant 1)
  return s;
}

SParameters shortedNetwork() {
  SParameters s;
  s.s11 = s.s22 = Complex(-1.0);
  s.s21 = s.s12 = Complex(0.0);
  s.s21Db = -std::numeric_limits<double>::infinity();
  s.s21Angle = 0.0;
  return s;
}

}  // namespace quendrix::analysis
