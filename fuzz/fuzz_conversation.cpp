// The whole conversation in-process: a defaults file and an answer script.
//
// Input: the defaults file, a 0x00 byte, then the answer script (console input). Without a 0x00
// the whole input is the script and the shipped Quendrix.DEF is used. A defaults part of exactly
// "-" means that there is no defaults file.
//
// The program creates report files named by the user, and the fuzzer runs as whatever user
// starts it (often root): every '/' of both parts becomes '_' before anything is written, so
// every name stays inside the private folder this harness works in. The folder is made at
// start-up (under $TMPDIR or /tmp) and emptied before every run; each run goes into it and
// back to the original working directory afterwards.
//
// Properties:
//  - the run ends (every loop of the conversation reads input), with status 0 or 2; status 0
//    writes nothing on standard error, status 2 exactly the locus line and the message line;
//  - every line end on standard output is CR LF;
//  - without a defaults file the run stops at once with "File 'Quendrix.DEF' does not exist";
//  - the defaults file is never changed, whatever names the script gives;
//  - every other file is a complete report: it starts by ending a line, has CR LF line ends
//    only, ends with "Output Data stored in User filename: " and the 20-column name under which
//    it was stored (its own name, trailing blanks removed), and each of its lines stands, in
//    the same order, as a whole line on standard output.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_common.h"
#include "in_process.h"

namespace {

using namespace quendrix_fuzz;

const unsigned char SHIPPED_DEFAULTS[] = {
#include "shipped_defaults.inc"
};
constexpr std::string_view DEFAULTS_NAME = "Quendrix.DEF";
constexpr std::string_view END_LINE = "              Output Data stored in User filename: ";

std::string folder;  // the private folder, absolute

[[noreturn]] void fatal(const std::string& what) {
  std::fprintf(stderr, "fuzz_conversation: %s: %s\n", what.c_str(), std::strerror(errno));
  std::exit(1);
}

// Removes every entry of the working directory (the private folder). unlink never follows a
// symbolic link; the program creates no folders, so every entry is a file.
void emptyFolder() {
  DIR* dir = opendir(".");
  if (dir == nullptr) fatal("cannot read the private folder");
  std::vector<std::string> names;
  while (const dirent* e = readdir(dir)) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  for (const std::string& name : names)
    if (unlinkat(dirfd(dir), name.c_str(), 0) != 0) fatal("cannot remove " + shown(name) + " from the private folder");
  closedir(dir);
}

void removeFolder() {
  if (folder.empty() || chdir(folder.c_str()) != 0) return;
  emptyFolder();
  if (chdir("/") == 0) rmdir(folder.c_str());
}

void writeNewFile(std::string_view name, std::string_view bytes) {
  const int fd = open(std::string(name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) fatal("cannot create " + std::string(name));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) fatal("cannot write " + std::string(name));
    done += static_cast<std::size_t>(n);
  }
  close(fd);
}

// The regular files of the working directory with their contents.
std::vector<std::pair<std::string, std::string>> filesInFolder() {
  std::vector<std::pair<std::string, std::string>> files;
  DIR* dir = opendir(".");
  if (dir == nullptr) fatal("cannot read the private folder");
  while (const dirent* e = readdir(dir)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    struct stat st {};
    if (fstatat(dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) fatal("cannot stat " + shown(name));
    FUZZ_CHECK(S_ISREG(st.st_mode), "the run left " + shown(name) + ", which is not a regular file");
    const int fd = openat(dirfd(dir), name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) fatal("cannot open " + shown(name));
    std::string content;
    char buf[8192];
    ssize_t n = 0;
    while ((n = read(fd, buf, sizeof buf)) > 0) content.append(buf, static_cast<std::size_t>(n));
    close(fd);
    files.emplace_back(name, std::move(content));
  }
  closedir(dir);
  return files;
}

bool onlyCrLf(std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i)
    if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) return false;
  return true;
}

bool endsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// ---- Where libFuzzer writes a crashing input: the run is inside the private folder when it
// happens, so a relative artifact path is made absolute (and the default, the working
// directory, spelled out). The program name and the corpus paths are left alone: libFuzzer reads
// and writes those between runs, in the original working directory.
std::vector<std::string> args;
std::vector<char*> argvStore;
int startDir = -1;  // the original working directory

std::string absolute(const std::string& cwd, const std::string& p) {
  if (p.empty()) return cwd + "/";
  return p[0] == '/' ? p : cwd + "/" + p;
}

void makeArtifactPathsAbsolute(int* argc, char*** argv, const std::string& cwd) {
  bool artifactPrefix = false;
  for (int i = 0; i < *argc; ++i) {
    std::string a = (*argv)[i];
    for (const std::string flag : {"-artifact_prefix=", "-exact_artifact_path="}) {
      if (i > 0 && a.rfind(flag, 0) == 0) {
        a = flag + absolute(cwd, a.substr(flag.size()));
        if (flag == "-artifact_prefix=") artifactPrefix = true;
      }
    }
    args.push_back(a);
  }
  if (!artifactPrefix) args.push_back("-artifact_prefix=" + cwd + "/");
  for (std::string& a : args) argvStore.push_back(a.data());
  argvStore.push_back(nullptr);
  // argv[0] keeps its own characters (libFuzzer checks it); only its storage moves.
  *argc = static_cast<int>(args.size());
  *argv = argvStore.data();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  char cwd[PATH_MAX];
  if (getcwd(cwd, sizeof cwd) == nullptr) fatal("cannot read the working directory");
  makeArtifactPathsAbsolute(argc, argv, cwd);
  startDir = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (startDir < 0) fatal("cannot open the working directory");
  const char* tmp = std::getenv("TMPDIR");
  std::string base = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
  std::string templ = base + "/quendrix-fuzz-XXXXXX";
  if (mkdtemp(templ.data()) == nullptr) fatal("cannot create a private folder under " + base);
  folder = templ;
  std::atexit(removeFolder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t nul = input.find('\0');
  std::string defaults, script;
  if (nul == std::string_view::npos) {
    defaults.assign(reinterpret_cast<const char*>(SHIPPED_DEFAULTS), sizeof SHIPPED_DEFAULTS);
    script = input;
  } else {
    defaults = input.substr(0, nul);
    script = input.substr(nul + 1);
  }
  const bool haveDefaults = defaults != "-";
  // No name the program opens can leave the folder.
  for (std::string* s : {&defaults, &script})
    for (char& c : *s)
      if (c == '/') c = '_';

  if (chdir(folder.c_str()) != 0) fatal("cannot enter " + folder);
  emptyFolder();
  if (haveDefaults) writeNewFile(DEFAULTS_NAME, defaults);
  const quendrix::testing::InProcessResult r = quendrix::testing::runInProcess(script);

  auto ctx = [&] {
    return "\n  defaults " + (haveDefaults ? shown(defaults) : std::string("(none)")) + "\n  script " + shown(script) +
           "\n  status " + std::to_string(r.status) + ", stderr " + shown(r.err);
  };
  FUZZ_CHECK(r.status == 0 || r.status == 2, "the run ended with an unknown status" + ctx());
  if (r.status == 0) {
    FUZZ_CHECK(r.err.empty(), "a normal end wrote on standard error" + ctx());
  } else {
    const std::size_t nl = r.err.find('\n');
    FUZZ_CHECK(r.err.rfind("At line ", 0) == 0 && nl != std::string::npos &&
                   r.err.compare(nl + 1, 25, "Quendrix run-time error: ") == 0 &&
                   r.err.find('\n', nl + 1) == r.err.size() - 1,
               "a run-time stop did not write exactly its two lines" + ctx());
  }
  FUZZ_CHECK(onlyCrLf(r.out), "standard output holds a line end that is not CR LF" + ctx());
  if (!haveDefaults) {
    FUZZ_CHECK(r.status == 2 && r.out.empty() &&
                   endsWith(r.err, "Quendrix run-time error: File 'Quendrix.DEF' does not exist\n"),
               "a missing defaults file did not stop the run at once" + ctx());
  }

  bool defaultsSeen = false;
  for (const auto& [name, content] : filesInFolder()) {
    if (name == DEFAULTS_NAME) {
      defaultsSeen = true;
      FUZZ_CHECK(haveDefaults, "a report was stored as " + std::string(DEFAULTS_NAME) + ctx());
      FUZZ_CHECK(content == defaults, "the defaults file was changed to " + shown(content) + ctx());
      continue;
    }
    const std::string what = "report file " + shown(name);
    FUZZ_CHECK(name.size() <= 20 && name.back() != ' ', what + " has a name no 20-column answer gives" + ctx());
    std::string endLine = std::string(END_LINE) + name;
    endLine.resize(END_LINE.size() + 20, ' ');
    FUZZ_CHECK(endsWith(content, "\r\n" + endLine + "\r\n"),
               what + " does not end with the line that names it:\n  " + shown(content) + ctx());
    FUZZ_CHECK(onlyCrLf(content), what + " holds a line end that is not CR LF" + ctx());
    FUZZ_CHECK(content.rfind("\r\n", 0) == 0, what + " does not start by ending a line" + ctx());
    // Its lines, in order, each a whole line of standard output.
    std::size_t pos = 0;
    std::size_t from = 2;
    while (from < content.size()) {
      const std::size_t end = content.find("\r\n", from);
      const std::string line = content.substr(from, end - from);
      const std::size_t at = r.out.find("\n" + line + "\r\n", pos);
      FUZZ_CHECK(at != std::string::npos,
                 what + ": its line " + shown(line) + " is not, in order, a line of standard output" + ctx());
      pos = at + line.size() + 2;  // the '\n' that ends this line may start the next match
      from = end + 2;
    }
  }
  FUZZ_CHECK(defaultsSeen == haveDefaults, "the defaults file disappeared" + ctx());
  if (fchdir(startDir) != 0) fatal("cannot return to the working directory");
  return 0;
}
