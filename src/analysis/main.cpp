// quendrix-response: the frequency response of a Quendrix stub bandpass filter design, as a
// table, Touchstone files and a plot. See --help.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "analysis/placement.h"
#include "analysis/program.h"

int main(int argc, char** argv) {
  // A closed standard descriptor is given the null device before anything is opened, so that no
  // file of this program takes its number (the table would land in a Touchstone file). A closed
  // standard output is still a failed write of the table.
  const bool outputClosed = ::fcntl(STDOUT_FILENO, F_GETFD) == -1;
  for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
    if (::fcntl(fd, F_GETFD) == -1) ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
  }
  // A standard output that goes away is a failed write (status 2), not a signal.
  std::signal(SIGPIPE, SIG_IGN);
  quendrix::analysis::removeTemporariesOnSignals();
  if (outputClosed) {
    std::fprintf(stderr, "quendrix-response: standard output: %s\n", std::strerror(EBADF));
    return 2;
  }
  const std::vector<std::string> args(argv + 1, argv + argc);
  return quendrix::analysis::responseMain(args);
}
