// Fixed-format text layer: every byte the program reads or writes passes through here.
//
// Transfers are described by layout strings such as "(7X,'Fo = ',F9.3,' MHz')":
//   'text'  literal          nX   n blanks          /     end of line (CR LF)
//   Iw      integer field    Fw.d real field        Aw    text field
//   r(...)  the group r times over                  nH    the next n characters, literally
// Output records end with CR LF on the console and in files; input records end at LF, CR,
// CR LF or the end of the file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <source_location>
#include <string>
#include <string_view>
#include <variant>

namespace quendrix {

// Unit numbers of the program's connections.
inline constexpr int UNIT_STDERR = 0;
inline constexpr int UNIT_DIMENSIONAL = 1;  // file of the dimensional report
inline constexpr int UNIT_FILE2 = 2;        // the defaults file, later the electrical report
inline constexpr int UNIT_CONSOLE_IN = 5;   // standard input, "stdin"
inline constexpr int UNIT_CONSOLE_OUT = 6;  // standard output, "stdout"

// A value written into a data item: integer for Iw, real for Fw.d, text for Aw.
using OutValue = std::variant<std::int32_t, float, std::string_view>;
// A target filled by a read: integer, real, or a text whose length is the field length
// (the program's texts are 20 characters long).
using InTarget = std::variant<std::int32_t*, float*, std::string*>;

enum class ReadResult { OK, END, ERROR };
enum class OnFailure { STOP, REPORT };

// Advancing write: the layout with its values, then the line is ended.
void writeLayout(int unit, std::string_view layout, std::initializer_list<OutValue> values = {},
                 std::source_location where = std::source_location::current());
// Non-advancing write for prompts: the line is left open and the console output is pushed out.
void promptLayout(int unit, std::string_view layout, std::initializer_list<OutValue> values = {},
                  std::source_location where = std::source_location::current());
// Reads one record into the targets. With OnFailure::STOP (every read but the defaults file)
// a failure ends the run with the run-time error stop; with OnFailure::REPORT the end of the
// file gives END and a bad value ERROR, and nothing is written.
ReadResult readLayout(int unit, std::string_view layout, std::initializer_list<InTarget> targets,
                      OnFailure mode = OnFailure::STOP,
                      std::source_location where = std::source_location::current());

enum class OpenMode {
  READ_EXISTING,  // the file must exist
  REPLACE,        // create the file, or replace an existing one from its start
};
// Connects a unit to a named file in the working directory. A unit already connected to another
// file is closed first. A file that cannot be opened ends the run with the run-time error stop.
void openFile(int unit, std::string_view name, OpenMode mode,
              std::source_location where = std::source_location::current());
// Closes a file unit (nothing happens when it is not connected).
void closeUnit(int unit);
// The end mark: the file on the unit is cut at the current position and pushed out to disk.
void endFile(int unit, std::source_location where = std::source_location::current());
// Whether a file unit is connected, and the identity (device, inode) of its file.
bool unitConnected(int unit);
struct FileIdentity {
  std::uint64_t dev = 0;
  std::uint64_t ino = 0;
  bool valid = false;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};
FileIdentity unitIdentity(int unit);
FileIdentity fileIdentity(std::string_view name);  // invalid when the file does not exist

// Date and time values, elements 1..8 at index 0..7: year, month, day, UTC offset in minutes,
// hour, minute, second, milliseconds. All -2147483647 when the clock cannot be read.
struct DateTimeValues {
  std::int32_t values[8];
};
DateTimeValues dateAndTime();

// Nearest integer, halves away from zero; NaN or out of the 32-bit range gives -2147483648.
std::int32_t nearestInteger(float x);

// Pushes out all output and closes every file unit (the end of the run).
void finishRun();

// ---- Hooks for tests, fuzzers and benchmarks ----------------------------------------------
// Console streams (by default stdin, stdout and stderr).
void setConsole(std::FILE* in, std::FILE* out, std::FILE* err);
// What the run-time error stop does after writing its two lines (default: end the process with
// status 2). A hook must not return.
using StopHook = void (*)(int status);
void setStopHook(StopHook hook);
// Replaces the clock (nullptr restores the local clock).
using ClockHook = DateTimeValues (*)();
void setClockHook(ClockHook hook);
// Forgets every connection and open-line state (between in-process runs).
void resetUnits();

}  // namespace quendrix
