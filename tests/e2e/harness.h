// Runs the built program in a fresh folder with a scripted standard input and collects the exact
// bytes of its standard output, standard error, report files and exit status.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <regex>
#include <sstream>
#include <string>

namespace e2e {

namespace fs = std::filesystem;

inline std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeFile(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

// The shipped defaults file.
inline std::string shippedDefaults() { return readFile(fs::path(QUENDRIX_SOURCE_DIR) / "Quendrix.DEF"); }

struct Folder {
  fs::path dir;
  Folder() {
    static std::atomic<int> count{0};
    dir = fs::temp_directory_path() /
          ("quendrix-e2e-" + std::to_string(::getpid()) + "-" + std::to_string(count++));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  ~Folder() { fs::remove_all(dir); }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;
};

struct Result {
  std::string out, err;
  int status = -1;
};

// Runs build/quendrix in the folder with the given standard input.
inline Result run(const Folder& f, const std::string& input) {
  writeFile(f.dir / ".stdin", input);
  const std::string cmd = "cd '" + f.dir.string() + "' && '" + QUENDRIX_BINARY +
                          "' < .stdin > .stdout 2> .stderr";
  const int raw = std::system(cmd.c_str());
  Result r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = readFile(f.dir / ".stdout");
  r.err = readFile(f.dir / ".stderr");
  return r;
}

// A run in a fresh folder holding the given defaults file.
struct Session {
  Folder f;
  Result r;
  std::string out;  // standard output with the design stamps masked
  explicit Session(const std::string& input, const std::string& def = shippedDefaults());
  std::string file(const std::string& name) const;
  bool has(const std::string& s) const { return out.find(s) != std::string::npos; }
};

// A file name as the report prints it: 20 columns.
inline std::string name20(std::string s) {
  s.resize(20, ' ');
  return s;
}

// The date and time of a design differ from run to run: they are matched by shape.
inline std::string maskStamp(const std::string& s) {
  static const std::regex stamp(R"(Date:[ 0-9*]{2}/[ 0-9*]{2}/[ 0-9*]{4} at [ 0-9*]{2}:[ 0-9*]{2}:[ 0-9*]{2}Hours)");
  return std::regex_replace(s, stamp, "Date:MM/DD/YYYY at hh:mm:ssHours");
}

inline Session::Session(const std::string& input, const std::string& def) {
  writeFile(f.dir / "Quendrix.DEF", def);
  r = run(f, input);
  out = maskStamp(r.out);
}
inline std::string Session::file(const std::string& name) const { return maskStamp(readFile(f.dir / name)); }

// Records as the program writes them: each line ended with CR LF.
inline std::string lines(std::initializer_list<std::string> ls) {
  std::string s;
  for (const std::string& l : ls) s += l + "\r\n";
  return s;
}

inline std::string blanks(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

// Answers typed at the prompts, one line each.
inline std::string answers(std::initializer_list<std::string> as) {
  std::string s;
  for (const std::string& a : as) s += a + "\n";
  return s;
}

// ---- Texts of the conversation, built from their layouts ------------------------------------
inline const std::string NOTICE = blanks(14) + " Quendrix filter design software, release 1.0";
inline const std::string STAMP = "Date:MM/DD/YYYY at hh:mm:ssHours";

// "///", the notice, the software line, the program line and an empty line.
inline std::string banner() {
  return "\r\n\r\n\r\n" + lines({NOTICE, blanks(14) + "  RF/Microwave Computer-Aided Engineering Software.",
                                 blanks(9) + "Program: Quendrix (v. 1.0)      " + STAMP, ""});
}

inline std::string introduction() {
  return lines({"", " This program performs Electrical SYNTHESIS, Dimensional SYNTHESIS and",
                " Frequency ANALYSIS of Wideband Bandpass Filters which are realized by",
                " Quarter-wavelength Short-Circuit Stubs separated by Quarter-Wavelength",
                " Connecting Lines, exhibiting a Tchebyscheff or Butterworth response across",
                " its passband frequencies, with construction in Microstrip or Stripline.", "",
                " Please enter the following Design Data:"});
}

inline const std::string P_F0 = blanks(7) + "-Filter`s Center Frequency,  MHz = ";
inline const std::string P_BW = blanks(7) + "-Filter`s Passband Bandwidth,MHz = ";
inline std::string percent(const std::string& f72) {
  return blanks(7) + "-Desired Bandwidth for Filter    = " + f72 + " %\r\n";
}
inline const std::string RESPONSE = lines({blanks(7) + "-Select RESPONSE Profile for the Filter:",
                                           blanks(9) + "*1: Tchebyscheff (Equi-ripple) Passband Response.",
                                           blanks(10) + "2: Butterworth (Maximally Flat) Passband Response."}) +
                                    blanks(13) + "RESPONSE Profile selected  = ";
// Begins with "/": ends the open response prompt.
inline const std::string RIPPLE = "\r\n" + lines({blanks(7) + "-Enter Passband RIPPLE Level in dB:",
                                                 blanks(10) + " - Enter 0.01 for VSWR = 1.10:1",
                                                 blanks(10) + " -*Enter 0.05 for VSWR = 1.24:1",
                                                 blanks(10) + " - Or a value of your choice."}) +
                                  blanks(10) + "Desired Passband Ripple Level = ";
inline const std::string P_RIPPLE = blanks(10) + "Desired Passband Ripple Level = ";
inline const std::string METHOD = lines({blanks(7) + "-Select METHOD for entering Number of Cavities:",
                                         blanks(9) + "*1: User enters Number of Cavities, N",
                                         blanks(10) + "2: User enters Attenuation at Skirt Frequency"}) +
                                  blanks(24) + "METHOD selected = ";
inline const std::string P_SKIRT = blanks(7) + "-Out of band Skirt Frequency,MHz = ";
inline const std::string P_ATTEN = blanks(7) + "-Attenuation at Skirt Freq, dB   = ";
inline const std::string P_N = blanks(7) + "-Number of Sections/Poles,  N    = ";
inline const std::string P_Z0 = blanks(7) + "-Impedance of the System, Ohms   = ";
inline std::string sectionsNeeded(const std::string& i3, const std::string& f61) {
  return lines({blanks(7) + "-Number of Sections/Poles needed =" + i3,
                blanks(7) + "-Skirt Attenuation achieved      =" + f61 + " dB"});
}
inline const std::string POLE_LIMIT =
    "\r\n\r\n" + lines({blanks(9) + "ERROR: Number of Poles in Filter cannot exceed N = 40.",
                        blanks(9) + "Please re-enter Number of Poles in Filter.", ""});

inline const std::string STORE_Q = "\r\n" + blanks(6) + "Is Output Data STORAGE desired? (1=Yes) = ";
inline const std::string FILENAME_BLOCK =
    lines({blanks(6) + "Enter a FILENAME (up to 20 characters) for Output Data storage: ",
           blanks(10) + "-Enter: Filename.xls for storage in a spreadsheet",
           blanks(10) + "-Enter: Filename.doc for storage in a word processor",
           blanks(10) + "-Enter: Filename.txt for storage as a text document"});
inline const std::string P_FILENAME = blanks(11) + "Enter your FILENAME for Output Data Storage: ";
inline std::string storedLine(const std::string& name20) {
  return lines({blanks(14) + "Output Data stored in User filename: " + name20});
}

inline const std::string RULE72 = blanks(6) + std::string(72, '-');
inline const std::string RULE71 = blanks(6) + std::string(71, '-');

inline const std::string FIRST_MENU =
    lines({"", blanks(5) + "SYNTHESIS of the Distributed Electrical Circuit for your Filter completed.",
           blanks(5) + "Select the next OPERATION:",
           blanks(11) + "1. Synthesize Physical DIMENSIONS for your Bandpass Filter.",
           blanks(11) + "2. Design a NEW Wideband Bandpass Filter.", blanks(10) + "*3. EXIT to operating system."}) +
    blanks(6) + "OPERATION selected = ";
inline const std::string LAST_MENU =
    lines({"", blanks(6) + "Dimensional SYNTHESIS of your Wideband Bandpass Filter completed.",
           blanks(6) + "Select the next OPERATION:", blanks(11) + "1. Perform a Frequency ANALYSIS of your Wideband Filter.",
           blanks(11) + "2. Design a NEW Wideband Bandpass Filter.",
           blanks(11) + "3. Change Physical DIMENSIONS and Re-run.", blanks(10) + "*4. EXIT to operating system."}) +
    blanks(6) + "OPERATION selected = ";

// The electrical dialogue answered with blanks for a Tchebyscheff design with N entered
// (centre frequency 3000 and bandwidth 900 give 30.00 %).
inline std::string defaultElectricalDialogue() {
  return P_F0 + P_BW + percent("  30.00") + RESPONSE + RIPPLE + METHOD + P_N + P_Z0;
}

// Header and table header of the electrical report.
inline std::string electricalHeader(const std::string& flow, const std::string& torb12, const std::string& f0,
                                    const std::string& n2, const std::string& fhigh, const std::string& ripple53,
                                    const std::string& bw, const std::string& z062) {
  return lines({"", RULE72, blanks(8) + "Quendrix (v. 1.0)" + blanks(20) + STAMP, NOTICE,
                blanks(14) + "RF/Microwave Computer-Aided Engineering Design Data For",
                blanks(14) + "              Wideband Bandpass Filters.", "",
                blanks(10) + "SYNTHESIS of the Distributed Electrical Circuit for your Wideband",
                blanks(10) + "Bandpass Filter results in the following design data:", "",
                blanks(14) + "Flow = " + flow + " MHz" + blanks(10) + "Response    = " + torb12,
                blanks(14) + "Fo   = " + f0 + " MHz" + blanks(10) + "# of Poles  = " + n2,
                blanks(14) + "Fhigh= " + fhigh + " MHz" + blanks(10) + "Ripple (Am) = " + ripple53 + " dB",
                blanks(14) + "BW   = " + bw + " MHz" + blanks(10) + "Zo of System= " + z062 + " Ohms", "",
                blanks(6) + "       Impedance of One   Impedance of Two          Impedance of Inter-",
                blanks(6) + "       Shorted Stub,Ohms  Shorted Stubs,Ohms         Connecting Lines",
                blanks(6) + " Stub  Matthaei  Cristal  Matthaei  Cristal  Line   Matthaei   Cristal",
                blanks(6) + "  K      Z(K)     Z(K)     Z(K)      Z(K)    K,K+1  Z(K,K+1)  (Z(K,K+1)", RULE72});
}

// The worked example: 3000 MHz, 900 MHz, Tchebyscheff 0.1 dB, N = 5, 50 ohms.
inline std::string workedExampleReport() {
  return electricalHeader(" 2550.000", "Tchebyscheff", " 3000.000", " 5", " 3450.000", "0.100", "  900.000",
                          " 50.00") +
         lines({"        1      13.678   12.669    27.356   25.339   1 2     38.659    60.213",
                "        2       6.908   18.221    13.816   36.443   2 3     35.874    84.621",
                "        3       6.979   16.759    13.957   33.517   3 4     35.874    84.621",
                "        4       6.908   18.221    13.816   36.443   4 5     38.659    60.213",
                "        5      13.678   12.669    27.356   25.339", "",
                "       Required Load Impedance = 50.00 Ohms.", RULE72});
}

inline const std::string DIM_CHOICE = lines({"", " Please enter the following Dimensional Data:",
                                             blanks(7) + "*1: Microstrip Filter, or", blanks(8) + "2: Stripline Filter"}) +
                                      blanks(11) + "Filter TYPE selected = ";
inline const std::string P_H = blanks(7) + "-Microstrip`s Dielectric Thickness (H), Inches = ";
inline const std::string P_B = blanks(7) + "-Stripline`s Ground Plane Spacing  (B), Inches = ";
inline const std::string P_ER = blanks(7) + "-Substrate`s Relative Dielectric Constant (Er) = ";
inline const std::string P_T = blanks(7) + "-Center Conductor`s Strip Thickness(T), Inches = ";

inline std::string dimensionalHeader(const std::string& torb12, const std::string& ripple53, const std::string& h64,
                                     const std::string& slorms10, const std::string& t64, const std::string& n2,
                                     const std::string& er63, const std::string& f093, const std::string& z062,
                                     const std::string& bw93) {
  return lines({"", RULE72, blanks(8) + "Quendrix (v. 1.0)" + blanks(20) + STAMP, NOTICE,
                blanks(14) + "RF/Microwave Computer-Aided Engineering Design Data For",
                blanks(14) + "              Wideband Bandpass Filters.", "",
                blanks(10) + "SYNTHESIS of physical DIMENSIONS from the Distributed Electrical",
                blanks(10) + "Circuit for your Wideband Bandpass Filter results in the following",
                blanks(10) + "design data:", "",
                blanks(14) + "Response = " + torb12 + blanks(8) + "Ripple = " + ripple53 + " dB",
                blanks(14) + "H  = " + h64 + " \"" + blanks(12) + "Construction = " + slorms10,
                blanks(14) + "T  = " + t64 + " \"" + blanks(12) + "# of Sections= " + n2,
                blanks(14) + "Er = " + er63 + blanks(14) + "Center Freq. = " + f093 + " MHz",
                blanks(14) + "Zo = " + z062 + " Ohms" + blanks(9) + "Bandwidth    = " + bw93 + " MHz", "",
                blanks(6) + "Two Short-Circuited Stubs, Inches *   Inter-Connecting Lines, Inches",
                blanks(6) + "Stub  Per Matthaei   Per Cristal  * Line   Per Matthaei   Per Cristal",
                blanks(7) + "K   Width  Length  Width  Length * K,K+1  Width  Length  Width  Length", RULE71});
}

inline std::string dimensionalClosing(const std::string& z072, const std::string& w74) {
  return lines({"", blanks(6) + "For a Zo = " + z072 + " Ohms, Line Width = " + w74 + " Inches.", "",
                blanks(6) + "CAUTION: T-Junction effects are not included in the physical realization.", RULE72});
}

inline const std::string UNREALIZABLE = lines({"", blanks(6) + "The Impedance requires an unrealizable Strip Width.",
                                               blanks(6) + "Strip Width SYNTHESIS calculations terminated by Quendrix."});

// A defaults file from its 18 lines.
inline std::string defaultsFile(std::initializer_list<std::string> ls) {
  std::string s;
  for (const std::string& l : ls) s += l + "\n";
  return s;
}

}  // namespace e2e
