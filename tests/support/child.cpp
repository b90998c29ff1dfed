// Child processes for the tests that must see a run end: both streams read
// through pipes as they come, within a time limit and a cap; and the one
// folder of a test process's scratch directories, with its watcher.

#include "support/child.hpp"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>

#include <gtest/gtest.h>

namespace {

// The write end of the watcher's pipe: open in this process alone (close
// on exec, and closed by every forked child), so the watcher reads the end
// of the pipe exactly when this process ends.
int watcher_fd = -1;

// The watcher: forked twice, so that it is no descendant of this process
// (ctest kills a test's whole process tree), in a session of its own (so
// a Ctrl-C at the terminal spares it), holding nothing but the read end.
// When every write end is gone it becomes `rm -rf ROOT`. Only calls that
// are safe after a fork in a threaded process run before the exec.
[[noreturn]] void watch(int read_fd, const char* root) {
  setsid();
  dup2(read_fd, 0);
  const int null = open("/dev/null", O_WRONLY);
  dup2(null, 1);
  dup2(null, 2);
  close_range(3, ~0u, 0);
  char c;
  while (read(0, &c, 1) > 0) {
  }
  execl("/bin/rm", "rm", "-rf", "--", root, static_cast<char*>(nullptr));
  _exit(127);
}

// "/tmp/xpcorr-test-XXXXXX", searchable by an unprivileged child, with
// its watcher started.
std::string make_root() {
  char name[] = "/tmp/xpcorr-test-XXXXXX";
  int fds[2];
  if (!mkdtemp(name) || pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("no scratch root");
  chmod(name, 0755);
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    if (fork() == 0) watch(fds[0], name);
    _exit(0);
  }
  waitpid(pid, nullptr, 0);
  close(fds[0]);
  watcher_fd = fds[1];
  return name;
}

const std::string& scratch_root() {
  static const std::string root = make_root();
  return root;
}

// A pipe whose ends a forked child does not keep past exec.
struct Pipe {
  int read = -1, write = -1;
  Pipe() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    read = fds[0];
    write = fds[1];
  }
};

void set_stdout(const ChildOptions& o, int out_fd) {
  switch (o.stdout_mode) {
    case Stdout::capture: dup2(out_fd, 1); break;
    case Stdout::full_disk: {
      int full = open("/dev/full", O_WRONLY);
      if (full < 0) _exit(126);
      dup2(full, 1);
      close(full);
      break;
    }
    case Stdout::closed: close(1); break;
    case Stdout::file: {
      int file = open(o.stdout_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (file < 0) _exit(126);
      dup2(file, 1);
      close(file);
      break;
    }
  }
}

void set_stdin(const ChildOptions& o) {
  close(0);
  if (!o.stdin_closed && open("/dev/null", O_RDONLY) != 0) _exit(126);
}

// Everything the child does before its body runs; a failure here ends the
// child with status 126 so the test sees it as a broken set-up. It dies
// with the test process (the death signal is set after the change of
// user, which clears it), writes no file past the cap and no core.
void prepare_child(const ChildOptions& o, const Pipe& out, const Pipe& err, pid_t parent) {
  close(watcher_fd);
  setpgid(0, 0);
  if (!o.dir.empty() && chdir(o.dir.c_str()) != 0) _exit(126);
  if (o.as_nobody && geteuid() == 0) {
    if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(126);
  }
  if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) _exit(126);
  const rlimit file_cap{capture_limit, capture_limit}, no_core{0, 0};
  setrlimit(RLIMIT_FSIZE, &file_cap);
  setrlimit(RLIMIT_CORE, &no_core);
  dup2(err.write, 2);
  set_stdout(o, out.write);
  set_stdin(o);
}

using Clock = std::chrono::steady_clock;

// Reads both streams into `r` until both end, and waits for the child,
// until the deadline. Returns the limit broken, or an empty text.
std::string collect(pid_t pid, int out_fd, int err_fd, int seconds, ChildResult& r) {
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(seconds);
  pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
  std::string* const into[2] = {&r.out, &r.err};
  const char* const names[2] = {"standard output", "standard error"};
  for (int open = 2;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return "ran past its time limit of " + std::to_string(seconds) + " s";
    if (open == 0) {
      if (waitpid(pid, &r.status, WNOHANG) == pid) return {};
      poll(nullptr, 0, static_cast<int>(std::min<long>(left, 5)));
      continue;
    }
    if (poll(fds, 2, static_cast<int>(left)) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].revents == 0) continue;
      char buf[65536];
      const ssize_t n = read(fds[i].fd, buf, sizeof buf);
      if (n <= 0) {
        fds[i].fd = -1;  // poll passes over it
        --open;
        continue;
      }
      const std::size_t room = capture_limit - into[i]->size();
      into[i]->append(buf, std::min(room, static_cast<std::size_t>(n)));
      if (static_cast<std::size_t>(n) > room)
        return std::string("wrote more than ") + std::to_string(capture_limit >> 20) + " MB on " +
               names[i];
    }
  }
}

// The child is stopped with its process group, and the test fails with
// what it broke: a limit of the harness, or the cap on files (SIGXFSZ).
ChildResult run(const std::function<void()>& body, const ChildOptions& options,
                const std::string& what) {
  scratch_root();
  Pipe out, err;
  const pid_t parent = getpid();
  std::fflush(nullptr);
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    prepare_child(options, out, err, parent);
    body();
    _exit(0);
  }
  setpgid(pid, pid);  // as the child does: whichever runs first
  close(out.write);
  close(err.write);
  ChildResult r;
  r.broken = collect(pid, out.read, err.read, options.seconds, r);
  close(out.read);
  close(err.read);
  if (!r.broken.empty()) {
    kill(-pid, SIGKILL);
    kill(pid, SIGKILL);
    waitpid(pid, &r.status, 0);
  } else if (WIFSIGNALED(r.status) && WTERMSIG(r.status) == SIGXFSZ) {
    r.broken = "wrote a file past " + std::to_string(capture_limit >> 20) + " MB";
  }
  if (!r.broken.empty()) ADD_FAILURE() << what << " " << r.broken << ", and was stopped";
  return r;
}

}  // namespace

bool ChildResult::exited(int code) const {
  return WIFEXITED(status) && WEXITSTATUS(status) == code;
}

bool ChildResult::aborted() const { return WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT; }

ChildResult run_child(const std::function<void()>& body, const ChildOptions& options) {
  return run(body, options, "the child process");
}

// The unprivileged user may not reach the build folder (a clone under
// /root is mode 700), so a run as nobody executes a copy of the program in
// a scratch directory under /tmp that everyone may enter.
ChildResult run_program(const std::string& path, const ChildOptions& options) {
  std::optional<ScratchDir> copy;
  std::string program = path;
  if (options.as_nobody && geteuid() == 0) {
    copy.emplace();
    program = copy->file(std::filesystem::path(path).filename());
    std::filesystem::copy_file(path, program);
    chmod(program.c_str(), 0755);
  }
  std::string what = path;
  for (const std::string& a : options.args) what += " " + a;
  return run(
      [&program, &options] {
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : options.args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
      },
      options, what);
}

ScratchDir::ScratchDir() {
  std::string name = scratch_root() + "/XXXXXX";
  if (!mkdtemp(name.data())) throw std::runtime_error("mkdtemp failed");
  path_ = name;
  chmod(path_.c_str(), 0755);  // searchable by an unprivileged child
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void ScratchDir::write(const std::string& name, const std::string& bytes, int mode) const {
  std::string p = file(name);
  unlink(p.c_str());
  int fd = open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
    throw std::runtime_error("cannot write " + p);
  close(fd);
  chmod(p.c_str(), static_cast<mode_t>(mode));
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line + "\n");
  return lines;
}

std::string ScratchDir::read(const std::string& name) const { return read_file(file(name)); }
