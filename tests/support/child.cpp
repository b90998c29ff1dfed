// Child processes for the tests that must see a run end: output captured
// through temporary files, so neither stream can block the other.

#include "support/child.hpp"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace {

std::string slurp(int fd) {
  std::string text;
  lseek(fd, 0, SEEK_SET);
  char buf[4096];
  for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(n));
  close(fd);
  return text;
}

int temp_fd() {
  char name[] = "/tmp/xpcorr-child-XXXXXX";
  int fd = mkstemp(name);
  if (fd < 0) throw std::runtime_error("mkstemp failed");
  unlink(name);
  return fd;
}

// Everything the child does before its body runs; a failure here ends the
// child with status 126 so the test sees it as a broken set-up.
void prepare_child(const ChildOptions& o, int out_fd, int err_fd) {
  if (!o.dir.empty() && chdir(o.dir.c_str()) != 0) _exit(126);
  if (o.as_nobody && geteuid() == 0) {
    if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(126);
  }
  dup2(err_fd, 2);
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
  close(out_fd);
  close(err_fd);
}

ChildResult run(const std::function<void()>& body, const ChildOptions& options) {
  int out_fd = temp_fd(), err_fd = temp_fd();
  std::fflush(nullptr);
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    prepare_child(options, out_fd, err_fd);
    body();
    _exit(0);
  }
  ChildResult r;
  waitpid(pid, &r.status, 0);
  r.out = slurp(out_fd);
  r.err = slurp(err_fd);
  return r;
}

}  // namespace

bool ChildResult::exited(int code) const {
  return WIFEXITED(status) && WEXITSTATUS(status) == code;
}

bool ChildResult::aborted() const { return WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT; }

ChildResult run_child(const std::function<void()>& body, const ChildOptions& options) {
  return run(body, options);
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
  return run(
      [&program, &options] {
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : options.args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
      },
      options);
}

ScratchDir::ScratchDir() {
  char name[] = "/tmp/xpcorr-test-XXXXXX";
  if (!mkdtemp(name)) throw std::runtime_error("mkdtemp failed");
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
