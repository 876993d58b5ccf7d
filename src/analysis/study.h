// One run of the analysis: the design of the request by the interactive program's own routines,
// its circuit per method (ideal, or in the construction), and the response over the sweep.
#pragma once

#include <vector>

#include "analysis/circuit.h"
#include "analysis/options.h"
#include "analysis/response.h"

namespace quendrix::analysis {

struct Study {
  Request request;
  FilterSpec fs;  // after the synthesis: a Butterworth ripple reads 3 dB
  ElectricalDesign ed;
  std::vector<Circuit> circuits;  // in the order of METHODS
  std::vector<double> frequencies;
  std::vector<std::vector<ResponsePoint>> responses;  // per method, between z0 and zload
};

// Designs and analyses. A design that cannot be analysed or built throws OptionError naming the
// option behind it (an impedance that is not finite, an unrealizable strip).
Study runStudy(const Request& r);

}  // namespace quendrix::analysis
