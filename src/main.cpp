// quendrix: wideband stub bandpass filter design on the console. Takes no arguments.
#include "dialogue/records.h"
#include "textio/textio.h"

int main() {
  quendrix::quendrix();
  quendrix::finishRun();
  return 0;
}
