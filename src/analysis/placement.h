// How quendrix-response puts its files where they were asked for, without replacing what it was
// not asked to replace.
//
// - A regular file, or a name that is not taken yet, is replaced whole: the file is written under
//   a temporary name beside it (NAME.partial-PID) and renamed over it only once every other output
//   and the table have succeeded. A file the user may not write (or, for root, one without any
//   write permission) is refused.
// - A symbolic link is followed: what it names is treated by these rules (a link to a missing
//   name creates that name).
// - A device or a FIFO is opened and written as it is, neither created, cut nor replaced.
// - Anything else (a folder, a socket) is refused.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace quendrix::analysis {

struct Output {
  std::string name;    // as asked for
  std::string bytes;   // the whole content
  std::string option;  // the option that asked for it, which the messages name
};

// How an output reaches its target.
enum class Way { REPLACE, DIRECT };
struct Destination {
  Way way = Way::REPLACE;
  std::string path;   // REPLACE: the file replaced, links followed; DIRECT: the name opened
  mode_t mode = 0;    // REPLACE of an existing file: its permissions, which the new file keeps
};

// Where output o goes. Throws OptionError naming o.option for a target that is refused.
Destination destinationOf(const Output& o);

// The outputs of one run between their checks and their placement. The constructor checks every
// target and writes every file that is replaced under its temporary name; it throws OptionError
// for the first output at fault, with no temporary left. The destructor removes the temporaries
// still there, so an error thrown in between (a failed table) leaves everything as it was.
class Placement {
 public:
  explicit Placement(std::vector<Output> outputs);
  ~Placement();
  Placement(const Placement&) = delete;
  Placement& operator=(const Placement&) = delete;

  // Writes the devices and FIFOs, then renames the temporaries into place. Throws OptionError
  // at the first failure, after removing every temporary left: a device or FIFO that fails
  // leaves every file unreplaced; a rename fails only when its target changed meanwhile (became
  // a folder, say), and the files renamed before it stay.
  void complete();

 private:
  struct Entry {
    Output output;
    Destination destination;
    std::string temporary;  // REPLACE: the temporary name while it exists
    int slot = -1;          // its place among the names the signal handler removes
  };
  std::vector<Entry> entries_;
  void removeTemporaries();
};

// On SIGINT, SIGTERM or SIGHUP the temporaries of the run are removed before the signal takes its
// usual course (a signal the caller had ignored stays ignored).
void removeTemporariesOnSignals();

}  // namespace quendrix::analysis
