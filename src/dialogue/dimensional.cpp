// Dimensional step: the construction dialogue, then the strip widths and quarter-wave lengths of
// every stub and connecting line by both methods, each row printed as soon as it is computed.
#include "dialogue/design.h"
#include "dialogue/records.h"
#include "dialogue/unrealizable.h"

namespace quendrix {

namespace {

constexpr ReportKind KIND = ReportKind::DIMENSIONAL;

float answer(std::string_view prompt) {
  float temp = 0;
  promptLayout(UNIT_CONSOLE_OUT, prompt);
  readLayout(UNIT_CONSOLE_IN, "(F13.0)", {&temp});
  return temp;
}

void headerBlock(const ReportSink& sink, const FilterSpec& fs, const DesignStamp& st, const Construction& c) {
  reportTitle(sink, KIND, st);
  reportLine(sink, KIND, "(10X,'SYNTHESIS of physical DIMENSIONS from the Distributed Electrical')");
  reportLine(sink, KIND, "(10X,'Circuit for your Wideband Bandpass Filter results in the following')");
  reportLine(sink, KIND, "(10X,'design data:',/)");
  reportLine(sink, KIND, "(14X,'Response = ',A12,8X,'Ripple = ',F5.3,' dB')", {std::string_view(fs.torb), fs.ripple});
  reportLine(sink, KIND, "(14X,'H  = ',F6.4,' \"',12X,'Construction = ',A10)", {c.height, std::string_view(c.slorms)});
  reportLine(sink, KIND, "(14X,'T  = ',F6.4,' \"',12X,'# of Sections= ',I2)", {c.thick, fs.n});
  reportLine(sink, KIND, "(14X,'Er = ',F6.3,14X,'Center Freq. = ',F9.3,' MHz')", {c.er, fs.f0});
  reportLine(sink, KIND, "(14X,'Zo = ',F6.2,' Ohms',9X,'Bandwidth    = ',F9.3,' MHz')", {fs.z0, fs.bw});
}

void tableHeader(const ReportSink& sink) {
  reportLine(sink, KIND,
             "(/,6X, 'Two Short-Circuited Stubs, Inches *   Inter-Connecting Lines, Inches',/,6X, 'Stub  Per Matthaei  "
             " Per Cristal  * Line   Per Matthaei   Per Cristal',/,7X, 'K   Width  Length  Width  Length * K,K+1  "
             "Width  Length  Width  Length',/,6X, 71(1H-))");
}

}  // namespace

void dimensionalDialogue(const Defaults& d, Construction& c) {
  writeLayout(UNIT_CONSOLE_OUT,
              "(/,1X,'Please enter the following Dimensional Data:',/,7X, '*1: Microstrip Filter, or',/,8X, '2: "
              "Stripline Filter')");
  float temp = answer("(11X,'Filter TYPE selected = ')");
  const std::int32_t itemp = nearestInteger(temp);
  // 1 is microstrip, 2 stripline; any other answer takes the construction of the defaults file.
  c.msorsl = (itemp == 1 || itemp == 2) ? itemp : d.msorsldef;
  const bool microstrip = c.msorsl == 1;
  c.slorms = text20(microstrip ? "Microstrip" : "Stripline");

  // Every answer that fails its test takes the default of the chosen construction.
  temp = answer(microstrip ? "(7X,'-Microstrip`s Dielectric Thickness (H), Inches = ')"
                           : "(7X,'-Stripline`s Ground Plane Spacing  (B), Inches = ')");
  c.height = temp > 0 ? temp : (microstrip ? d.heightms : d.heightsl);
  temp = answer("(7X,'-Substrate`s Relative Dielectric Constant (Er) = ')");
  c.er = temp > 0.99999f ? temp : (microstrip ? d.erms : d.ersl);
  temp = answer("(7X,'-Center Conductor`s Strip Thickness(T), Inches = ')");
  c.thick = temp > 0 ? temp : (microstrip ? d.thickms : d.thicksl);
}

void dimensionalStep(FilterSpec& fs, const DesignStamp& stamp, ReportSink& sink, ElectricalDesign& ed,
                     const Defaults& d, Construction& c, DimensionalDesign& dd) {
  dimensionalDialogue(d, c);
  storageDialogue(sink, KIND, d);
  headerBlock(sink, fs, stamp, c);
  tableHeader(sink);

  const std::int32_t n = fs.n;
  dd.qwave = quarterWave(fs.f0);
  dd.ersm = dd.erlm = dd.ersc = dd.erlc = c.er;
  // The width of one strip; the unrealizable-width message follows at once a search that found
  // no width, so it stands just before the row (or the system line) it concerns.
  const auto width = [&](float& z) {
    const float w = stripWidth(c, fs.f0, dd.isyne, z);
    if (dd.isyne != 0) reportUnrealizableWidth();
    return w;
  };
  for (std::int32_t k = 1; k <= n; ++k) {
    // Stubs, Cristal first; each takes the effective permittivity of its own strip.
    dd.wsc = width(ed.ysc2(k));
    dd.ersc = stripPermittivity(c);
    dd.wsm = width(ed.ysm2(k));
    dd.ersm = stripPermittivity(c);
    if (k <= n - 1) {
      dd.wlc = width(ed.ylc(k));
      dd.erlc = stripPermittivity(c);
      dd.wlm = width(ed.ylm(k));
      dd.erlm = stripPermittivity(c);
      dd.qwlc = stripLength(dd.qwave, dd.erlc);
      dd.qwlm = stripLength(dd.qwave, dd.erlm);
    }
    dd.qwsc = stripLength(dd.qwave, dd.ersc);
    dd.qwsm = stripLength(dd.qwave, dd.ersm);
    if (k <= n - 1) {
      reportLine(sink, KIND, "(6X,I2,1X,2(F7.4,F8.4),' * ',I2,',',I2,2(F7.4,F8.4))",
                 {k, dd.wsm, dd.qwsm, dd.wsc, dd.qwsc, k, k + 1, dd.wlm, dd.qwlm, dd.wlc, dd.qwlc});
    } else {
      reportLine(sink, KIND, "(6X,I2,1X,2(F7.4,F8.4),' * ')", {k, dd.wsm, dd.qwsm, dd.wsc, dd.qwsc});
    }
  }

  // The line of the system impedance.
  dd.wzo = width(fs.z0);
  reportLine(sink, KIND, "(/,6X,'For a Zo = ',F7.2,' Ohms, Line Width = ',F7.4,' Inches.')", {fs.z0, dd.wzo});
  reportLine(sink, KIND,
             "(/,6X,'CAUTION: T-Junction effects are not included in the physical realization.', /,6X,72(1H-))");
  endOfReport(sink, KIND);
}

}  // namespace quendrix
