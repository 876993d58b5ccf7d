// A whole scripted conversation run in-process (quendrix::testing::runInProcess): memory
// console, fixed clock, no report stored. The program runs in a temporary folder that holds a
// copy of the shipped Quendrix.DEF and nothing else; the folder is removed at the end.
//
// conversation/electrical_microstrip_stripline/n:40 - the measured conversation:
//   the defaults-file design with N = 40 (Tchebyscheff 0.1 dB, 3000 MHz, 900 MHz, 50 ohms),
//   its electrical report, a microstrip pass (menu 1) on the file's substrate, a stripline pass
//   (menu 3, "Change Physical DIMENSIONS and Re-run") on the file's board, then exit (menu 4).
// conversation/electrical/n:40 - the same design, its electrical report, then exit: the part of
//   the run that does no width synthesis, for comparison.
//
// Before timing, each script is run once and its transcript checked; a transcript that lacks
// any of its reports stops the program with a message.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "in_process.h"

namespace {

namespace fs = std::filesystem;

// One answer a line; an empty line takes the default.
const std::string kFullScript =
    "\n"      // centre frequency: 3000 MHz
    "\n"      // bandwidth: 900 MHz
    "\n"      // response: Tchebyscheff
    "\n"      // ripple: 0.1 dB
    "\n"      // method: N entered
    "40\n"    // number of sections
    "\n"      // system impedance: 50 ohms
    "\n"      // store the electrical report? no
    "1\n"     // first menu: synthesize physical dimensions
    "1\n"     // microstrip
    "\n"      // H: 0.031 inch
    "\n"      // Er: 2.2
    "\n"      // T: 0.0014 inch
    "\n"      // store the dimensional report? no
    "3\n"     // last menu: change physical dimensions and re-run
    "2\n"     // stripline
    "\n"      // B: 0.062 inch
    "\n"      // Er: 2.2
    "\n"      // T: 0.0014 inch
    "\n"      // store the dimensional report? no
    "4\n";    // last menu: exit

const std::string kElectricalScript =
    "\n\n\n\n\n"  // centre frequency, bandwidth, response, ripple, method: defaults
    "40\n"        // number of sections
    "\n"          // system impedance: 50 ohms
    "\n"          // store the electrical report? no
    "3\n";        // first menu: exit

// The header line shared by the electrical and the dimensional report (not the banner's).
constexpr std::string_view kReportHeader = "        Quendrix (v. 1.0)                    Date: 7/ 4/2013 at  9: 5: 3Hours\r\n";

std::size_t count(const std::string& text, std::string_view what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

struct Expect {
  std::string_view text;
  std::size_t times;
};

[[noreturn]] void fail(const std::string& name, const std::string& what, const std::string& out) {
  std::fprintf(stderr, "bench_conversation: %s: %s\n--- transcript ---\n%s\n--- end ---\n", name.c_str(),
               what.c_str(), out.c_str());
  std::exit(EXIT_FAILURE);
}

void checkRun(const std::string& name, const std::string& script, std::initializer_list<Expect> expects) {
  const auto r = quendrix::testing::runInProcess(script);
  if (r.status != 0) fail(name, "status " + std::to_string(r.status) + ", stderr: " + r.err, r.out);
  if (!r.err.empty()) fail(name, "unexpected standard error: " + r.err, r.out);
  for (const auto& e : expects) {
    const std::size_t got = count(r.out, e.text);
    if (got != e.times) {
      std::string why(1, '"');
      why.append(e.text).append("\" ").append(std::to_string(got)).append(" times, expected ");
      why.append(std::to_string(e.times));
      fail(name, why, r.out);
    }
  }
  // No report was stored: the folder still holds the defaults file alone.
  std::size_t files = 0;
  for (const auto& entry : fs::directory_iterator(fs::current_path())) {
    ++files;
    if (entry.path().filename() != "Quendrix.DEF") fail(name, "unexpected file " + entry.path().string(), r.out);
  }
  if (files != 1) fail(name, "the defaults file is missing", r.out);
}

void runScript(benchmark::State& state, const std::string& script) {
  std::size_t bytes = 0;
  for (auto _ : state) {
    auto r = quendrix::testing::runInProcess(script);
    bytes = r.out.size();
    benchmark::DoNotOptimize(r);
  }
  state.counters["output_bytes"] = static_cast<double>(bytes);
}

void BM_full(benchmark::State& state) {
  checkRun("electrical_microstrip_stripline", kFullScript,
           {
               {kReportHeader, 3},                         // electrical report and both dimensional reports
               {"# of Poles  = 40", 1},                    // electrical report, N = 40
               {"\r\n       39  ", 1},                     // its row 39 ...
               {"\r\n       40  ", 1},                     // ... and its last row
               {"Required Load Impedance =", 1},
               {"Construction = Microstrip", 1},           // first dimensional report
               {"Construction = Stripline ", 1},           // second dimensional report
               {"# of Sections= 40", 2},
               {"39,40", 2},                               // the last full row of each table
               {"\r\n      40 ", 2},                       // the last row of each table
               {"For a Zo = ", 2},
               {"CAUTION: T-Junction effects", 2},
               {"SYNTHESIS of the Distributed Electrical Circuit for your Filter completed.", 1},
               {"Dimensional SYNTHESIS of your Wideband Bandpass Filter completed.", 2},
               {"Output Data stored", 0},
           });
  runScript(state, kFullScript);
}

void BM_electrical(benchmark::State& state) {
  checkRun("electrical", kElectricalScript,
           {
               {kReportHeader, 1},
               {"# of Poles  = 40", 1},
               {"Required Load Impedance =", 1},
               {"SYNTHESIS of the Distributed Electrical Circuit for your Filter completed.", 1},
               {"Construction = ", 0},
               {"Output Data stored", 0},
           });
  runScript(state, kElectricalScript);
}

BENCHMARK(BM_full)->Name("conversation/electrical_microstrip_stripline/n:40")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_electrical)->Name("conversation/electrical/n:40")->Unit(benchmark::kMicrosecond);

// A temporary working folder holding a copy of the shipped defaults file, for the whole run.
class ScratchFolder {
 public:
  ScratchFolder() : old_(fs::current_path()) {
    std::string pattern = (fs::temp_directory_path() / "quendrix-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("bench_conversation: mkdtemp");
      std::exit(EXIT_FAILURE);
    }
    dir_ = pattern;
    fs::copy_file(fs::path(QUENDRIX_SOURCE_DIR) / "Quendrix.DEF", dir_ / "Quendrix.DEF");
    fs::current_path(dir_);
  }
  ~ScratchFolder() {
    std::error_code ec;
    fs::current_path(old_, ec);
    fs::remove_all(dir_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

 private:
  fs::path old_, dir_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // Static storage, so that the folder is removed also when a check ends the program.
  static std::optional<ScratchFolder> folder;
  folder.emplace();
  benchmark::RunSpecifiedBenchmarks();
  folder.reset();
  benchmark::Shutdown();
  return 0;
}
