// Touchstone 1.1 files of the response, both ports referenced to z0.
#include <charconv>
#include <cmath>
#include <cstdio>

#include "analysis/outputs.h"

namespace quendrix::analysis {

namespace {

// The shortest text that reads back as the same float.
std::string shortest(float x) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, x);
  return std::string(buf, r.ptr);
}

std::string pair(double db, double deg) {
  char buf[64];
  std::snprintf(buf, sizeof buf, " %.8f %.6f", db, deg);
  return buf;
}

}  // namespace

std::string touchstoneName(const std::string& prefix, Method m) {
  return prefix + (m == Method::MATTHAEI ? "-matthaei.s2p" : "-cristal.s2p");
}

std::string touchstoneFile(const Study& s, std::size_t m) {
  const Circuit& c = s.circuits[m];
  const double z0 = s.fs.z0;
  std::string t = std::string("! Quendrix frequency response, ") + methodName(c.method) + " design\n";
  t += "! " + designSummary(s) + "\n";
  if (std::fabs(c.zLoad / z0 - 1.0) > 1e-6) {
    char buf[256];
    std::snprintf(buf, sizeof buf,
                  "! Both ports are referenced to z0 = %g ohms; the design's load is zload = %.3f ohms: terminate "
                  "port 2 in zload for the designed response.\n",
                  z0, c.zLoad);
    t += buf;
  } else {
    t += "! Both ports are referenced to z0, which is also the design's load.\n";
  }
  t += "# MHz S DB R " + shortest(s.fs.z0) + "\n";
  t += "! f_MHz S11_dB S11_deg S21_dB S21_deg S12_dB S12_deg S22_dB S22_deg\n";
  for (const double f : s.frequencies) {
    const SParameters p = analyse(c, f, z0, z0);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6f", f);
    t += buf;
    t += pair(reportedDb(magnitudeDb(p.s11)), angleDegrees(p.s11));
    t += pair(reportedDb(p.s21Db), angleDegrees(p.s21Angle));
    t += pair(reportedDb(p.s21Db), angleDegrees(p.s21Angle));  // S12 = S21: the network is reciprocal
    t += pair(reportedDb(magnitudeDb(p.s22)), angleDegrees(p.s22));
    t += "\n";
  }
  return t;
}

}  // namespace quendrix::analysis
