// quendrix-response: the frequency response of a Quendrix stub bandpass filter design, as a
// table, Touchstone files and a plot. See --help.
#include <csignal>
#include <string>
#include <vector>

#include "analysis/program.h"

int main(int argc, char** argv) {
  // A standard output that goes away is a failed write (status 2), not a signal.
  std::signal(SIGPIPE, SIG_IGN);
  const std::vector<std::string> args(argv + 1, argv + argc);
  return quendrix::analysis::responseMain(args);
}
