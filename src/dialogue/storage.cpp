// Output data storage: every report line goes to the console and, on request, identically to
// a text file named by the user; the file ends with the line that names it.
#include "dialogue/banner.h"
#include "dialogue/records.h"

namespace quendrix {

namespace {

int unitOf(ReportKind kind) { return kind == ReportKind::ELECTRICAL ? UNIT_FILE2 : UNIT_DIMENSIONAL; }
std::string& nameOf(ReportSink& sink, ReportKind kind) {
  return kind == ReportKind::ELECTRICAL ? sink.fne : sink.fnd;
}

constexpr std::string_view FILENAME_PROMPT = "(11X,'Enter your FILENAME for Output Data Storage: ')";

// Reads a file name; a blank answer keeps the name member as it is.
void readName(ReportSink& sink, std::string& name) {
  promptLayout(UNIT_CONSOLE_OUT, FILENAME_PROMPT);
  sink.fname = text20("");
  readLayout(UNIT_CONSOLE_IN, "(A20)", {&sink.fname});
  if (!isBlankText(sink.fname)) name = sink.fname;
}

}  // namespace

void storageDialogue(ReportSink& sink, ReportKind kind, const Defaults& d) {
  promptLayout(UNIT_CONSOLE_OUT, "(/,6X,'Is Output Data STORAGE desired? (1=Yes) = ')");
  float temp = 0;
  readLayout(UNIT_CONSOLE_IN, "(F13.0)", {&temp});
  sink.istore = 2;
  if (nearestInteger(temp) != 1) return;
  sink.istore = 1;

  std::string& name = nameOf(sink, kind);
  const std::string& defaultName = kind == ReportKind::ELECTRICAL ? d.fnedef : d.fnddef;
  name = defaultName;
  writeLayout(UNIT_CONSOLE_OUT,
              "(6X,'Enter a FILENAME (up to 20 characters) for Output Data storage: ',/,10X,'-Enter: Filename.xls for "
              "storage in a spreadsheet',/,10X,'-Enter: Filename.doc for storage in a word processor',/,10X,'-Enter: "
              "Filename.txt for storage as a text document')");
  readName(sink, name);

  // The defaults file is never replaced by a report, whatever way its name is written.
  while (sink.defaultsFile.valid && fileIdentity(trimTrailingBlanks(name)) == sink.defaultsFile) {
    writeLayout(UNIT_CONSOLE_OUT, "(11X,'Quendrix.DEF holds the default data; enter another FILENAME.')");
    name = defaultName;
    readName(sink, name);
  }

  // A file that a channel already holds (an earlier report of either kind) is replaced like any
  // other existing file: the channels on it are closed first, then it is created anew.
  const std::string_view path = trimTrailingBlanks(name);
  const FileIdentity target = fileIdentity(path);
  if (target.valid) {
    for (int unit : {UNIT_FILE2, UNIT_DIMENSIONAL})
      if (unitConnected(unit) && unitIdentity(unit) == target) closeUnit(unit);
  }
  openFile(unitOf(kind), path, OpenMode::REPLACE);
}

void reportLine(const ReportSink& sink, ReportKind kind, std::string_view layout,
                std::initializer_list<OutValue> values) {
  writeLayout(UNIT_CONSOLE_OUT, layout, values);
  if (sink.istore == 1) writeLayout(unitOf(kind), layout, values);
}

void reportTitle(const ReportSink& sink, ReportKind kind, const DesignStamp& st) {
  reportLine(sink, kind, "(/,6X,72(1H-))");
  reportLine(sink, kind,
             "(8X,'Quendrix (v. 1.0)',20X,'Date:',I2,'/',I2,'/',I4,' at ',I2,':',I2,':',I2,'Hours')",
             {st.imon, st.iday, st.iyr, st.ihr, st.imin, st.isec});
  reportLine(sink, kind, MAKERS_NOTICE);
  reportLine(sink, kind, "(14X,'RF/Microwave Computer-Aided Engineering Design Data For')");
  reportLine(sink, kind, "(14X,'              Wideband Bandpass Filters.',/)");
}

void endOfReport(ReportSink& sink, ReportKind kind) {
  if (sink.istore != 1) return;
  const std::string& name = nameOf(sink, kind);
  reportLine(sink, kind, "(14X,'Output Data stored in User filename: ',A20)", {std::string_view(name)});
  // The end mark: the file is cut here. The channel stays connected until the run ends or a
  // later report takes it, and writes nothing more.
  endFile(unitOf(kind));
}

}  // namespace quendrix
