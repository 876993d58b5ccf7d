#include "in_process.h"

#include <cstdio>
#include <cstdlib>

#include "dialogue/design.h"
#include "dialogue/records.h"
#include "textio/textio.h"

namespace quendrix::testing {

namespace {

struct Stopped {
  int status;
};
[[noreturn]] void stopHere(int status) { throw Stopped{status}; }


// A memory stream that collects what is written to it.
struct Sink {
  char* buf = nullptr;
  std::size_t len = 0;
  std::FILE* fp = open_memstream(&buf, &len);
  std::string take() {
    std::fflush(fp);
    std::string s(buf, len);
    std::fclose(fp);
    std::free(buf);
    return s;
  }
};

}  // namespace

DateTimeValues fixedClock() { return DateTimeValues{{2013, 7, 4, 0, 9, 5, 3, 0}}; }

InProcessResult runInProcess(const std::string& input, ClockHook clock) {
  std::string in = input;
  std::FILE* inFp = in.empty() ? std::fopen("/dev/null", "r") : fmemopen(in.data(), in.size(), "r");
  Sink out, err;
  resetUnits();
  forgetLastMicrostripAnalysis();  // each run starts without a microstrip analysis
  setConsole(inFp, out.fp, err.fp);
  setStopHook(stopHere);
  setClockHook(clock);
  InProcessResult r;
  try {
    quendrix();
    finishRun();
  } catch (const Stopped& s) {
    r.status = s.status;
  }
  resetUnits();
  setConsole(stdin, stdout, stderr);
  setStopHook(nullptr);
  setClockHook(nullptr);
  std::fclose(inFp);
  r.out = out.take();
  r.err = err.take();
  return r;
}

}  // namespace quendrix::testing
