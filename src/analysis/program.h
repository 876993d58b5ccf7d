// quendrix-response as a whole: defaults, options, study, files and table.
#pragma once

#include <string>
#include <vector>

#include "dialogue/records.h"

namespace quendrix::analysis {

// The defaults: Quendrix.DEF in the working folder when it is there, read and checked by the
// interactive program's loader; else the built-in values. A file that is there but cannot be
// read or holds a bad entry throws OptionError naming Quendrix.DEF and the entry.
Defaults responseDefaults();

// Runs the program on its arguments (without the program name) and gives the exit status: 0, or
// 2 after a one-line message on standard error. Every target is checked first (see placement.h);
// the files that replace others are written under temporary names beside their final ones; the
// table goes to standard output; the devices and FIFOs are written; and only then are the
// temporaries renamed into place. Any failure removes the temporaries and renames nothing.
int responseMain(const std::vector<std::string>& args);

}  // namespace quendrix::analysis
