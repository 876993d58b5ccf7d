// The defaults file Quendrix.DEF: 18 lines, one value a line, read once at start-up.
#include <cmath>

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

// Reads one line of the file; on END or ERROR writes the message naming var and gives false.
bool readEntry(const std::string& var, std::string_view layout, std::initializer_list<InTarget> targets) {
  const ReadResult r = readLayout(UNIT_FILE2, layout, targets, OnFailure::REPORT);
  if (r == ReadResult::END) writeLayout(UNIT_CONSOLE_OUT, END_MESSAGE, {std::string_view(var)});
  if (r == ReadResult::ERROR) writeLayout(UNIT_CONSOLE_OUT, ERROR_MESSAGE, {std::string_view(var)});
  return r == ReadResult::OK;
}

bool reject(const std::string& var) {
  writeLayout(UNIT_CONSOLE_OUT, ERROR_MESSAGE, {std::string_view(var)});
  return false;
}

// A number line: read in F13.0, then tested.
template <typename Test>
bool realEntry(std::string_view label, float& value, Test test) {
  const std::string var = text20(label);
  if (!readEntry(var, "(F13.0)", {&value})) return false;
  return test(value) ? true : reject(var);
}

// A choice line: read in F13.0 into temp, converted to the nearest integer, then tested.
template <typename Test>
bool integerEntry(std::string_view label, std::int32_t& value, Test test) {
  const std::string var = text20(label);
  float temp = 0;
  if (!readEntry(var, "(F13.0)", {&temp})) return false;
  value = nearestInteger(temp);
  return test(value) ? true : reject(var);
}

bool nameEntry(std::string_view label, std::string& value) {
  const std::string var = text20(label);
  if (!readEntry(var, "(A20)", {&value})) return false;
  return isBlankText(value) ? reject(var) : true;
}

}  // namespace

bool loadDefaults(Defaults& d, ReportSink& sink) {
  openFile(UNIT_FILE2, DEFAULTS_FILE, OpenMode::READ_EXISTING);
  sink.defaultsFile = unitIdentity(UNIT_FILE2);

  if (!readEntry(text20("1st line."), "(A20)", {})) return false;
  if (!realEntry("Fo.", d.f0def, [](float x) { return x > 0; })) return false;
  if (!realEntry("Bandwidth.", d.bwdef, [](float x) { return x > 0; })) return false;
  if (!integerEntry("Response Type.", d.itorbdef, [](std::int32_t i) { return i == 1 || i == 2; })) return false;
  if (!realEntry("Ripple.", d.rippledef, [](float) { return true; })) return false;

  // The band edges of the loaded design; the edges belong to the band.
  const float flow = static_cast<float>(static_cast<double>(d.f0def) - static_cast<double>(d.bwdef) * 0.5);
  const float fhigh = static_cast<float>(static_cast<double>(d.bwdef) * 0.5 + static_cast<double>(d.f0def));
  if (!realEntry("Skirt Frequency.", d.f1def, [&](float x) { return x > 0 && (x < flow || x > fhigh); }))
    return false;
  if (!realEntry("Skirt Attenuation.", d.a1def, [](float) { return true; })) return false;
  d.a1def = std::fabs(d.a1def);
  if (!integerEntry("# of Sections, N.", d.ndef, [](std::int32_t i) { return i >= 2; })) return false;
  if (!realEntry("System Impedance: Zo", d.z0def, [](float x) { return x > 0; })) return false;
  if (!integerEntry("ustrip or Stripline.", d.msorsldef, [](std::int32_t i) { return i == 1 || i == 2; }))
    return false;
  if (!realEntry("Microstrip`s H.", d.heightms, [](float x) { return x > 0; })) return false;
  if (!realEntry("Microstrip`s Er.", d.erms, [](float x) { return x >= 1; })) return false;
  if (!realEntry("Microstrip`s T.", d.thickms, [&](float x) { return x >= 0 && x < d.heightms; })) return false;
  if (!realEntry("Stripline`s B.", d.heightsl, [](float x) { return x > 0; })) return false;
  if (!realEntry("Stripline`s Er.", d.ersl, [](float x) { return x >= 1; })) return false;
  if (!realEntry("Stripline`s T.", d.thicksl, [&](float x) { return x >= 0 && x < d.heightsl; })) return false;
  if (!nameEntry("Elec Store Filename.", d.fnedef)) return false;
  if (!nameEntry("Dimen Store Filename", d.fnddef)) return false;
  // The file stays connected to its unit until the first electrical report file takes it.
  return true;
}

}  // namespace quendrix
