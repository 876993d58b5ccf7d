// The design, its circuits and their response.
#include "analysis/study.h"

#include <cmath>
#include <cstdio>

#include "analysis/capture.h"
#include "dialogue/design.h"

namespace quendrix::analysis {

namespace {

// The first element whose impedance the network arithmetic cannot take (not finite, or zero), or
// null.
const Element* unusableElement(const Circuit& c) {
  for (const Element& e : c.elements) {
    if (e.model == LineModel::IDEAL && (!std::isfinite(e.z) || e.z == 0.0)) return &e;
  }
  return nullptr;
}

// The impedances are z0 times those of the normalized design: when the design is usable at 1 ohm,
// it is z0 that pushed them out of single precision; otherwise the band (a bandwidth close to
// 2*f0 gives stubs of no impedance).
void checkImpedances(const Circuit& c, const FilterSpec& fs) {
  const Element* e = unusableElement(c);
  if (e == nullptr) return;
  FilterSpec normalized = fs;
  normalized.z0 = 1.0f;
  ElectricalDesign ed;
  electricalSynthesis(normalized, ed);
  const bool z0AtFault = unusableElement(idealCircuit(normalized, ed, c.method)) == nullptr;
  const std::string strip =
      e->stub ? "stub " + std::to_string(e->k) : "line " + std::to_string(e->k) + "," + std::to_string(e->k + 1);
  const std::string what = std::string("the ") + methodName(c.method) + " design has no finite impedance for " + strip;
  if (!z0AtFault) throw OptionError{"--bw", what};
  char z0[32];
  std::snprintf(z0, sizeof z0, "%g", fs.z0);
  throw OptionError{"--z0", what + " with z0 = " + z0 + " ohms"};
}

}  // namespace

Study runStudy(const Request& r) {
  Study s;
  s.request = r;
  s.fs = r.fs;
  electricalSynthesis(s.fs, s.ed);

  for (const Method m : METHODS) {
    Circuit ideal = idealCircuit(s.fs, s.ed, m);
    checkImpedances(ideal, r.fs);
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
