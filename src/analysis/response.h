// The response of a filter circuit over frequency: S-parameters from the cascade of its ABCD
// matrices, and the group delay of S21.
#pragma once

#include <vector>

#include "analysis/circuit.h"
#include "analysis/network.h"

namespace quendrix::analysis {

// The S-parameters at f (MHz, f >= 0) with port 1 referenced to z1 and port 2 to z2. At f = 0
// every stub is a short: the network passes nothing.
SParameters analyse(const Circuit& c, double f, double z1, double z2);
// Between the design's own terminations, z0 and zload.
SParameters analyse(const Circuit& c, double f);

// The step of the group-delay difference: 1e-4 of the centre frequency, small beside every
// feature of the response (the passband is a sizeable fraction of f0) and large beside the
// single-precision rounding of the microstrip model.
double delayStep(const Circuit& c);

// Group delay of S21 at f, ns: -(1/2pi) d(arg S21)/df by a centred difference over f ± delta
// (delta shrunk to f/2 near f = 0). The phase difference is taken as the argument of the ratio
// S21(f+delta)/S21(f-delta), so no unwrapping is needed. At f = 0, where S21 is exactly 0, it is
// given as 0; across an ideal transmission zero (2·f0) it is a spike, as the phase jumps there.
double groupDelay(const Circuit& c, double f, double delta);

// points frequencies from `from` to `to` (MHz), equally spaced, both ends included.
std::vector<double> sweepFrequencies(double from, double to, int points);

struct ResponsePoint {
  double f = 0;  // MHz
  SParameters s;
  double delay = 0;  // ns
};
// The response between the design's terminations at every frequency.
std::vector<ResponsePoint> response(const Circuit& c, const std::vector<double>& frequencies);

// Magnitudes reported in dB (table, Touchstone file) are floored at -300 dB, |S| = 1e-15: the
// exact zeros of S21 (f = 0) have no logarithm, and below that level the figure of an ideal
// transmission zero says more about the rounding of pi than about the filter.
inline constexpr double DB_FLOOR = -300.0;
double reportedDb(double db);
double magnitudeDb(const Complex& s);  // 20 log10 |s|, unfloored
double angleDegrees(double radians);   // in (-180, 180]
double angleDegrees(const Complex& s);

}  // namespace quendrix::analysis
