// The failure report and the lifecycle of units: each failure class as the
// whole report, the order of report and records, and the normal stop.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "recio/formatted_output.hpp"
#include "recio/list_input.hpp"
#include "recio/list_output.hpp"
#include "recio/units.hpp"
#include "support/child.hpp"

namespace {

constexpr recio::Format f9{"(9(1X,F8.5))", 9, 8, 5};
constexpr recio::Format f11{"(3(1X,F5.3))", 3, 5, 3};

// A run that writes one record, then opens `name` on unit 93 and reads six
// values from it.
ChildResult read_one(const ScratchDir& dir, const char* name, bool as_nobody = false) {
  return run_child(
      [name] {
        recio::start();
        recio::write_list(recio::output_unit, {std::string_view("header")});
        std::array<float, 6> v{};
        recio::open_old(93, name);
        recio::read_reals(93, v);
        recio::close(93);
        recio::stop();
      },
      {.dir = dir.path(), .as_nobody = as_nobody});
}

std::string report(std::string_view cause, std::string_view lately) {
  return std::string(cause) +
         "\napparent state: unit 93 named mcfit3.dat\nlast format: list io\nlately " +
         std::string(lately) + " direct formatted external IO\n";
}

TEST(failure, every_read_fault_gives_its_cause_line) {
  struct Case {
    const char* content;
    const char* cause;
  };
  constexpr Case cases[] = {
      {"", "list in: end of file"},
      {"1 2 3 4 5\n", "list in: end of file"},
      {"1 2 x 4 5 6\n", "invalid number: incomprehensible list input"},
      {"1 2 3e 4 5 6\n", "exponent field: incomprehensible list input"},
      {"1 2 3e100000000 4 5 6\n", "exponent field: incomprehensible list input"},
      {"*5 2 3 4 5 6\n", "bad repetition count: incomprehensible list input"},
      {"0*3 2 3 4 5 6\n", "bad repetition count: incomprehensible list input"},
      {"1\r\n2 3 4 5 6\n", "invalid number: incomprehensible list input"},
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    dir.write("mcfit3.dat", c.content);
    ChildResult r = read_one(dir, "mcfit3.dat");
    EXPECT_EQ(r.err, report(c.cause, "reading")) << c.content;
    EXPECT_EQ(r.out, " header\n") << c.content;
    EXPECT_TRUE(r.aborted()) << c.content;
  }
}

TEST(failure, read_error_carries_system_text) {
  ScratchDir dir;
  mkdir(dir.file("mcfit3.dat").c_str(), 0755);
  ChildResult r = read_one(dir, "mcfit3.dat");
  EXPECT_EQ(r.err, report("list in: Is a directory", "reading"));
  EXPECT_TRUE(r.aborted());
}

TEST(failure, missing_file_fails_at_open_after_a_write) {
  ScratchDir dir;
  ChildResult r = read_one(dir, "mcfit3.dat");
  EXPECT_EQ(r.err, report("open: No such file or directory", "writing"));
  EXPECT_EQ(r.out, " header\n");
  EXPECT_TRUE(r.aborted());
}

TEST(failure, write_only_file_is_left_untouched) {
  ScratchDir dir;
  const std::string bytes = "1 2 3 4 5 6\n";
  dir.write("mcfit3.dat", bytes, 0200);
  if (geteuid() == 0) {
    ASSERT_EQ(chown(dir.file("mcfit3.dat").c_str(), 65534, 65534), 0);
  }
  ChildResult r = read_one(dir, "mcfit3.dat", /*as_nobody=*/true);
  EXPECT_EQ(r.err, report("open: Permission denied", "writing"));
  EXPECT_TRUE(r.aborted());
  chmod(dir.file("mcfit3.dat").c_str(), 0644);
  EXPECT_EQ(dir.read("mcfit3.dat"), bytes);
}

TEST(failure, records_follow_the_report_in_one_file) {
  ScratchDir dir;
  dir.write("mcfit3.dat", "");
  ChildResult r = run_child(
      [&dir] {
        // Both streams on one file, as `prog > log 2>&1` sets them up.
        int fd = ::open(dir.file("log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, 1);
        dup2(fd, 2);
        recio::start();
        recio::write_list(recio::output_unit, {std::string_view("header")});
        std::array<float, 6> v{};
        recio::open_old(93, "mcfit3.dat");
        recio::read_reals(93, v);
      },
      {.dir = dir.path()});
  EXPECT_TRUE(r.aborted());
  EXPECT_EQ(dir.read("log"), report("list in: end of file", "reading") + " header\n");
}

// A unit holds a name of up to 255 bytes, which is tried; a longer one is
// refused before any open, the message naming the 255 bytes it holds.
TEST(failure, names_longer_than_a_unit_holds_are_too_long) {
  const struct {
    std::size_t length;
    const char* cause;
  } cases[] = {
      {255, "open: No such file or directory"},
      {256, "open: File name too long"},
      {300, "open: File name too long"},
  };
  for (const auto& c : cases) {
    ScratchDir dir;
    const std::string name(c.length, 'n');
    ChildResult r = read_one(dir, name.c_str());
    EXPECT_EQ(r.err, c.cause + std::string("\napparent state: unit 93 named ") +
                         name.substr(0, 255) +
                         "\nlast format: list io\nlately writing direct formatted external IO\n")
        << c.length;
    EXPECT_EQ(r.out, " header\n") << c.length;
    EXPECT_TRUE(r.aborted()) << c.length;
  }
}

TEST(failure, formatted_record_makes_state_sequential) {
  ScratchDir dir;
  ChildResult r = run_child(
      [] {
        recio::start();
        recio::write_formatted(recio::output_unit, f11, std::array{1.f});
        recio::open_old(93, "mcfit3.dat");
      },
      {.dir = dir.path()});
  EXPECT_EQ(r.err,
            "open: No such file or directory\napparent state: unit 93 named mcfit3.dat\n"
            "last format: (3(1X,F5.3))\nlately writing sequential formatted external IO\n");
  EXPECT_EQ(r.out, " 1.000\n");
}

// The unit numbers run from 0 to 99: the standard streams are connected
// from the start, a file opened on a unit has its descriptor and name
// until it is closed, and a number outside the table has neither.
TEST(units, numbers_from_0_to_99_name_their_descriptors) {
  recio::start();
  recio::open_old(99, "/dev/null");
  struct stat opened, null;
  ASSERT_EQ(fstat(recio::descriptor(99), &opened), 0);
  ASSERT_EQ(stat("/dev/null", &null), 0);
  EXPECT_TRUE(opened.st_rdev == null.st_rdev && opened.st_ino == null.st_ino);
  const struct {
    int unit, fd;
    std::string_view name;
  } cases[] = {
      {-1, -1, ""}, {0, 2, ""}, {5, 0, ""}, {6, 1, ""}, {93, -1, ""}, {100, -1, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(recio::descriptor(c.unit), c.fd) << "unit " << c.unit;
    EXPECT_EQ(recio::file_name(c.unit), c.name) << "unit " << c.unit;
  }
  EXPECT_EQ(recio::file_name(99), "/dev/null");
  recio::close(99);
  EXPECT_EQ(recio::descriptor(99), -1);
  EXPECT_EQ(recio::file_name(99), "");
}

TEST(stop, flushes_records_and_exits_zero) {
  ChildResult r = run_child([] {
    recio::start();
    recio::write_list(recio::output_unit, {std::string_view("a"), 1, 2.5f});
    recio::write_blank(recio::output_unit);
    recio::stop();
  });
  EXPECT_EQ(r.out, " a 1  2.5\n  \n");
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(r.exited(0));
}

TEST(stop, failed_standard_output_is_a_fault) {
  struct Case {
    Stdout mode;
    const char* cause;
  };
  constexpr Case cases[] = {{Stdout::full_disk, "write: No space left on device"},
                            {Stdout::closed, "write: Bad file descriptor"}};
  for (const Case& c : cases) {
    ChildResult r = run_child(
        [] {
          recio::start();
          recio::write_list(recio::output_unit, {std::string_view("a")});
          recio::stop();
        },
        {.stdout_mode = c.mode});
    EXPECT_EQ(r.err, std::string(c.cause) +
                         "\napparent state: unit 6 (unnamed)\nlast format: list io\n"
                         "lately writing direct formatted external IO\n");
    EXPECT_TRUE(r.aborted());
  }
}

// Records longer than the report stream's whole buffer: a list record of
// one character item of 10000 bytes, and a formatted record of 1000
// values, 112 lines. Each reaches standard output whole; on a full disk
// the first write refused ends the run with the failure message, which
// names the record's format.
TEST(failure, records_past_the_buffer_reach_the_system_or_fail) {
  const std::string text(10000, 'a');
  static const std::vector<float> values(1000, 0.5f);
  std::string rows;  // nine fields a line, each a blank and F8.5
  for (int i = 1; i <= 1000; ++i) rows += i % 9 == 0 || i == 1000 ? "  0.50000\n" : "  0.50000";
  const struct {
    void (*write)(std::string_view);
    std::string out;
    const char* state;
  } cases[] = {
      {[](std::string_view t) { recio::write_list(recio::output_unit, {t}); }, " " + text + "\n",
       "last format: list io\nlately writing direct"},
      {[](std::string_view) { recio::write_formatted(recio::output_unit, f9, values); }, rows,
       "last format: (9(1X,F8.5))\nlately writing sequential"},
  };
  for (const auto& c : cases) {
    const auto body = [&] {
      recio::start();
      c.write(text);
      recio::stop();
    };
    ChildResult r = run_child(body);
    EXPECT_TRUE(r.out == c.out) << c.state;
    EXPECT_EQ(r.err, "") << c.state;
    EXPECT_TRUE(r.exited(0)) << c.state;
    r = run_child(body, {.stdout_mode = Stdout::full_disk});
    EXPECT_EQ(r.err, std::string("write: No space left on device\napparent state: unit 6 "
                                 "(unnamed)\n") +
                         c.state + " formatted external IO\n");
    EXPECT_TRUE(r.aborted()) << c.state;
  }
}

TEST(list_input, fit_file_streams_through_a_fixed_window) {
  // More than one window of blank lines before the values, and a seventh
  // value that is never looked at.
  ScratchDir dir;
  std::string text(3 * recio::window_size + 7, '\n');
  text += "1 2 3 4 5 6 junk\nnot read\n";
  dir.write("mcfit3.dat", text);
  ChildResult r = run_child(
      [] {
        recio::start();
        std::array<float, 6> v{};
        recio::open_old(93, "mcfit3.dat");
        recio::read_reals(93, v);
        recio::close(93);
        if (v != std::array{1.f, 2.f, 3.f, 4.f, 5.f, 6.f}) _exit(3);
        recio::stop();
      },
      {.dir = dir.path()});
  EXPECT_TRUE(r.exited(0));
  EXPECT_EQ(r.err, "");
}

}  // namespace
