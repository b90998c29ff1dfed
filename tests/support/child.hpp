// Runs code or a program in a child process and captures its standard
// output, standard error and end, within a time limit and a cap on what it
// writes; and scratch folders that go even when the test process is killed.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// What a child may take before the harness stops it and fails the test:
// seconds, unless its options give other, and bytes on each captured
// stream and in any file it writes.
inline constexpr int child_seconds = 60;
inline constexpr std::size_t capture_limit = std::size_t{16} << 20;

struct ChildResult {
  std::string out;
  std::string err;
  int status = 0;      // as waitpid gives it
  std::string broken;  // the limit the child broke, as the failure names it; else empty

  bool exited(int code) const;
  bool aborted() const;  // ended by the abort signal (a shell shows 134)
};

// How the child's standard output is set up before it runs.
enum class Stdout { capture, full_disk, closed, file };

struct ChildOptions {
  std::string dir;         // working directory; empty: unchanged
  bool as_nobody = false;  // drop to uid/gid 65534 when run as root
  Stdout stdout_mode = Stdout::capture;
  std::vector<std::string> args{};  // the program's arguments after its name
  std::string stdout_file{};        // Stdout::file: written there, from `dir`
  bool stdin_closed = false;        // else standard input reads /dev/null
  int seconds = child_seconds;      // time limit
};

// Runs `body` in a forked child; the child ends when `body` returns. A
// child that runs past its time limit, or writes more than capture_limit
// on a stream or to a file, is killed with its process group and the
// current test fails, naming the limit.
ChildResult run_child(const std::function<void()>& body, const ChildOptions& options = {});

// Runs the program at `path` with the options' arguments; as nobody, a copy of it in
// a scratch directory, so the run does not depend on where the build lives.
ChildResult run_program(const std::string& path, const ChildOptions& options = {});

// The bytes of the file at `path` (empty when it cannot be read).
std::string read_file(const std::string& path);

// The lines of `text`, each with its line end.
std::vector<std::string> lines_of(const std::string& text);

// Scratch directory removed with its contents when the object goes. All
// of a test process's scratch directories are in one folder under /tmp,
// which a watcher outside the process removes when the process ends by
// any means, SIGKILL included (ctest kills a test past its time limit).
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  void write(const std::string& name, const std::string& bytes, int mode = 0644) const;
  std::string read(const std::string& name) const;

 private:
  std::string path_;
};
