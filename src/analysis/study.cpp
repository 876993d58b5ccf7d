// The design, its circuits and their response.
#include "analysis/study.h"

#include <cmath>
#include <cstdio>

#include "analysis/capture.h"
#include "dialogue/design.h"

namespace quendrix::analysis {

namespace {

// An impedance the network arithmetic cannot take: not finite, or zero.
void checkImpedances(const Circuit& c) {
  for (const Element& e : c.elements) {
    if (e.model != LineModel::IDEAL) continue;
    if (!std::isfinite(e.z) || e.z == 0.0) {
      const std::string strip =
          e.stub ? "stub " + std::to_string(e.k) : "line " + std::to_string(e.k) + "," + std::to_string(e.k + 1);
      throw OptionError{"--bw", std::string("the ") + methodName(c.method) + " design has no finite impedance for " + strip};
    }
  }
}

}  // namespace

Study runStudy(const Request& r) {
  Study s;
  s.request = r;
  s.fs = r.fs;
  electricalSynthesis(s.fs, s.ed);

  for (const Method m : METHODS) {
    Circuit ideal = idealCircuit(s.fs, s.ed, m);
    checkImpedances(ideal);
    if (!r.physical) {
      s.circuits.push_back(ideal);
      continue;
    }
    // The width syntheses write their unrealizable-width message on the console.
    StripFault fault;
    Circuit physical;
    {
      ConsoleCapture quiet;
      physical = physicalCircuit(s.fs, s.ed, r.c, m, fault);
    }
    if (fault.any) {
      char z[32];
      std::snprintf(z, sizeof z, "%.3f", fault.z);
      throw OptionError{r.c.msorsl == 2 ? "--stripline" : "--microstrip",
                        std::string(methodName(m)) + " " + fault.strip + " (" + z +
                            " ohms) needs an unrealizable strip width"};
    }
    s.circuits.push_back(physical);
  }

  s.frequencies = sweepFrequencies(r.from, r.to, r.points);
  for (const Circuit& c : s.circuits) s.responses.push_back(response(c, s.frequencies));
  return s;
}

}  // namespace quendrix::analysis
