// The child harness itself: a hanging child and one that writes without end
// are stopped and fail the test; a test process killed outright, as ctest
// kills one past its time limit, leaves no scratch folder behind.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "support/child.hpp"

namespace {

namespace fs = std::filesystem;

bool killed(const ChildResult& r) { return WIFSIGNALED(r.status) && WTERMSIG(r.status) == SIGKILL; }

// Writes blocks of 64 KiB on `fd` for as long as the system takes them.
void write_without_end(int fd) {
  const std::string block(1 << 16, 'x');
  while (write(fd, block.data(), block.size()) > 0) {
  }
}

TEST(child, past_its_time_limit_is_killed_and_fails_the_test) {
  const std::string limit = "ran past its time limit of 1 s";
  const auto hang = [] {
    for (;;) pause();
  };
  ChildResult r;
  EXPECT_NONFATAL_FAILURE(r = run_child(hang, {.seconds = 1}), "the child process " + limit);
  EXPECT_EQ(r.broken, limit);
  EXPECT_TRUE(killed(r));
  // A program, and what it started in its process group, go alike.
  EXPECT_NONFATAL_FAILURE(
      r = run_program("/bin/sh", {.args = {"-c", "sleep 100 & wait"}, .seconds = 1}),
      "/bin/sh -c sleep 100 & wait " + limit);
  EXPECT_EQ(r.broken, limit);
  EXPECT_TRUE(killed(r));
}

// On either captured stream the child is killed past the cap, which holds
// the first capture_limit bytes; a file it writes ends at the cap, with
// SIGXFSZ.
TEST(child, writing_without_end_is_capped_and_fails_the_test) {
  const struct {
    int fd;
    Stdout mode;
    const char* broken;
  } cases[] = {
      {1, Stdout::capture, "wrote more than 16 MB on standard output"},
      {2, Stdout::capture, "wrote more than 16 MB on standard error"},
      {1, Stdout::file, "wrote a file past 16 MB"},
  };
  for (const auto& c : cases) {
    ScratchDir dir;
    const ChildOptions options{.dir = dir.path(), .stdout_mode = c.mode, .stdout_file = "out"};
    const auto write_on = [fd = c.fd] { write_without_end(fd); };
    ChildResult r;
    EXPECT_NONFATAL_FAILURE(r = run_child(write_on, options), c.broken);
    EXPECT_EQ(r.broken, c.broken);
    const std::size_t got = c.mode == Stdout::file ? fs::file_size(dir.file("out"))
                            : c.fd == 1            ? r.out.size()
                                                   : r.err.size();
    EXPECT_EQ(got, capture_limit) << c.broken;
    EXPECT_TRUE(WIFSIGNALED(r.status)) << c.broken;
  }
}

// The helper run by the next test: a scratch directory with a file in it,
// its path on standard output, then a wait for the end.
[[noreturn]] void hold_scratch() {
  ScratchDir dir;
  dir.write("file", std::string(1 << 20, 'x'));
  const std::string line = dir.path() + "\n";
  if (write(1, line.data(), line.size()) < 0) _exit(1);
  for (;;) pause();
}

TEST(scratch, folders_go_when_the_test_process_is_killed) {
  const fs::path self = fs::read_symlink("/proc/self/exe");
  ChildResult r;
  EXPECT_NONFATAL_FAILURE(r = run_program(self, {.args = {"--hold-scratch"}, .seconds = 1}),
                          "time limit");
  ASSERT_TRUE(killed(r));
  const fs::path dir = r.out.substr(0, r.out.find('\n'));
  const fs::path root = dir.parent_path();
  ASSERT_EQ(root.filename().string().substr(0, 12), "xpcorr-test-") << dir;
  // The watcher removes it a moment after the process has gone.
  for (int i = 0; i < 200 && fs::exists(root); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(fs::exists(root)) << root;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string_view(argv[1]) == "--hold-scratch") hold_scratch();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
