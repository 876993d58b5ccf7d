// quendrix-response: the frequency response of a designed filter.
#include "analysis/program.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "analysis/capture.h"
#include "analysis/options.h"
#include "analysis/outputs.h"
#include "analysis/placement.h"
#include "analysis/study.h"
#include "textio/textio.h"

namespace quendrix::analysis {

namespace {

const std::string DEF_NAME(DEFAULTS_FILE);

// The real entries of the defaults file: line, the label its loader names the entry by, value.
struct RealEntry {
  int line;
  const char* label;
  float Defaults::*value;
};
const RealEntry REAL_ENTRIES[] = {
    {2, "Fo.", &Defaults::f0def},
    {3, "Bandwidth.", &Defaults::bwdef},
    {5, "Ripple.", &Defaults::rippledef},
    {6, "Skirt Frequency.", &Defaults::f1def},
    {7, "Skirt Attenuation.", &Defaults::a1def},
    {9, "System Impedance: Zo", &Defaults::z0def},
    {11, "Microstrip`s H.", &Defaults::heightms},
    {12, "Microstrip`s Er.", &Defaults::erms},
    {13, "Microstrip`s T.", &Defaults::thickms},
    {14, "Stripline`s B.", &Defaults::heightsl},
    {15, "Stripline`s Er.", &Defaults::ersl},
    {16, "Stripline`s T.", &Defaults::thicksl},
};

// Why the defaults file cannot be opened for reading, as an errno value; 0 when it can.
int openError() {
  const int fd = ::open(DEF_NAME.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat st {};
  int err = 0;
  if (::fstat(fd, &st) != 0) {
    err = errno;
  } else if (S_ISDIR(st.st_mode)) {
    err = EISDIR;
  }
  ::close(fd);
  return err;
}

// The reason a run-time error stop of the text layer gives, from its captured message.
std::string stopReason(const std::string& errors) {
  const std::string mark = "run-time error: ";
  const std::size_t at = errors.find(mark);
  if (at == std::string::npos) return "read error";
  const std::size_t from = at + mark.size();
  return errors.substr(from, errors.find('\n', from) - from);
}

}  // namespace

Defaults responseDefaults() {
  struct stat st {};
  if (::lstat(DEF_NAME.c_str(), &st) != 0) {
    if (errno == ENOENT) return builtInDefaults();
    throw OptionError{DEF_NAME, std::string("cannot be read: ") + std::strerror(errno)};
  }
  // The name is there, if only as a symbolic link to nothing: it is a defaults file that must be read.
  if (const int err = openError(); err != 0) {
    const std::string dangling = S_ISLNK(st.st_mode) && err == ENOENT ? " (a symbolic link to a missing file)" : "";
    throw OptionError{DEF_NAME, std::string("cannot be read: ") + std::strerror(err) + dangling};
  }

  Defaults d;
  DefaultsFault fault;
  bool ok = false;
  std::string stopped;
  {
    ConsoleCapture quiet;  // the text layer's messages and stops stay off the console
    try {
      openFile(UNIT_FILE2, DEFAULTS_FILE, OpenMode::READ_EXISTING);
      ok = readDefaults(d, fault);
    } catch (const TextLayerStop&) {
      stopped = stopReason(quiet.errors());
    }
    closeUnit(UNIT_FILE2);
  }
  if (!stopped.empty()) throw OptionError{DEF_NAME, "cannot be read: " + stopped};

  // The loader's tests let an infinite value through (inf > 0), which then fails a later entry's
  // test or none: the first such value read is the entry at fault.
  for (const RealEntry& e : REAL_ENTRIES) {
    if ((ok || e.line < fault.line) && !std::isfinite(d.*e.value))
      throw OptionError{DEF_NAME, "line " + std::to_string(e.line) + " (" + e.label + ") is not valid"};
  }
  if (!ok) {
    const std::string label(trimTrailingBlanks(fault.var));
    throw OptionError{DEF_NAME, "line " + std::to_string(fault.line) + " (" + label + ") is " +
                                    (fault.ended ? "missing" : "not valid")};
  }
  return d;
}

int responseMain(const std::vector<std::string>& args) {
  if (helpRequested(args)) {
    const std::string help = helpText();
    return std::fwrite(help.data(), 1, help.size(), stdout) == help.size() && std::fflush(stdout) == 0 ? 0 : 2;
  }
  try {
    const Defaults d = responseDefaults();
    const Request r = parseRequest(args, d);
    const Study s = runStudy(r);

    std::vector<Output> files;
    if (!r.touchstone.empty()) {
      for (std::size_t m = 0; m < s.circuits.size(); ++m)
        files.push_back({touchstoneName(r.touchstone, s.circuits[m].method), touchstoneFile(s, m), "--touchstone"});
    }
    if (!r.svg.empty()) files.push_back({r.svg, svgPlot(s), "--svg"});
    const std::string table = responseTable(s);

    // The files wait under their temporary names until the table is out; a failure of either
    // leaves every earlier file as it was.
    Placement placement(std::move(files));
    errno = 0;
    if (std::fwrite(table.data(), 1, table.size(), stdout) != table.size() || std::fflush(stdout) != 0 ||
        std::ferror(stdout) != 0)
      throw OptionError{"standard output", std::strerror(errno != 0 ? errno : EIO)};
    placement.complete();
    return 0;
  } catch (const OptionError& e) {
    std::fprintf(stderr, "quendrix-response: %s: %s\n", e.option.c_str(), e.what.c_str());
    return 2;
  }
}

}  // namespace quendrix::analysis
