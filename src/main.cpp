// quendrix: wideband stub bandpass filter design on the console. Takes no arguments.
#include <csignal>

#include "dialogue/records.h"
#include "textio/textio.h"

int main() {
  // A console that goes away is a failed write (a run-time error stop), not a signal.
  std::signal(SIGPIPE, SIG_IGN);
  quendrix::quendrix();
  quendrix::finishRun();
  return 0;
}
