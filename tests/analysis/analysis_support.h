// Shared helpers of the analysis tests: designs made through the program's own option path, and
// measurements taken on their circuits.
#pragma once

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "analysis/options.h"
#include "analysis/response.h"
#include "analysis/study.h"

namespace quendrix::analysis::testing {

// A study of the options given over the built-in defaults, with a two-point sweep unless the
// options give one (the tests evaluate the circuits wherever they need).
inline Study studyOf(std::vector<std::string> args) {
  if (std::find(args.begin(), args.end(), "--points") == args.end()) {
    args.push_back("--points");
    args.push_back("2");
  }
  return runStudy(parseRequest(args, builtInDefaults()));
}

// Attenuation (dB, positive) between the circuit's own terminations.
inline double attenuation(const Circuit& c, double f) { return -analyse(c, f).s21Db; }

// The largest attenuation over [f1, f2] on a fine grid (steps intervals), terminations z1, z2.
inline double largestAttenuation(const Circuit& c, double f1, double f2, double z1, double z2, int steps = 4000) {
  double worst = -1e300;
  for (int i = 0; i <= steps; ++i) {
    const double f = f1 + (f2 - f1) * i / steps;
    worst = std::max(worst, -analyse(c, f, z1, z2).s21Db);
  }
  return worst;
}

inline double passbandRipple(const Study& s, const Circuit& c) {
  return largestAttenuation(c, s.fs.flow, s.fs.fhigh, c.zSource, c.zLoad);
}

}  // namespace quendrix::analysis::testing
