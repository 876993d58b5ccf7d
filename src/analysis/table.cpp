// The response table and the one-line design summary.
#include <cstdio>

#include "analysis/outputs.h"
#include "dialogue/records.h"

namespace quendrix::analysis {

namespace {

std::string format(const char* layout, auto... values) {
  char buf[512];
  std::snprintf(buf, sizeof buf, layout, values...);
  return buf;
}

}  // namespace

std::string designSummary(const Study& s) {
  const FilterSpec& fs = s.fs;
  std::string t = std::string(trimTrailingBlanks(fs.torb));
  t += format(" %.3f dB, N = %d, f0 = %g MHz, band %g to %g MHz, z0 = %g ohms, zload = %.3f ohms, ", fs.ripple,
              static_cast<int>(fs.n), fs.f0, fs.flow, fs.fhigh, fs.z0, s.ed.zload);
  const Request& r = s.request;
  if (!r.physical) {
    t += "ideal TEM lines";
  } else if (r.c.msorsl == 2) {
    t += format("stripline B = %g in, Er = %g, T = %g in", r.c.height, r.c.er, r.c.thick);
  } else {
    t += format("microstrip H = %g in, Er = %g, T = %g in (dispersive)", r.c.height, r.c.er, r.c.thick);
  }
  return t;
}

std::string responseTable(const Study& s) {
  std::string t = "# quendrix-response: " + designSummary(s) + "; port 1 in z0, port 2 in zload\n";
  t += "#      f_MHz";
  for (const Circuit& c : s.circuits) {
    const char m = methodName(c.method)[0];
    t += format("  %c_S21_dB %c_S21_deg  %c_S11_dB %c_S11_deg %c_delay_ns", m, m, m, m, m);
  }
  t += "\n";
  for (std::size_t i = 0; i < s.frequencies.size(); ++i) {
    t += format("%12.4f", s.frequencies[i]);
    for (const auto& r : s.responses) {
      const ResponsePoint& p = r[i];
      t += format("  %9.4f %9.3f  %9.4f %9.3f %10.5f", reportedDb(p.s.s21Db), angleDegrees(p.s.s21Angle),
                  reportedDb(magnitudeDb(p.s.s11)), angleDegrees(p.s.s11), p.delay);
    }
    t += "\n";
  }
  return t;
}

}  // namespace quendrix::analysis
