// Runs of build/quendrix-response in a fresh folder of their own, for the end-to-end tests: its
// standard output, standard error, exit status and the files it leaves.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace quendrix::analysis::testing {

namespace fs = std::filesystem;

inline std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Folder {
  fs::path dir;
  Folder() {
    static std::atomic<int> count{0};
    dir = fs::temp_directory_path() / ("quendrix-response-" + std::to_string(::getpid()) + "-" + std::to_string(count++));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  ~Folder() { fs::remove_all(dir); }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;
  void write(const std::string& name, const std::string& bytes) const { std::ofstream(dir / name, std::ios::binary) << bytes; }
  // The names in the folder but the run's own captures (a symbolic link by its own name).
  std::set<std::string> files() const {
    std::set<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
      const std::string n = e.path().lexically_relative(dir).string();
      if (n != ".stdout" && n != ".stderr") names.insert(n);
    }
    return names;
  }
};

struct Result {
  std::string out, err;
  int status = -1;
};

inline Result run(const Folder& f, const std::vector<std::string>& args) {
  std::string cmd = "cd '" + f.dir.string() + "' && '" + QUENDRIX_RESPONSE_BINARY + "'";
  for (const std::string& a : args) cmd += " '" + a + "'";
  cmd += " < /dev/null > .stdout 2> .stderr";
  const int raw = std::system(cmd.c_str());
  Result r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = readFile(f.dir / ".stdout");
  r.err = readFile(f.dir / ".stderr");
  return r;
}

// A run started in the background: standard input from /dev/null, standard output on `out`
// (closed when -1), standard error into .stderr, SIGINT and SIGTERM at their default action
// whatever the test inherited, and no other descriptor of the test. Gives its process id.
inline pid_t start(const Folder& f, const std::vector<std::string>& args, int out) {
  std::vector<std::string> words{QUENDRIX_RESPONSE_BINARY};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  const std::string dir = f.dir.string();
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  if (::chdir(dir.c_str()) != 0) ::_exit(127);
  const int in = ::open("/dev/null", O_RDONLY);
  const int err = ::open(".stderr", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (in < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(err, 2) < 0) ::_exit(127);
  if (out >= 0 ? ::dup2(out, 1) < 0 : ::close(1) != 0) ::_exit(127);
  for (int fd = 3; fd < 1024; ++fd) ::close(fd);
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  ::execv(argv[0], argv.data());
  ::_exit(127);
}

// The wait status of a run started by start().
inline int finish(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return status;
}

}  // namespace quendrix::analysis::testing
