// Response of a filter circuit: cascade, S-parameters and group delay.
#include "analysis/response.h"

#include <cmath>
#include <numbers>

namespace quendrix::analysis {

SParameters analyse(const Circuit& c, double f, double z1, double z2) {
  if (f == 0.0) return shortedNetwork();
  Abcd m;
  for (const Element& e : c.elements) {
    const LineState s = lineState(e, f);
    m = cascade(m, e.stub ? shortedStubAbcd(s.z, s.theta) : lineAbcd(s.z, s.theta));
  }
  return sParameters(m, z1, z2);
}

SParameters analyse(const Circuit& c, double f) { return analyse(c, f, c.zSource, c.zLoad); }

double delayStep(const Circuit& c) { return 1e-4 * c.f0; }

double groupDelay(const Circuit& c, double f, double delta) {
  if (f == 0.0) return 0.0;  // S21 is exactly 0: all stubs are shorts
  const double d = std::fmin(delta, 0.5 * f);
  const double dphi = std::remainder(analyse(c, f + d).s21Angle - analyse(c, f - d).s21Angle, 2.0 * std::numbers::pi);
  // f in MHz: -dphi / (2 pi · 2d · 1e6 Hz) seconds, times 1e9 for ns.
  return -dphi * 1e3 / (2.0 * std::numbers::pi * 2.0 * d);
}

std::vector<double> sweepFrequencies(double from, double to, int points) {
  std::vector<double> f(static_cast<std::size_t>(points));
  for (int i = 0; i < points; ++i) f[static_cast<std::size_t>(i)] = from + (to - from) * i / (points - 1);
  f.back() = to;
  return f;
}

std::vector<ResponsePoint> response(const Circuit& c, const std::vector<double>& frequencies) {
  std::vector<ResponsePoint> r;
  r.reserve(frequencies.size());
  const double delta = delayStep(c);
  for (const double f : frequencies) r.push_back(ResponsePoint{f, analyse(c, f), groupDelay(c, f, delta)});
  return r;
}

double reportedDb(double db) { return db > DB_FLOOR ? db : DB_FLOOR; }

double magnitudeDb(const Complex& s) { return 20.0 * std::log10(std::abs(s)); }

double angleDegrees(double radians) {
  double deg = radians * 180.0 / std::numbers::pi;
  if (deg <= -180.0) deg += 360.0;
  if (deg > 180.0) deg -= 360.0;
  return deg;
}

double angleDegrees(const Complex& s) { return angleDegrees(std::arg(s)); }

}  // namespace quendrix::analysis
