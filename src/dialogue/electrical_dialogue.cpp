// Electrical design dialogue: centre frequency, bandwidth, response, ripple, number of
// sections (entered, or derived from a skirt frequency and attenuation) and system impedance.
// Every answer that is blank or out of range silently keeps its default.
#include <cmath>

#include "dialogue/design.h"
#include "dialogue/records.h"

namespace quendrix {

namespace {

// One answer, read as a number in F13.0 (a blank line reads as 0).
float answer(std::string_view prompt) {
  float temp = 0;
  promptLayout(UNIT_CONSOLE_OUT, prompt);
  readLayout(UNIT_CONSOLE_IN, "(F13.0)", {&temp});
  return temp;
}

constexpr std::string_view RIPPLE_PROMPT = "(10X,'Desired Passband Ripple Level = ')";

}  // namespace

void electricalDialogue(const Defaults& d, FilterSpec& fs) {
  fs = FilterSpec{};

  // 1. Centre frequency.
  float temp = answer("(7X,'-Filter`s Center Frequency,  MHz = ')");
  fs.f0 = temp > 0 ? temp : d.f0def;

  // 2. Bandwidth (no upper limit).
  temp = answer("(7X,'-Filter`s Passband Bandwidth,MHz = ')");
  fs.bw = temp > 0 ? temp : d.bwdef;

  // 3. Percentage bandwidth, band edges and the electrical length at the lower band edge.
  const BandValues band = bandValues(fs.f0, fs.bw);
  temp = band.percent;
  fs.flow = band.flow;
  fs.fhigh = band.fhigh;
  writeLayout(UNIT_CONSOLE_OUT, "(7X,'-Desired Bandwidth for Filter    = ',F7.2,' %')", {temp});
  fs.theta1 = band.theta1;

  // 4. Response.
  fs.itorb = d.itorbdef;
  fs.ripple = d.rippledef;
  fs.torb = text20("Tchebyscheff");
  writeLayout(UNIT_CONSOLE_OUT,
              "(7X,'-Select RESPONSE Profile for the Filter:',/,9X, '*1: Tchebyscheff (Equi-ripple) Passband "
              "Response.',/,10X, '2: Butterworth (Maximally Flat) Passband Response.')");
  temp = answer("(8X,'     RESPONSE Profile selected  = ')");
  std::int32_t itemp = nearestInteger(temp);
  if (itemp == 1 || itemp == 2) fs.itorb = itemp;
  if (fs.itorb == 2) fs.torb = text20("Butterworth");

  // 5. Ripple, Tchebyscheff only. The prototype needs a ripple above 0 dB: while the answer and
  // the default give none, the question is asked again.
  if (fs.itorb != 2) {
    writeLayout(UNIT_CONSOLE_OUT,
                "(/,7X,'-Enter Passband RIPPLE Level in dB:',/, 10X,' - Enter 0.01 for VSWR = 1.10:1',/, 10X,' "
                "-*Enter 0.05 for VSWR = 1.24:1',/, 10X,' - Or a value of your choice.')");
    temp = answer(RIPPLE_PROMPT);
    fs.ripple = temp > 0 ? temp : d.rippledef;
    while (!(fs.ripple > 0)) {
      writeLayout(UNIT_CONSOLE_OUT, "(10X,'The Passband Ripple Level must be greater than 0 dB.')");
      temp = answer(RIPPLE_PROMPT);
      fs.ripple = temp > 0 ? temp : d.rippledef;
    }
  }

  for (;;) {
    // 6. Method for the number of sections.
    writeLayout(UNIT_CONSOLE_OUT,
                "(7X,'-Select METHOD for entering Number of Cavities:',/,9X, '*1: User enters Number of Cavities, "
                "N',/,10X, '2: User enters Attenuation at Skirt Frequency')");
    temp = answer("(10X,'              METHOD selected = ')");
    itemp = nearestInteger(temp);
    fs.ifunc = itemp > 0 ? itemp : 1;

    if (fs.ifunc != 1) {
      // 7. Number of sections from the attenuation wanted at a skirt frequency.
      temp = answer("(7X,'-Out of band Skirt Frequency,MHz = ')");
      fs.f1 = d.f1def;
      if (temp < fs.flow || temp > fs.fhigh) fs.f1 = temp;
      if (fs.f1 == 0) fs.f1 = d.f1def;

      temp = answer("(7X,'-Attenuation at Skirt Freq, dB   = ')");
      temp = std::fabs(temp);
      fs.a1 = temp > 0 ? temp : d.a1def;

      const std::int32_t ierr = sectionsFromSkirt(fs);
      if (ierr == 1) {
        writeLayout(UNIT_CONSOLE_OUT,
                    "(5X, 'Error in processing Number of Sections, N. Re-start Quendrix.',/,5X, 'N = ',I2,5X,'A2 = "
                    "',F6.2,' dB')",
                    {fs.n, fs.a2});
      }
      writeLayout(UNIT_CONSOLE_OUT,
                  "(7X,'-Number of Sections/Poles needed =',I3,/,7X, '-Skirt Attenuation achieved      =',F6.1,' "
                  "dB')",
                  {fs.n, fs.a2});
      // A failed derivation, or more sections than the arrays hold, never reaches the synthesis:
      // the method is asked again.
      if (ierr == 1) continue;
    } else {
      // 8. Number of sections entered.
      temp = answer("(7X,'-Number of Sections/Poles,  N    = ')");
      itemp = nearestInteger(temp);
      fs.n = itemp > 1 ? itemp : d.ndef;
    }
    if (fs.n > MAX_POLES) {
      writeLayout(UNIT_CONSOLE_OUT,
                  "(//,9X, 'ERROR: Number of Poles in Filter cannot exceed N = 40.',/,9X, 'Please re-enter Number of "
                  "Poles in Filter.',/)");
      continue;
    }
    break;
  }

  // 9. System impedance.
  temp = answer("(7X,'-Impedance of the System, Ohms   = ')");
  fs.z0 = temp > 0 ? temp : d.z0def;
}

}  // namespace quendrix
