// The command line of quendrix-response: options, their checks, and the defaults they fall back
// on (Quendrix.DEF in the working folder, else built-in values equal to the shipped file).
#pragma once

#include <string>
#include <vector>

#include "dialogue/records.h"

namespace quendrix::analysis {

// What was asked for: the complete electrical data (band values derived, n entered or
// derived from the skirt attenuation), an optional construction and the sweep.
struct Request {
  FilterSpec fs;
  bool physical = false;
  Construction c;
  double from = 0, to = 0;  // MHz
  int points = 0;
  std::string touchstone;  // prefix of the Touchstone files, empty for none
  std::string svg;         // plot file, empty for none
};

// A bad option or value: the option's name ("--f0") and what is wrong with it.
struct OptionError {
  std::string option, what;
};

// The values of the shipped Quendrix.DEF.
Defaults builtInDefaults();

// Whether --help is among the arguments; it wins over everything else.
bool helpRequested(const std::vector<std::string>& args);
std::string helpText();

// The request from the arguments (without the program name) over the defaults d. Throws
// OptionError for the first option at fault.
Request parseRequest(const std::vector<std::string>& args, const Defaults& d);

// The default sweep: 0 to 2·f0, one whole period of the ideal response (it repeats every 2·f0),
// in 401 points (so that f0 and, for round band edges, flow and fhigh fall on sweep points).
inline constexpr int DEFAULT_POINTS = 401;
inline constexpr int MAX_POINTS = 100001;
// The highest frequency a sweep may reach, MHz (1 THz): far above any stub filter, and within the
// table's frequency column (%12.4f) and the exact range of the sweep's arithmetic.
inline constexpr double MAX_FREQUENCY = 1e6;

}  // namespace quendrix::analysis
