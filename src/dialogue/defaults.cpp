// The defaults file Quendrix.DEF: 18 lines, one value a line, read once at start-up.
#include <cmath>

#include "dialogue/design.h"
#include "dialogue/records.h"

namespace quendrix {

std::string text20(std::string_view s) {
  std::string t(s.substr(0, TEXT_LEN));
  t.resize(TEXT_LEN, ' ');
  return t;
}

bool isBlankText(std::string_view s) { return s.find_first_not_of(' ') == std::string_view::npos; }

std::string_view trimTrailingBlanks(std::string_view s) {
  const std::size_t last = s.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1);
}

namespace {

constexpr std::string_view END_MESSAGE =
    "(6X, '`End of file in Quendrix`s default data file (Quendrix.DEF).',/,6X, 'Entry missing for variable: ',A20,/,6X, "
    "'Fix entry for this variable in Quendrix.DEF and try again.')";
constexpr std::string_view ERROR_MESSAGE =
    "(6X, 'Error exists in Quendrix`s default data file (Quendrix.DEF).',/,6X, 'Fix entry for variable ',A20,' and try "
    "again.')";

// The file's lines in order: each entry takes the next line, and a failure records it in fault.
struct Reader {
  DefaultsFault& fault;
  int line = 0;

  bool fail(const std::string& var, bool ended) {
    fault = DefaultsFault{line, var, ended};
    return false;
  }

  // Reads one line of the file; false on END or ERROR, naming var.
  bool readEntry(const std::string& var, std::string_view layout, std::initializer_list<InTarget> targets) {
    ++line;
    const ReadResult r = readLayout(UNIT_FILE2, layout, targets, OnFailure::REPORT);
    if (r == ReadResult::OK) return true;
    return fail(var, r == ReadResult::END);
  }

  // A number line: read in F13.0, then tested.
  template <typename Test>
  bool realEntry(std::string_view label, float& value, Test test) {
    const std::string var = text20(label);
    if (!readEntry(var, "(F13.0)", {&value})) return false;
    return test(value) ? true : fail(var, false);
  }

  // A choice line: read in F13.0 into temp, converted to the nearest integer, then tested.
  template <typename Test>
  bool integerEntry(std::string_view label, std::int32_t& value, Test test) {
    const std::string var = text20(label);
    float temp = 0;
    if (!readEntry(var, "(F13.0)", {&temp})) return false;
    value = nearestInteger(temp);
    return test(value) ? true : fail(var, false);
  }

  bool nameEntry(std::string_view label, std::string& value) {
    const std::string var = text20(label);
    if (!readEntry(var, "(A20)", {&value})) return false;
    return isBlankText(value) ? fail(var, false) : true;
  }
};

}  // namespace

bool readDefaults(Defaults& d, DefaultsFault& fault) {
  fault = DefaultsFault{};
  Reader r{fault};
  if (!r.readEntry(text20("1st line."), "(A20)", {})) return false;
  if (!r.realEntry("Fo.", d.f0def, [](float x) { return x > 0; })) return false;
  if (!r.realEntry("Bandwidth.", d.bwdef, [](float x) { return x > 0; })) return false;
  if (!r.integerEntry("Response Type.", d.itorbdef, [](std::int32_t i) { return i == 1 || i == 2; })) return false;
  if (!r.realEntry("Ripple.", d.rippledef, [](float) { return true; })) return false;

  // The band edges of the loaded design; the edges belong to the band.
  const BandValues band = bandValues(d.f0def, d.bwdef);
  const float flow = band.flow;
  const float fhigh = band.fhigh;
  if (!r.realEntry("Skirt Frequency.", d.f1def, [&](float x) { return x > 0 && (x < flow || x > fhigh); }))
    return false;
  if (!r.realEntry("Skirt Attenuation.", d.a1def, [](float) { return true; })) return false;
  d.a1def = std::fabs(d.a1def);
  if (!r.integerEntry("# of Sections, N.", d.ndef, [](std::int32_t i) { return i >= 2; })) return false;
  if (!r.realEntry("System Impedance: Zo", d.z0def, [](float x) { return x > 0; })) return false;
  if (!r.integerEntry("ustrip or Stripline.", d.msorsldef, [](std::int32_t i) { return i == 1 || i == 2; }))
    return false;
  if (!r.realEntry("Microstrip`s H.", d.heightms, [](float x) { return x > 0; })) return false;
  if (!r.realEntry("Microstrip`s Er.", d.erms, [](float x) { return x >= 1; })) return false;
  if (!r.realEntry("Microstrip`s T.", d.thickms, [&](float x) { return x >= 0 && x < d.heightms; })) return false;
  if (!r.realEntry("Stripline`s B.", d.heightsl, [](float x) { return x > 0; })) return false;
  if (!r.realEntry("Stripline`s Er.", d.ersl, [](float x) { return x >= 1; })) return false;
  if (!r.realEntry("Stripline`s T.", d.thicksl, [&](float x) { return x >= 0 && x < d.heightsl; })) return false;
  if (!r.nameEntry("Elec Store Filename.", d.fnedef)) return false;
  if (!r.nameEntry("Dimen Store Filename", d.fnddef)) return false;
  return true;
}

bool loadDefaults(Defaults& d, ReportSink& sink) {
  openFile(UNIT_FILE2, DEFAULTS_FILE, OpenMode::READ_EXISTING);
  sink.defaultsFile = unitIdentity(UNIT_FILE2);

  DefaultsFault fault;
  if (!readDefaults(d, fault)) {
    writeLayout(UNIT_CONSOLE_OUT, fault.ended ? END_MESSAGE : ERROR_MESSAGE, {std::string_view(fault.var)});
    return false;
  }
  // The file stays connected to its unit until the first electrical report file takes it.
  return true;
}

}  // namespace quendrix
