// Connections of the text layer, shared by the layout interpreter and the unit table.
#pragma once

#include <cstdio>
#include <source_location>
#include <string>
#include <string_view>

#include "textio/textio.h"

namespace quendrix::detail {

struct Unit {
  std::FILE* fp = nullptr;
  std::string name;         // file name shown in diagnostics ("stdin" for the console input)
  bool console = false;     // units 5, 6, 0: never closed by the layer
  bool flushEachWrite = false;
  bool lineOpen = false;    // a prompt has left the current line open
  FileIdentity id;
};

// The unit, or nullptr when the number names no connection.
Unit* connectedUnit(int unit);

// The run-time error stop: a locus line and a message line on standard error, then the stop
// hook (by default the end of the process with status 2).
[[noreturn]] void runtimeStop(std::source_location where, int unit, std::string_view message);

// Writes the bytes of one transfer to a unit.
void emit(int unit, const std::string& bytes, bool leaveOpen, std::source_location where);
// Reads one record (without its line end). False when the file ends before its first character.
bool readRecord(int unit, std::string& record, std::source_location where);

}  // namespace quendrix::detail
