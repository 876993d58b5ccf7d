// The unit table: console connections, named files, the run-time error stop and the clock.
#include "textio/units.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace quendrix {

namespace detail {
namespace {

struct Console {
  std::FILE* in = stdin;
  std::FILE* out = stdout;
  std::FILE* err = stderr;
};
Console console;

Unit units[3];      // units 5, 6 and 0
Unit fileUnits[3];  // units 0..2 used as file units: only 1 and 2 are files
bool consoleReady = false;

StopHook stopHook = nullptr;
ClockHook clockHook = nullptr;

// Output that goes to a terminal, a pipe or a socket is passed on at once; anything else (a
// file, a device) may be written in blocks: it is pushed out before every console read and at
// the end of the run.
bool passOnAtOnce(std::FILE* fp) {
  const int fd = fileno(fp);
  if (fd < 0) return false;  // a memory stream
  struct stat st {};
  if (fstat(fd, &st) != 0) return true;
  return isatty(fd) || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode);
}

void setUpConsole() {
  if (consoleReady) return;
  consoleReady = true;
  units[0] = Unit{console.in, "stdin", true, false, false, {}};
  units[1] = Unit{console.out, "stdout", true, passOnAtOnce(console.out), false, {}};
  units[2] = Unit{console.err, "stderr", true, true, false, {}};
}

std::string sourceFile(std::source_location where) {
  std::string_view path = where.file_name();
  const std::size_t slash = path.find_last_of('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

void closeFileUnit(Unit& u) {
  if (u.fp != nullptr) std::fclose(u.fp);
  u = Unit{};
}

FileIdentity identityOf(int fd) {
  struct stat st {};
  if (fstat(fd, &st) != 0) return {};
  return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino), true};
}

}  // namespace

Unit* connectedUnit(int unit) {
  setUpConsole();
  switch (unit) {
    case UNIT_CONSOLE_IN: return &units[0];
    case UNIT_CONSOLE_OUT: return &units[1];
    case UNIT_STDERR: return &units[2];
    case UNIT_DIMENSIONAL:
    case UNIT_FILE2: return fileUnits[unit].fp != nullptr ? &fileUnits[unit] : nullptr;
    default: return nullptr;
  }
}

void runtimeStop(std::source_location where, int unit, std::string_view message) {
  setUpConsole();
  // Output already written stays written.
  std::fflush(console.out);
  for (Unit& u : fileUnits)
    if (u.fp != nullptr) std::fflush(u.fp);
  const std::string file = sourceFile(where);
  const Unit* u = unit >= 0 ? connectedUnit(unit) : nullptr;
  if (unit < 0) {
    std::fprintf(console.err, "At line %u of file %s\n", static_cast<unsigned>(where.line()), file.c_str());
  } else if (u == nullptr || u->name.empty()) {
    std::fprintf(console.err, "At line %u of file %s (unit = %d)\n", static_cast<unsigned>(where.line()),
                 file.c_str(), unit);
  } else {
    std::fprintf(console.err, "At line %u of file %s (unit = %d, file = '%s')\n",
                 static_cast<unsigned>(where.line()), file.c_str(), unit, u->name.c_str());
  }
  std::fprintf(console.err, "Quendrix run-time error: %.*s\n", static_cast<int>(message.size()), message.data());
  std::fflush(console.err);
  if (stopHook != nullptr) stopHook(2);
  std::exit(2);
}

void emit(int unit, const std::string& bytes, bool leaveOpen, std::source_location where) {
  Unit* u = connectedUnit(unit);
  if (u == nullptr) runtimeStop(where, unit, "Unit is not connected for writing");
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), u->fp) != bytes.size())
    runtimeStop(where, unit, std::string("Cannot write: ") + std::strerror(errno));
  u->lineOpen = leaveOpen;
  if ((leaveOpen || u->flushEachWrite) && std::fflush(u->fp) != 0)
    runtimeStop(where, unit, std::string("Cannot write: ") + std::strerror(errno));
}

bool readRecord(int unit, std::string& record, std::source_location where) {
  Unit* u = connectedUnit(unit);
  if (u == nullptr) runtimeStop(where, unit, "Unit is not connected for reading");
  if (unit == UNIT_CONSOLE_IN) std::fflush(console.out);  // every prompt is out before the wait
  record.clear();
  std::FILE* fp = u->fp;
  int c = std::getc(fp);
  if (c == EOF) return false;
  while (c != EOF && c != '\n' && c != '\r') {
    record += static_cast<char>(c);
    c = std::getc(fp);
  }
  if (c == '\r') {
    const int next = std::getc(fp);
    if (next != '\n' && next != EOF) std::ungetc(next, fp);
  }
  std::clearerr(fp);  // a last line without a line end: the next read meets the end again
  return true;
}

}  // namespace detail

using detail::connectedUnit;
using detail::runtimeStop;

void openFile(int unit, std::string_view name, OpenMode mode, std::source_location where) {
  if (unit != UNIT_DIMENSIONAL && unit != UNIT_FILE2) runtimeStop(where, unit, "Unit cannot be opened");
  detail::Unit& u = detail::fileUnits[unit];
  const std::string path(name);
  // A unit already connected to another file is closed first.
  if (u.fp != nullptr) detail::closeFileUnit(u);
  if (path.find('\0') != std::string::npos || path.empty())
    runtimeStop(where, unit, "Cannot open file '" + path + "': Invalid argument");

  const int flags = mode == OpenMode::READ_EXISTING ? O_RDONLY : (O_WRONLY | O_CREAT | O_TRUNC);
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0) {
    const int err = errno;
    if (err == ENOENT && mode == OpenMode::READ_EXISTING) runtimeStop(where, unit, "File '" + path + "' does not exist");
    if (err == EACCES || err == EPERM)
      runtimeStop(where, unit, "Permission denied trying to open file '" + path + "'");
    if (err == EISDIR) runtimeStop(where, unit, "'" + path + "' is a directory");
    runtimeStop(where, unit, "Cannot open file '" + path + "': " + std::strerror(err));
  }
  struct stat st {};
  if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    runtimeStop(where, unit, "'" + path + "' is a directory");
  }
  std::FILE* fp = ::fdopen(fd, mode == OpenMode::READ_EXISTING ? "r" : "w");
  if (fp == nullptr) {
    ::close(fd);
    runtimeStop(where, unit, "Cannot open file '" + path + "': " + std::strerror(errno));
  }
  u = detail::Unit{fp, path, false, false, false, detail::identityOf(fd)};
}

void closeUnit(int unit) {
  if (unit == UNIT_DIMENSIONAL || unit == UNIT_FILE2) detail::closeFileUnit(detail::fileUnits[unit]);
}

void endFile(int unit, std::source_location where) {
  detail::Unit* u = connectedUnit(unit);
  if (u == nullptr || u->console) return;
  // The file is cut at the current position and what was written so far is handed to the
  // system, so a report whose end line is written is complete on disk whatever follows.
  if (std::fflush(u->fp) != 0) runtimeStop(where, unit, std::string("Cannot write: ") + std::strerror(errno));
  const long pos = std::ftell(u->fp);
  if (pos >= 0 && ::ftruncate(fileno(u->fp), pos) != 0)
    runtimeStop(where, unit, std::string("Cannot end file: ") + std::strerror(errno));
}

bool unitConnected(int unit) { return connectedUnit(unit) != nullptr; }

FileIdentity unitIdentity(int unit) {
  const detail::Unit* u = connectedUnit(unit);
  return u == nullptr ? FileIdentity{} : u->id;
}

FileIdentity fileIdentity(std::string_view name) {
  const std::string path(name);
  if (path.find('\0') != std::string::npos) return {};
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino), true};
}

DateTimeValues dateAndTime() {
  if (detail::clockHook != nullptr) return detail::clockHook();
  DateTimeValues dt{};
  timespec ts{};
  tm local{};
  if (clock_gettime(CLOCK_REALTIME, &ts) != 0 || localtime_r(&ts.tv_sec, &local) == nullptr) {
    for (std::int32_t& v : dt.values) v = -2147483647;
    return dt;
  }
  dt.values[0] = local.tm_year + 1900;
  dt.values[1] = local.tm_mon + 1;
  dt.values[2] = local.tm_mday;
  dt.values[3] = static_cast<std::int32_t>(local.tm_gmtoff / 60);
  dt.values[4] = local.tm_hour;
  dt.values[5] = local.tm_min;
  dt.values[6] = local.tm_sec;
  dt.values[7] = static_cast<std::int32_t>(ts.tv_nsec / 1000000);
  return dt;
}

std::int32_t nearestInteger(float x) {
  const double r = std::round(static_cast<double>(x));  // halves away from zero
  if (std::isnan(r) || r < -2147483648.0 || r > 2147483647.0) return INT_MIN;
  return static_cast<std::int32_t>(r);
}

void finishRun() {
  detail::setUpConsole();
  std::fflush(detail::console.out);
  for (detail::Unit& u : detail::fileUnits) detail::closeFileUnit(u);
}

void setConsole(std::FILE* in, std::FILE* out, std::FILE* err) {
  detail::console = detail::Console{in, out, err};
  detail::consoleReady = false;
}

void setStopHook(StopHook hook) { detail::stopHook = hook; }
void setClockHook(ClockHook hook) { detail::clockHook = hook; }

void resetUnits() {
  for (detail::Unit& u : detail::fileUnits) detail::closeFileUnit(u);
  detail::consoleReady = false;
}

}  // namespace quendrix
