// quendrix-response: the frequency response of a designed filter.
#include "analysis/program.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "analysis/capture.h"
#include "analysis/options.h"
#include "analysis/outputs.h"
#include "analysis/study.h"
#include "textio/textio.h"

namespace quendrix::analysis {

namespace {

const std::string DEF_NAME(DEFAULTS_FILE);

struct OutputFile {
  std::string name, bytes, option;
  std::string temporary;
};

bool writeWhole(const std::string& path, const std::string& bytes) {
  std::FILE* fp = std::fopen(path.c_str(), "wb");
  if (fp == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), fp) == bytes.size();
  const bool flushed = std::fflush(fp) == 0;
  const bool closed = std::fclose(fp) == 0;
  return written && flushed && closed;
}

void removeTemporaries(const std::vector<OutputFile>& files) {
  for (const OutputFile& f : files) {
    if (!f.temporary.empty()) std::remove(f.temporary.c_str());
  }
}

// Every file under a temporary name first; then all renamed into place. A name that is a folder
// would fail only at its rename, after others had been renamed: it is refused first.
void writeFiles(std::vector<OutputFile>& files) {
  for (const OutputFile& f : files) {
    std::error_code ec;
    if (std::filesystem::is_directory(f.name, ec)) throw OptionError{f.option, "cannot write " + f.name + ": it is a folder"};
  }
  for (OutputFile& f : files) {
    f.temporary = f.name + ".partial-" + std::to_string(::getpid());
    if (!writeWhole(f.temporary, f.bytes)) {
      const int err = errno;
      removeTemporaries(files);
      throw OptionError{f.option, "cannot write " + f.name + ": " + std::strerror(err)};
    }
  }
  for (OutputFile& f : files) {
    if (std::rename(f.temporary.c_str(), f.name.c_str()) != 0) {
      const int err = errno;
      removeTemporaries(files);
      throw OptionError{f.option, "cannot write " + f.name + ": " + std::strerror(err)};
    }
    f.temporary.clear();
  }
}

}  // namespace

Defaults responseDefaults() {
  std::error_code ec;
  if (!std::filesystem::exists(DEF_NAME, ec)) return builtInDefaults();
  Defaults d;
  DefaultsFault fault;
  bool ok = false;
  try {
    ConsoleCapture quiet;  // the text layer's messages and stops stay off the console
    openFile(UNIT_FILE2, DEFAULTS_FILE, OpenMode::READ_EXISTING);
    ok = readDefaults(d, fault);
    closeUnit(UNIT_FILE2);
  } catch (const TextLayerStop&) {
    closeUnit(UNIT_FILE2);
    throw OptionError{DEF_NAME, "cannot be read"};
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

    std::vector<OutputFile> files;
    if (!r.touchstone.empty()) {
      for (std::size_t m = 0; m < s.circuits.size(); ++m)
        files.push_back({touchstoneName(r.touchstone, s.circuits[m].method), touchstoneFile(s, m), "--touchstone", {}});
    }
    if (!r.svg.empty()) files.push_back({r.svg, svgPlot(s), "--svg", {}});
    const std::string table = responseTable(s);
    writeFiles(files);

    if (std::fwrite(table.data(), 1, table.size(), stdout) != table.size() || std::fflush(stdout) != 0)
      throw OptionError{"standard output", std::strerror(errno)};
    return 0;
  } catch (const OptionError& e) {
    std::fprintf(stderr, "quendrix-response: %s: %s\n", e.option.c_str(), e.what.c_str());
    return 2;
  }
}

}  // namespace quendrix::analysis
