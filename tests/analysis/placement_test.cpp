// End-to-end tests of where quendrix-response puts its files: only a regular file or a new name is
// replaced, a device or FIFO is written as it is, a link is followed, anything else is refused;
// and a failed table or a stop signal leaves every earlier file as it was and no temporary.
#include <poll.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>

#include <cstring>
#include <functional>

#include <gtest/gtest.h>

#include "program_runs.h"

namespace quendrix::analysis::testing {
namespace {

const std::vector<std::string> ARGS = {"--points", "3", "--svg", "out", "--touchstone", "bpf"};
const std::set<std::string> TOUCHSTONES = {"bpf-cristal.s2p", "bpf-matthaei.s2p"};

// The plot of ARGS as a run writes it to a new file.
std::string plainPlot() {
  Folder f;
  const Result r = run(f, ARGS);
  EXPECT_EQ(r.status, 0) << r.err;
  return readFile(f.dir / "out");
}

std::set<std::string> with(std::set<std::string> names, const std::set<std::string>& more) {
  names.insert(more.begin(), more.end());
  return names;
}

struct stat statusOf(const fs::path& p) {
  struct stat st {};
  EXPECT_EQ(::lstat(p.c_str(), &st), 0) << p;
  return st;
}

// Waits until fd can be read or the run pid has ended, whichever comes first: true for bytes.
bool firstBytesCome(int fd, pid_t pid) {
  const int ended = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
  EXPECT_GE(ended, 0) << std::strerror(errno);
  pollfd waits[] = {{fd, POLLIN, 0}, {ended, POLLIN, 0}};
  while (::poll(waits, 2, -1) < 0) {
  }
  ::close(ended);
  return (waits[0].revents & POLLIN) != 0;
}

// A character device, a copy of the null device's node, takes the plot as it is and stays a device.
TEST(Placement, DeviceIsWrittenAsItIs) {
  Folder f;
  const struct stat null = statusOf("/dev/null");
  if (::mknod((f.dir / "out").c_str(), S_IFCHR | 0666, null.st_rdev) != 0)
    GTEST_SKIP() << "no device nodes here: " << std::strerror(errno);
  const Result r = run(f, ARGS);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out, "");
  const struct stat after = statusOf(f.dir / "out");
  EXPECT_TRUE(S_ISCHR(after.st_mode));
  EXPECT_EQ(after.st_rdev, null.st_rdev);
  EXPECT_EQ(f.files(), with({"out"}, TOUCHSTONES));
}

// A FIFO is opened and written, whole, and stays a FIFO: the reader gets the very plot that a new
// file would hold. The reader is there from the start, and the plot (some kilobytes) fits in the
// FIFO, so the run needs no one to drain it.
TEST(Placement, FifoIsWrittenAsItIs) {
  Folder f;
  ASSERT_EQ(::mkfifo((f.dir / "out").c_str(), 0666), 0);
  const int fifo = ::open((f.dir / "out").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(fifo, 0);
  const Result r = run(f, ARGS);
  EXPECT_EQ(r.status, 0) << r.err;
  std::string got;
  char buf[4096];
  for (ssize_t n; (n = ::read(fifo, buf, sizeof buf)) > 0;) got.append(buf, static_cast<std::size_t>(n));
  ::close(fifo);
  EXPECT_EQ(got, plainPlot());
  EXPECT_TRUE(S_ISFIFO(statusOf(f.dir / "out").st_mode));
  EXPECT_EQ(f.files(), with({"out"}, TOUCHSTONES));
}

// A regular file is replaced by the new one, which keeps its permissions (a private file stays
// private).
TEST(Placement, ReplacedFileKeepsItsPermissions) {
  Folder f;
  f.write("out", "earlier");
  ASSERT_EQ(::chmod((f.dir / "out").c_str(), 0600), 0);
  const Result r = run(f, ARGS);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(readFile(f.dir / "out"), plainPlot());
  EXPECT_EQ(statusOf(f.dir / "out").st_mode & 0777, 0600u);
  EXPECT_EQ(f.files(), with({"out"}, TOUCHSTONES));
}

// A symbolic link is followed: the file it names is replaced, or created when it names nothing;
// the link itself stays.
TEST(Placement, LinkIsWrittenThrough) {
  const std::string plot = plainPlot();
  Folder f;
  fs::create_directory(f.dir / "sub");
  f.write("sub/target.svg", "earlier");
  fs::create_symlink("sub/target.svg", f.dir / "out");
  const Result r = run(f, ARGS);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_symlink(f.dir / "out"));
  EXPECT_EQ(fs::read_symlink(f.dir / "out"), "sub/target.svg");
  EXPECT_EQ(readFile(f.dir / "sub/target.svg"), plot);
  EXPECT_EQ(f.files(), with({"out", "sub", "sub/target.svg"}, TOUCHSTONES));

  Folder dangling;
  fs::create_symlink("new.svg", dangling.dir / "out");
  const Result d = run(dangling, ARGS);
  EXPECT_EQ(d.status, 0) << d.err;
  EXPECT_TRUE(fs::is_symlink(dangling.dir / "out"));
  EXPECT_EQ(readFile(dangling.dir / "new.svg"), plot);
  EXPECT_EQ(dangling.files(), with({"out", "new.svg"}, TOUCHSTONES));
}

// A read-only file (refused even for root, whom the system would let write it), a link to a
// folder and a socket: one line naming the output, status 2, nothing written or changed.
TEST(Placement, OtherTargetsAreRefusedAndLeftAlone) {
  const struct {
    const char* what;
    std::function<void(const Folder&)> make;
    std::set<std::string> names;
  } cases[] = {
      {"it is read-only",
       [](const Folder& f) {
         f.write("out", "earlier");
         fs::permissions(f.dir / "out", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
       },
       {"out"}},
      {"it is a folder",
       [](const Folder& f) {
         fs::create_directory(f.dir / "plots");
         fs::create_directory_symlink("plots", f.dir / "out");
       },
       {"out", "plots"}},
      {"it is a socket",
       [](const Folder& f) {
         const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
         sockaddr_un a{};
         a.sun_family = AF_UNIX;
         const std::string path = (f.dir / "out").string();
         ASSERT_LT(path.size(), sizeof a.sun_path);
         std::strcpy(a.sun_path, path.c_str());
         ASSERT_EQ(::bind(s, reinterpret_cast<const sockaddr*>(&a), sizeof a), 0) << std::strerror(errno);
         ::close(s);
       },
       {"out"}},
  };
  for (const auto& c : cases) {
    Folder f;
    c.make(f);
    const Result r = run(f, ARGS);
    EXPECT_EQ(r.status, 2) << c.what;
    EXPECT_EQ(r.err, std::string("quendrix-response: --svg: cannot write out: ") + c.what + "\n");
    EXPECT_EQ(r.out, "") << c.what;
    EXPECT_EQ(f.files(), c.names) << c.what;
  }
  Folder readOnly;
  cases[0].make(readOnly);
  run(readOnly, ARGS);
  EXPECT_EQ(readFile(readOnly.dir / "out"), "earlier");

  // Two outputs that would replace one file, under two spellings of its name.
  Folder twice;
  const Result t = run(twice, {"--points", "3", "--touchstone", "bpf", "--svg", "./bpf-cristal.s2p"});
  EXPECT_EQ(t.status, 2);
  EXPECT_EQ(t.err, "quendrix-response: --svg: cannot write ./bpf-cristal.s2p: the --touchstone output goes there too\n");
  EXPECT_TRUE(twice.files().empty());
}

// A table that cannot be written (standard output closed, a full device, a pipe nobody reads)
// is status 2 with the reason, and the files wait for it: the earlier plot is intact, no
// Touchstone file and no temporary is left.
TEST(Placement, FailedTableLeavesEveryFileAsItWas) {
  int broken[2];
  ASSERT_EQ(::pipe(broken), 0);
  ::close(broken[0]);
  const int full = ::open("/dev/full", O_WRONLY);
  const struct {
    int out;
    const char* reason;
  } cases[] = {{-1, "Bad file descriptor"}, {full, "No space left on device"}, {broken[1], "Broken pipe"}};
  for (const auto& c : cases) {
    if (c.out == full && full < 0) continue;  // no /dev/full here
    Folder f;
    f.write("out", "earlier");
    const int status = finish(start(f, ARGS, c.out));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << c.reason << " " << status;
    EXPECT_EQ(readFile(f.dir / ".stderr"), std::string("quendrix-response: standard output: ") + c.reason + "\n");
    EXPECT_EQ(readFile(f.dir / "out"), "earlier") << c.reason;
    EXPECT_EQ(f.files(), std::set<std::string>{"out"}) << c.reason;
  }
  ::close(broken[1]);
  if (full >= 0) ::close(full);
}

// A stop signal while the run waits, its files under their temporary names (on a FIFO output
// nobody drains, or on a table nobody reads), removes them: the run ends by the signal, the
// earlier plot intact, no temporary left.
TEST(Placement, StopSignalLeavesNoTemporaries) {
  // Outputs of some hundred kilobytes each, beyond what a pipe holds.
  const std::vector<std::string> args = {"--points", "4001", "--svg", "out", "--touchstone", "bpf"};
  for (const int sig : {SIGTERM, SIGINT}) {
    for (const bool onFifo : {true, false}) {
      SCOPED_TRACE(std::string(strsignal(sig)) + (onFifo ? ", on a FIFO output" : ", on the table"));
      Folder f;
      f.write("out", "earlier");
      int waiting = -1;
      pid_t pid = -1;
      if (onFifo) {
        ASSERT_EQ(::mkfifo((f.dir / "bpf-matthaei.s2p").c_str(), 0666), 0);
        waiting = ::open((f.dir / "bpf-matthaei.s2p").c_str(), O_RDONLY | O_NONBLOCK);
        const int null = ::open("/dev/null", O_WRONLY);
        pid = start(f, args, null);
        ::close(null);
      } else {
        int table[2];
        ASSERT_EQ(::pipe(table), 0);
        pid = start(f, args, table[1]);
        ::close(table[1]);
        waiting = table[0];
      }
      ASSERT_GE(waiting, 0);
      // Once the first bytes are there the run is writing, and it cannot finish.
      ASSERT_TRUE(firstBytesCome(waiting, pid)) << "the run ended without writing";
      char first = 0;
      ASSERT_EQ(::read(waiting, &first, 1), 1);
      const std::string tail = ".partial-" + std::to_string(pid);
      std::set<std::string> temporaries = {"bpf-cristal.s2p" + tail, "out" + tail};
      if (!onFifo) temporaries.insert("bpf-matthaei.s2p" + tail);
      for (const std::string& t : temporaries) EXPECT_TRUE(fs::exists(f.dir / t)) << t;

      ASSERT_EQ(::kill(pid, sig), 0);
      const int status = finish(pid);
      ::close(waiting);
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << status;
      EXPECT_EQ(readFile(f.dir / "out"), "earlier");
      const std::set<std::string> left = onFifo ? std::set<std::string>{"bpf-matthaei.s2p", "out"} : std::set<std::string>{"out"};
      EXPECT_EQ(f.files(), left);
    }
  }
}

}  // namespace
}  // namespace quendrix::analysis::testing
