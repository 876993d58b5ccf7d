// The records of one run of Quendrix, owned by the program driver, and the operations of the
// console dialogue that build and print them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "synthesis/poles.h"
#include "textio/textio.h"

namespace quendrix {

// Constants set once at start-up.
inline constexpr float pi = 3.1415927f;
inline constexpr float v = 11811.023f;  // free-space wavelength at 1 MHz in inches (300 m)

// Text variables of the program are 20 characters, blank-padded.
inline constexpr std::size_t TEXT_LEN = 20;
std::string text20(std::string_view s);
bool isBlankText(std::string_view s);
std::string_view trimTrailingBlanks(std::string_view s);

// The defaults file and what it holds.
inline constexpr std::string_view DEFAULTS_FILE = "Quendrix.DEF";

struct Defaults {
  float f0def = 0, bwdef = 0;
  std::int32_t itorbdef = 1;
  float rippledef = 0, f1def = 0, a1def = 0;
  std::int32_t ndef = 2;
  float z0def = 0;
  std::int32_t msorsldef = 1;
  float heightms = 0, erms = 0, thickms = 0;
  float heightsl = 0, ersl = 0, thicksl = 0;
  std::string fnedef = text20(""), fnddef = text20("");
};

struct DesignStamp {
  std::int32_t imon = 0, iday = 0, iyr = 0, ihr = 0, imin = 0, isec = 0;
};

struct FilterSpec {
  float f0 = 0, bw = 0, flow = 0, fhigh = 0, theta1 = 0;
  std::int32_t itorb = 1;
  std::string torb = text20("Tchebyscheff");
  float ripple = 0;
  std::int32_t ifunc = 1;
  float f1 = 0, fc = 0, a1 = 0, a2 = 0;
  std::int32_t n = 0;
  float z0 = 0;
};

struct ElectricalDesign {
  ProtoArray g;
  float ya = 0, h = 0;
  PoleArray ysm, ylm, ysc, ylc, ysm2, ysc2;
  float zload = 0;
};

struct Construction {
  std::int32_t msorsl = 1;
  std::string slorms = text20("Microstrip");
  float height = 0, er = 0, thick = 0;
};

struct DimensionalDesign {
  float qwave = 0;
  float wsm = 0, wsc = 0, qwsm = 0, qwsc = 0, ersm = 0, ersc = 0;
  float wlm = 0, wlc = 0, qwlm = 0, qwlc = 0, erlm = 0, erlc = 0;
  float wzo = 0;
  std::int32_t isyne = 0;
};

// The console plus one report-file channel per report kind.
enum class ReportKind { ELECTRICAL, DIMENSIONAL };
struct ReportSink {
  std::int32_t istore = 2;               // 1: the report is being stored; 2: console only
  std::string fne = text20(""), fnd = text20("");  // names the channels were last opened under
  std::string fname = text20("");        // the answer buffer both storage dialogues share
  FileIdentity defaultsFile;             // the defaults file, which no report may replace
};

// Loads the defaults file; false after its message (the run then ends with status 0).
bool loadDefaults(Defaults& d, ReportSink& sink);

// The entry at which a defaults file was refused: its line (1 to 18), its 20-character label,
// and whether the file ended before it (otherwise its value was bad or failed its test).
struct DefaultsFault {
  int line = 0;
  std::string var;
  bool ended = false;
};
// Reads the defaults file connected to unit 2 into d and checks every entry; false with the entry
// at fault. Writes nothing: loadDefaults prints the message.
bool readDefaults(Defaults& d, DefaultsFault& fault);

// Date and time at the top of a design.
DesignStamp takeDesignStamp();

// Electrical design dialogue: a complete FilterSpec from the user's answers.
void electricalDialogue(const Defaults& d, FilterSpec& fs);

// Report storage: the question, a report line to the console and the file, the end of a report.
void storageDialogue(ReportSink& sink, ReportKind kind, const Defaults& d);
void reportLine(const ReportSink& sink, ReportKind kind, std::string_view layout,
                std::initializer_list<OutValue> values = {});
void endOfReport(ReportSink& sink, ReportKind kind);
// The title lines that open both reports: an empty line, a rule, the program and the design
// stamp, the maker's notice and the two title lines, then an empty line.
void reportTitle(const ReportSink& sink, ReportKind kind, const DesignStamp& stamp);

// Electrical step: prototype, storage question, both syntheses and the electrical report.
void electricalStep(FilterSpec& fs, const DesignStamp& stamp, ReportSink& sink, ElectricalDesign& ed,
                    const Defaults& d);

// Dimensional step: dialogue, storage question, synthesis interleaved with its report.
void dimensionalDialogue(const Defaults& d, Construction& c);
void dimensionalStep(FilterSpec& fs, const DesignStamp& stamp, ReportSink& sink, ElectricalDesign& ed,
                     const Defaults& d, Construction& c, DimensionalDesign& dd);

// The main program: the whole conversation.
void quendrix();

}  // namespace quendrix
