// End-to-end runs of the built program in a scratch directory holding the
// sample fit files, some of them replaced: standard output, standard error
// and exit status compared byte for byte, and every fit file unchanged.

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "support/child.hpp"

namespace {

namespace fs = std::filesystem;

const std::string sample_report = read_file(fs::path(SAMPLE_DIR) / "expected-report.txt");
const std::vector<std::string> sample_lines = lines_of(sample_report);

// Records first..last (numbered from 1) of the sample report.
std::string records(int first, int last) {
  std::string text;
  for (int i = first; i <= last; ++i) text += sample_lines[static_cast<size_t>(i - 1)];
  return text;
}

std::string failure(std::string_view cause, int unit, std::string_view name,
                    std::string_view lately) {
  return std::string(cause) + "\napparent state: unit " + std::to_string(unit) + " named " +
         std::string(name) + "\nlast format: list io\nlately " + std::string(lately) +
         " direct formatted external IO\n";
}

// A scratch copy of the sample fit files that a test may change; every
// file's bytes are remembered so the run can be shown to leave them as
// they were.
class FitDir {
 public:
  FitDir() {
    for (const auto& e : fs::directory_iterator(SAMPLE_DIR))
      if (e.path().extension() == ".dat") dir_.write(e.path().filename(), read_file(e.path()));
  }
  void put(const std::string& name, const std::string& bytes, int mode = 0644) {
    dir_.write(name, bytes, mode);
  }
  void remove(const std::string& name) { fs::remove(dir_.file(name)); }
  const ScratchDir& dir() const { return dir_; }

  ChildResult run(const ChildOptions& extra = {}) {
    std::map<std::string, std::string> before = snapshot();
    ChildOptions o = extra;
    o.dir = dir_.path();
    ChildResult r = run_program(XPCORR_BINARY, o);
    EXPECT_EQ(snapshot(), before) << "a fit file changed";
    return r;
  }

 private:
  std::map<std::string, std::string> snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(dir_.path())) {
      std::error_code ec;
      if (!fs::is_regular_file(e.symlink_status(ec))) continue;
      // A file we may not read is read with its mode widened for a moment.
      fs::perms mode = fs::status(e.path(), ec).permissions();
      bool unreadable = access(e.path().c_str(), R_OK) != 0;
      if (unreadable) fs::permissions(e.path(), fs::perms::owner_read, fs::perm_options::add, ec);
      files[e.path().filename()] = read_file(e.path());
      if (unreadable) fs::permissions(e.path(), mode, ec);
    }
    return files;
  }
  ScratchDir dir_;
};

TEST(run, sample_set_gives_the_expected_report) {
  FitDir d;
  ChildResult r = d.run();
  EXPECT_EQ(r.out, sample_report);
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(r.exited(0));
}

TEST(run, missing_monte_carlo_file_stops_after_the_header) {
  FitDir d;
  d.remove("mcfit5.dat");
  ChildResult r = d.run();
  EXPECT_EQ(r.out, records(1, 13));
  EXPECT_EQ(r.err, failure("open: No such file or directory", 95, "mcfit5.dat", "writing"));
  EXPECT_TRUE(r.aborted());
}

TEST(run, missing_data_file_stops_after_the_monte_carlo_reads) {
  FitDir d;
  d.remove("dafit2.dat");
  ChildResult r = d.run();
  EXPECT_EQ(r.out, records(1, 13));
  EXPECT_EQ(r.err, failure("open: No such file or directory", 92, "dafit2.dat", "reading"));
  EXPECT_TRUE(r.aborted());
}

// Each broken fit file ends the run with its cause line, the header on
// standard output and every file as it was.
TEST(run, malformed_fit_files_end_with_the_failure_report) {
  struct Case {
    const char* name;
    int unit;
    std::string content;
    const char* cause;
  };
  const Case cases[] = {
      {"mcfit0.dat", 90, "", "list in: end of file"},
      {"dafit8.dat", 98, "1 2 3\n4 5\n", "list in: end of file"},
      {"mcfit3.dat", 93,
       "\xEF\xBB\xBF"
       "1 2 3 4 5 6\n",
       "invalid number: incomprehensible list input"},
      {"mcfit3.dat", 93, std::string("1 2 \0 4 5 6\n", 12),
       "invalid number: incomprehensible list input"},
      {"mcfit3.dat", 93, "1 2 3 4 5e100000000 6\n", "exponent field: incomprehensible list input"},
      {"mcfit3.dat", 93, "1 2 3 4 0*5 6\n", "bad repetition count: incomprehensible list input"},
      {"mcfit3.dat", 93, "1\r\n2\r\n3 4 5 6\r\n", "invalid number: incomprehensible list input"},
  };
  for (const Case& c : cases) {
    FitDir d;
    d.put(c.name, c.content);
    ChildResult r = d.run();
    EXPECT_EQ(r.out, records(1, 13)) << c.content;
    EXPECT_EQ(r.err, failure(c.cause, c.unit, c.name, "reading")) << c.content;
    EXPECT_TRUE(r.aborted()) << c.content;
  }
}

TEST(run, directory_and_dangling_link_in_place_of_a_fit_file) {
  {
    FitDir d;
    d.remove("mcfit4.dat");
    fs::create_directory(d.dir().file("mcfit4.dat"));
    ChildResult r = d.run();
    EXPECT_EQ(r.err, failure("list in: Is a directory", 94, "mcfit4.dat", "reading"));
    EXPECT_TRUE(r.aborted());
  }
  {
    FitDir d;
    d.remove("dafit4.dat");
    fs::create_symlink("nowhere.dat", d.dir().file("dafit4.dat"));
    ChildResult r = d.run();
    EXPECT_EQ(r.err, failure("open: No such file or directory", 94, "dafit4.dat", "reading"));
    EXPECT_TRUE(r.aborted());
  }
}

// A file the run may write but not read fails at open and keeps its bytes.
TEST(run, write_only_fit_file_is_left_unchanged) {
  FitDir d;
  const std::string bytes = read_file(d.dir().file("mcfit2.dat"));
  d.put("mcfit2.dat", bytes, 0200);
  if (geteuid() == 0) {
    ASSERT_EQ(chown(d.dir().file("mcfit2.dat").c_str(), 65534, 65534), 0);
  }
  ChildResult r = d.run({.as_nobody = true});
  EXPECT_EQ(r.out, records(1, 13));
  EXPECT_EQ(r.err, failure("open: Permission denied", 92, "mcfit2.dat", "writing"));
  EXPECT_TRUE(r.aborted());
}

// Values spread over lines, in other forms, or followed by anything, read
// as the sample's own line.
TEST(run, equivalent_spellings_give_the_sample_report) {
  const std::pair<const char*, std::string> cases[] = {
      {"mcfit3.dat",
       "\n\n  97390.0\n\t1.86471,  0.008089\n\n30367.2,98811.81 377.39 junk\nmore junk\n"},
      {"mcfit3.dat",
       "97390.0 1.86471 0.008089 30367.2 9881181.000000000000000000000000000000000000000D-2 "
       "377.39"},
      {"mcfit3.dat", "9.7390e4,1.86471,0.008089,30367.2,98811.81,377.39\r\n"},
      {"mcfit3.dat", "97390.00000000000000000000000000000000000000000 1 1 1 98811.81 1\n"},
      {"mcfit3.dat",
       "97390 123456789012345678901234567890123456789012345 0 1e99999999 98811.81 -1d-99999999"},
  };
  for (const auto& [name, content] : cases) {
    FitDir d;
    d.put(name, content);
    ChildResult r = d.run();
    EXPECT_EQ(r.out, sample_report) << content;
    EXPECT_EQ(r.err, "") << content;
    EXPECT_TRUE(r.exited(0)) << content;
  }
}

// Blank lines beyond any window before the values: the file streams.
TEST(run, fit_file_of_200_megabytes_of_blank_lines) {
  FitDir d;
  std::string content(200u << 20, '\n');
  content += "   97390.0   1.86471  0.008089    30367.2   98811.81   377.39\n";
  d.put("mcfit3.dat", content);
  // The unoptimised sanitizer build reads it in half a minute.
  ChildResult r = d.run({.seconds = 4 * child_seconds});
  EXPECT_EQ(r.out, sample_report);
  EXPECT_TRUE(r.exited(0));
}

// A yield of 0 or below leaves its rate at 0 in every row that shows it.
TEST(run, zero_and_negative_yields_print_zero_rates) {
  FitDir d;
  d.put("mcfit5.dat", "   32618.0   1.86479  0.008869    17146.2   0.0   233.11\n");
  d.put("dafit5.dat", "1 2 3 4 -5 6\n");
  ChildResult r = d.run();
  std::vector<std::string> out = lines_of(r.out);
  ASSERT_EQ(out.size(), 74u);
  for (int rec : {20, 21, 25, 26, 35, 36, 42, 43, 52, 53, 56, 57})
    EXPECT_EQ(out[static_cast<size_t>(rec - 1)].substr(18, 9), "  0.00000") << "record " << rec;
  EXPECT_EQ(out[63], " 0.0000 0.0000 0.0000\n");
  EXPECT_EQ(out[70], " 0.000 0.000 0.000\n");
  EXPECT_TRUE(r.exited(0));
}

// Nulls and a slash leave the matched count and yield unread, at 0.
TEST(run, nulls_and_slash_leave_values_unread) {
  FitDir d;
  d.put("mcfit3.dat", ",1.86471 0.008089 30367.2,, 377.39\n");
  d.put("dafit3.dat", "137681.0 1.86 /\n");
  ChildResult r = d.run();
  std::vector<std::string> out = lines_of(r.out);
  ASSERT_EQ(out.size(), 74u);
  EXPECT_EQ(out[19].substr(0, 9), "  0.00000");  // mcr/ger, yield unread
  EXPECT_EQ(out[20].substr(0, 9), "  0.00000");  // dar/ger
  EXPECT_EQ(out[61], " 0.0000 0.0000 0.0000\n");
  EXPECT_TRUE(r.exited(0));
}

// A value that a null or a slash leaves unread is the value no input set,
// 0, in its own bin: never the value the file of the bin before held. So
// each file with nulls gives the very report of the file with 0 written
// in their place, where 0 has a report of its own (infinities for a
// matched count, zero rates for a yield).
TEST(run, values_left_unread_are_zero_in_their_own_bin) {
  const struct {
    const char* name;
    const char* unread;
    const char* zero;
  } cases[] = {
      {"mcfit3.dat", ",1.86471 0.008089 30367.2 98811.81 377.39\n",
       "0 1.86471 0.008089 30367.2 98811.81 377.39\n"},
      {"mcfit3.dat", "97390.0 1.86471 0.008089 30367.2,, 377.39\n",
       "97390.0 1.86471 0.008089 30367.2 0 377.39\n"},
      {"dafit3.dat", "137681.0 1.86 /\n", "137681.0 1.86 0 0 0 0\n"},
      {"dafit6.dat", "4*,,5\n", "0 0 0 0 0 5\n"},
      {"mcfit7.dat", "/", "0 0 0 0 0 0\n"},  // a file of one byte
  };
  for (const auto& c : cases) {
    FitDir unread, zero;
    unread.put(c.name, c.unread);
    zero.put(c.name, c.zero);
    const ChildResult a = unread.run(), b = zero.run();
    EXPECT_NE(a.out, sample_report) << c.unread;
    EXPECT_EQ(a.out, b.out) << c.unread;
    EXPECT_EQ(a.err + b.err, "") << c.unread;
    EXPECT_TRUE(a.exited(0) && b.exited(0)) << c.unread;
  }
}

TEST(run, zero_matched_count_prints_infinities) {
  FitDir d;
  d.put("mcfit3.dat", "0 1.86471 0.008089 30367.2 98811.81 377.39\n");
  ChildResult r = d.run();
  std::vector<std::string> out = lines_of(r.out);
  ASSERT_EQ(out.size(), 74u);
  for (int rec : {20, 21, 25, 26, 35, 36, 42, 43, 52, 53, 56, 57})
    EXPECT_EQ(out[static_cast<size_t>(rec - 1)].substr(0, 9), "      inf") << "record " << rec;
  for (int rec : {30, 31, 47, 48})
    EXPECT_EQ(out[static_cast<size_t>(rec - 1)], "      inf      inf\n");
  EXPECT_EQ(out[61], "    inf    inf    inf\n");
  EXPECT_EQ(out[68], "   inf   inf   inf\n");
  EXPECT_TRUE(r.exited(0));
}

// A data yield a hundred times the sample's makes bin 4 too wide for the
// cross-section field and for the final rate and fragmentation fields.
TEST(run, final_values_too_wide_print_asterisks) {
  FitDir d;
  d.put("dafit3.dat", "137681.0 1.86426 0.008493 55543.5 8213703 389.61\n");
  ChildResult r = d.run();
  std::vector<std::string> out = lines_of(r.out);
  ASSERT_EQ(out.size(), 74u);
  EXPECT_EQ(out[35].substr(0, 9), " ********");  // record 36: 547.157 in F8.5
  EXPECT_EQ(out[61].substr(0, 7), " ******");    // record 62: 27.06 in F6.4
  EXPECT_EQ(out[68].substr(0, 6), " *****");     // record 69: 541.1 in F5.3
  EXPECT_TRUE(r.exited(0));
}

TEST(run, failed_standard_output_is_not_success) {
  const std::pair<Stdout, const char*> cases[] = {{Stdout::full_disk, "No space left on device"},
                                                  {Stdout::closed, "Bad file descriptor"}};
  for (const auto& [mode, text] : cases) {
    FitDir d;
    ChildResult r = d.run({.stdout_mode = mode});
    EXPECT_EQ(r.err, std::string("write: ") + text +
                         "\napparent state: unit 6 (unnamed)\nlast format: (3(1X,F5.3))\n"
                         "lately writing sequential formatted external IO\n");
    EXPECT_TRUE(r.aborted());
  }
}

}  // namespace
