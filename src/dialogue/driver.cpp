// The program driver: loads the defaults, then runs design after design from the two
// operation menus until the user ends the run.
#include "dialogue/banner.h"
#include "dialogue/records.h"

namespace quendrix {

DesignStamp takeDesignStamp() {
  const DateTimeValues dt = dateAndTime();
  return DesignStamp{dt.values[1], dt.values[2], dt.values[0], dt.values[4], dt.values[5], dt.values[6]};
}

namespace {

void bannerAndIntroduction(const DesignStamp& st) {
  // Three line ends: two here and the one that ends the write. After a menu prompt the first of
  // them closes the prompt's line.
  writeLayout(UNIT_CONSOLE_OUT, "(//)");
  writeLayout(UNIT_CONSOLE_OUT, MAKERS_NOTICE);
  writeLayout(UNIT_CONSOLE_OUT, "(14X,'  RF/Microwave Computer-Aided Engineering Software.')");
  writeLayout(UNIT_CONSOLE_OUT,
              "(9X,'Program: Quendrix (v. 1.0)      Date:',I2,'/',I2,'/',I4,' at ',I2,':',I2,':',I2,'Hours',/)",
              {st.imon, st.iday, st.iyr, st.ihr, st.imin, st.isec});
  writeLayout(UNIT_CONSOLE_OUT,
              "(/,1X, 'This program performs Electrical SYNTHESIS, Dimensional SYNTHESIS and',/,1X, 'Frequency "
              "ANALYSIS of Wideband Bandpass Filters which are realized by',/,1X, 'Quarter-wavelength Short-Circuit "
              "Stubs separated by Quarter-Wavelength',/,1X, 'Connecting Lines, exhibiting a Tchebyscheff or "
              "Butterworth response across',/,1X, 'its passband frequencies, with construction in Microstrip or "
              "Stripline.',//,1X, 'Please enter the following Design Data:')");
}

std::int32_t menuAnswer() {
  std::int32_t ltype = 0;
  promptLayout(UNIT_CONSOLE_OUT, "(6X,'OPERATION selected = ')");
  readLayout(UNIT_CONSOLE_IN, "(I2)", {&ltype});
  return ltype;
}

}  // namespace

void quendrix() {
  Defaults defaults;
  ReportSink sink;
  if (!loadDefaults(defaults, sink)) return;

  FilterSpec fs;
  ElectricalDesign ed;
  Construction c;
  DimensionalDesign dd;
  for (;;) {
    // Top of a design: every answer starts again from the defaults file.
    const DesignStamp stamp = takeDesignStamp();
    bannerAndIntroduction(stamp);
    electricalDialogue(defaults, fs);
    ed = ElectricalDesign{};
    electricalStep(fs, stamp, sink, ed, defaults);

    writeLayout(UNIT_CONSOLE_OUT,
                "(/,5X, 'SYNTHESIS of the Distributed Electrical Circuit for your Filter completed.',/,5X, 'Select "
                "the next OPERATION:',/,11X, '1. Synthesize Physical DIMENSIONS for your Bandpass Filter.',/,11X, '2. "
                "Design a NEW Wideband Bandpass Filter.',/,10X, '*3. EXIT to operating system.')");
    std::int32_t ltype = menuAnswer();
    if (ltype == 2) continue;
    if (ltype != 1) return;

    // Dimensional passes, as often as the user re-runs them.
    for (;;) {
      dimensionalStep(fs, stamp, sink, ed, defaults, c, dd);
      writeLayout(UNIT_CONSOLE_OUT,
                  "(/,6X, 'Dimensional SYNTHESIS of your Wideband Bandpass Filter completed.',/,6X, 'Select the next "
                  "OPERATION:',/,11X, '1. Perform a Frequency ANALYSIS of your Wideband Filter.',/,11X, '2. Design a "
                  "NEW Wideband Bandpass Filter.',/,11X, '3. Change Physical DIMENSIONS and Re-run.',/,10X, '*4. EXIT "
                  "to operating system.')");
      ltype = menuAnswer();
      if (ltype != 3) break;
    }
    // 1 names the frequency analysis, which this conversation does not perform: like an exit.
    if (ltype != 2) return;
  }
}

}  // namespace quendrix
