// Runs the whole conversation inside the calling process: the console is a memory stream, the
// clock is fixed and a run-time error stop returns to the caller instead of ending the process.
// Used by the fuzzers and the benchmarks.
#pragma once

#include <string>

#include "textio/textio.h"

namespace quendrix::testing {

struct InProcessResult {
  std::string out;   // standard output, byte for byte
  std::string err;   // standard error
  int status = 0;    // 0 for a normal end, 2 after a run-time error stop
};

// The clock of an in-process run unless another is given: 4 July 2013, 9:05:03.
DateTimeValues fixedClock();

// Runs the program in the current working directory with the given standard input. The
// program-wide state of the text layer and of the microstrip analysis is reset first.
InProcessResult runInProcess(const std::string& input, ClockHook clock = fixedClock);

}  // namespace quendrix::testing
