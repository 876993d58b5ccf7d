// The placement of quendrix-response's files: checks of the targets, temporaries, direct writes
// and renames, and the removal of the temporaries on a signal.
#include "analysis/placement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "analysis/options.h"

namespace quendrix::analysis {

namespace {

// The temporaries that exist (or are about to), for the signal handler. A handler may read only
// lock-free atomics; each slot holds a name of its own allocation, or null.
constexpr int SLOTS = 16;
std::atomic<char*> registered[SLOTS];
static_assert(std::atomic<char*>::is_always_lock_free);

int registerTemporary(const std::string& path) {
  for (int i = 0; i < SLOTS; ++i) {
    if (registered[i].load() == nullptr) {
      registered[i].store(::strdup(path.c_str()));
      return i;
    }
  }
  throw std::logic_error("more temporaries than the signal handler holds");
}

void unregisterTemporary(int slot) {
  if (slot >= 0) std::free(registered[slot].exchange(nullptr));
}

extern "C" void removeTemporariesAndStop(int sig) {
  // unlink, signal and raise are async-signal-safe.
  for (std::atomic<char*>& r : registered) {
    if (const char* p = r.load(); p != nullptr) ::unlink(p);
  }
  ::signal(sig, SIG_DFL);
  ::raise(sig);  // delivered, with its default action, when this handler returns
}

const int STOP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};

[[noreturn]] void refuse(const Output& o, const std::string& why) {
  throw OptionError{o.option, "cannot write " + o.name + ": " + why};
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The name a chain of symbolic links from o.name ends at, when it ends at nothing.
std::string endOfLinks(const Output& o) {
  std::string p = o.name;
  for (int hop = 0; hop < 40; ++hop) {
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0) {
      if (errno == ENOENT) return p;
      refuse(o, std::strerror(errno));
    }
    if (!S_ISLNK(st.st_mode)) return p;
    std::string to(static_cast<std::size_t>(st.st_size) + 1, '\0');
    const ssize_t n = ::readlink(p.c_str(), to.data(), to.size());
    if (n < 0) refuse(o, std::strerror(errno));
    to.resize(static_cast<std::size_t>(n));
    p = !to.empty() && to.front() == '/' ? to : folderOf(p) + to;
  }
  refuse(o, std::strerror(ELOOP));
}

int writeAll(int fd, const std::string& bytes) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return 0;
}

// Writes the bytes to a file created by open with flags; 0, or the errno of the failure.
int writeFile(const std::string& path, int flags, const std::string& bytes, mode_t keep) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0) return errno;
  int err = keep != 0 && ::fchmod(fd, keep) != 0 ? errno : 0;
  if (err == 0) err = writeAll(fd, bytes);
  if (::close(fd) != 0 && err == 0) err = errno;
  return err;
}

}  // namespace

Destination destinationOf(const Output& o) {
  struct stat st {};
  if (::lstat(o.name.c_str(), &st) != 0) {
    // A missing folder on the way shows when the temporary is created.
    if (errno == ENOENT) return Destination{Way::REPLACE, o.name};
    refuse(o, std::strerror(errno));
  }
  std::string path = o.name;
  if (S_ISLNK(st.st_mode)) {
    if (::stat(o.name.c_str(), &st) != 0) {
      if (errno == ENOENT) return Destination{Way::REPLACE, endOfLinks(o)};
      refuse(o, std::strerror(errno));
    }
    if (S_ISREG(st.st_mode)) {
      char* real = ::realpath(o.name.c_str(), nullptr);
      if (real == nullptr) refuse(o, std::strerror(errno));
      path = real;
      std::free(real);
    }
  }
  if (S_ISREG(st.st_mode)) {
    // access() lets root write anything; a file without any write permission is still refused.
    if ((st.st_mode & 0222) == 0) refuse(o, "it is read-only");
    if (::access(path.c_str(), W_OK) != 0) refuse(o, std::strerror(errno));
    return Destination{Way::REPLACE, path, static_cast<mode_t>(st.st_mode & 0777)};
  }
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) || S_ISFIFO(st.st_mode)) {
    if (::access(o.name.c_str(), W_OK) != 0) refuse(o, std::strerror(errno));
    return Destination{Way::DIRECT, o.name};
  }
  if (S_ISDIR(st.st_mode)) refuse(o, "it is a folder");
  if (S_ISSOCK(st.st_mode)) refuse(o, "it is a socket");
  refuse(o, "it is neither a file, a device nor a FIFO");
}

Placement::Placement(std::vector<Output> outputs) {
  // Every target is checked before anything is written; two outputs replacing one file would
  // share its temporary.
  struct Place {
    dev_t dev;
    ino_t ino;
    std::string base, option;
  };
  std::vector<Place> places;
  for (Output& o : outputs) {
    const Destination d = destinationOf(o);
    struct stat folder {};
    const std::string dir = folderOf(d.path);
    if (d.way == Way::REPLACE && ::stat(dir.empty() ? "." : dir.c_str(), &folder) == 0) {
      const std::string base = d.path.substr(dir.size());
      for (const Place& p : places) {
        if (p.dev == folder.st_dev && p.ino == folder.st_ino && p.base == base)
          refuse(o, "the " + p.option + " output goes there too");
      }
      places.push_back(Place{folder.st_dev, folder.st_ino, base, o.option});
    }
    entries_.push_back(Entry{std::move(o), d, {}, -1});
  }
  for (Entry& e : entries_) {
    if (e.destination.way != Way::REPLACE) continue;
    const std::string temporary = e.destination.path + ".partial-" + std::to_string(::getpid());
    // Known to the signal handler before it exists.
    e.slot = registerTemporary(temporary);
    e.temporary = temporary;
    const int flags = O_WRONLY | O_CREAT | O_EXCL;
    int err = writeFile(temporary, flags, e.output.bytes, e.destination.mode);
    if (err == EEXIST) {
      // A leftover of an earlier run that had this process number.
      ::unlink(temporary.c_str());
      err = writeFile(temporary, flags, e.output.bytes, e.destination.mode);
    }
    if (err != 0) {
      if (err == EEXIST) e.temporary.clear();  // not ours
      removeTemporaries();
      refuse(e.output, std::strerror(err));
    }
  }
}

Placement::~Placement() { removeTemporaries(); }

void Placement::removeTemporaries() {
  for (Entry& e : entries_) {
    if (!e.temporary.empty()) ::unlink(e.temporary.c_str());
    e.temporary.clear();
    unregisterTemporary(e.slot);
    e.slot = -1;
  }
}

void Placement::complete() {
  for (Entry& e : entries_) {
    if (e.destination.way != Way::DIRECT) continue;
    const int err = writeFile(e.destination.path, O_WRONLY | O_NOCTTY, e.output.bytes, 0);
    if (err != 0) {
      removeTemporaries();
      refuse(e.output, std::strerror(err));
    }
  }
  // A stop signal waits while the files are renamed: all of them are placed, or none.
  sigset_t stops, before;
  sigemptyset(&stops);
  for (const int sig : STOP_SIGNALS) sigaddset(&stops, sig);
  sigprocmask(SIG_BLOCK, &stops, &before);
  for (Entry& e : entries_) {
    if (e.temporary.empty()) continue;
    if (std::rename(e.temporary.c_str(), e.destination.path.c_str()) != 0) {
      const int err = errno;
      removeTemporaries();
      sigprocmask(SIG_SETMASK, &before, nullptr);
      refuse(e.output, std::strerror(err));
    }
    e.temporary.clear();
    unregisterTemporary(e.slot);
    e.slot = -1;
  }
  sigprocmask(SIG_SETMASK, &before, nullptr);
}

void removeTemporariesOnSignals() {
  for (const int sig : STOP_SIGNALS) {
    struct sigaction old {};
    if (sigaction(sig, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
    struct sigaction sa {};
    sa.sa_handler = removeTemporariesAndStop;
    sigemptyset(&sa.sa_mask);
    for (const int other : STOP_SIGNALS) sigaddset(&sa.sa_mask, other);
    sigaction(sig, &sa, nullptr);
  }
}

}  // namespace quendrix::analysis
