// Runs of the built program with options, from a start directory whose
// fits/ holds the sample fit files: help, version and usage errors, the -C
// directory, --check's findings, and the --table file: its values against
// the report and an independent computation, every case where it must not
// be written, and the digests of the fit files it names.

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "recio/formatted_output.hpp"
#include "recio/list_input.hpp"
#include "support/child.hpp"
#include "tables/yaml_nodes.hpp"

namespace {

namespace fs = std::filesystem;

const std::string sample_report = read_file(fs::path(SAMPLE_DIR) / "expected-report.txt");
constexpr const char* hint = "Try 'xpcorr --help' for more information.\n";

// What a run leaves on standard output: nothing, the header records 1 to
// 13 before an input failure, or the whole sample report.
enum class Out { none, header, sample };

std::string expected(Out out) {
  switch (out) {
    case Out::none: return "";
    case Out::header: {
      std::string text;
      std::vector<std::string> lines = lines_of(sample_report);
      for (int i = 0; i < 13; ++i) text += lines[static_cast<size_t>(i)];
      return text;
    }
    case Out::sample: return sample_report;
  }
  return "?";
}

// A start directory: runs start here; fits/ holds the sample fit files,
// whose bytes every run must leave as they were.
class StartDir {
 public:
  StartDir() {
    fs::create_directory(dir_.file("fits"));
    for (const auto& e : fs::directory_iterator(SAMPLE_DIR))
      if (e.path().extension() == ".dat")
        dir_.write("fits/" + e.path().filename().string(), read_file(e.path()));
  }
  std::string file(const std::string& name) const { return dir_.file(name); }
  const std::string& path() const { return dir_.path(); }
  void write(const std::string& name, const std::string& bytes, int mode = 0644) const {
    dir_.write(name, bytes, mode);
  }

  // Runs xpcorr here with `args` and the rest of `options`.
  ChildResult run(const std::vector<std::string>& args, ChildOptions options = {}) const {
    std::map<std::string, std::string> before = fit_files();
    options.dir = dir_.path(), options.args = args;
    ChildResult r = run_program(XPCORR_BINARY, options);
    EXPECT_EQ(fit_files(), before) << "a fit file changed";
    return r;
  }

  // Every name in the start directory and in fits/, to show that a run
  // leaves no temporary file behind.
  std::set<std::string> names() const {
    std::set<std::string> all;
    for (const auto& e : fs::recursive_directory_iterator(dir_.path()))
      all.insert(fs::relative(e.path(), dir_.path()).string());
    return all;
  }

 private:
  std::map<std::string, std::string> fit_files() const {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(dir_.file("fits")))
      files[e.path().filename()] = read_file(e.path());
    return files;
  }
  ScratchDir dir_;
};

std::string args_text(const std::vector<std::string>& args) {
  std::string text;
  for (const std::string& a : args) text += " " + a;
  return text;
}

struct OptionCase {
  std::vector<std::string> args;
  std::string out;  // exact, or the start of the help text
  std::string err;
  int status;
};

// Help and version print and read no file, even with -C; every usage
// error names its argument, points to --help and opens no file (a fit
// file opened from the start directory would fail with the failure report,
// from fits/ would print the report).
TEST(command_line, help_version_and_usage_errors) {
  const std::string usage = "Usage: xpcorr [OPTION]...\n";
  const std::string version = "xpcorr " XPCORR_VERSION "\n";
  auto error = [](std::string line) { return line + "\n" + hint; };
  const OptionCase cases[] = {
      {{"--help"}, usage, "", 0},
      {{"-C", "fits", "-h"}, usage, "", 0},
      {{"--version"}, version, "", 0},
      {{"-V", "--table", "t.yaml"}, version, "", 0},
      {{"-x"}, "", error("xpcorr: unknown option '-x'"), 2},
      {{"-C", "fits", "--frobnicate=1"}, "", error("xpcorr: unknown option '--frobnicate'"), 2},
      {{"--help=yes"}, "", error("xpcorr: option '--help' takes no argument"), 2},
      {{"--check=yes"}, "", error("xpcorr: option '--check' takes no argument"), 2},
      {{"-C", "fits", "--check", "--table", "t.yaml"},
       "",
       error("xpcorr: option '--check' cannot be used with '--table'"),
       2},
      {{"-C"}, "", error("xpcorr: option '-C' needs an argument"), 2},
      {{"--directory"}, "", error("xpcorr: option '--directory' needs an argument"), 2},
      {{"--dir="}, "", error("xpcorr: option '--dir' needs an argument"), 2},
      {{"-C", ""}, "", error("xpcorr: option '-C' needs an argument"), 2},
      {{"--directory", ""}, "", error("xpcorr: option '--directory' needs an argument"), 2},
      {{"--table", "", "-C", "fits"}, "", error("xpcorr: option '--table' needs an argument"), 2},
      {{"--table"}, "", error("xpcorr: option '--table' needs an argument"), 2},
      {{"fits"}, "", error("xpcorr: unexpected argument 'fits'"), 2},
      {{"-C", "fits", "--table", "t.yaml", "extra"},
       "",
       error("xpcorr: unexpected argument 'extra'"),
       2},
  };
  for (const OptionCase& c : cases) {
    StartDir s;
    const std::set<std::string> before = s.names();
    ChildResult r = s.run(c.args);
    if (c.out == usage) {
      EXPECT_EQ(r.out.substr(0, usage.size()), usage) << args_text(c.args);
      for (std::string_view option :
           {"-C, --directory=DIR", "--check", "--table=FILE", "-h, --help", "-V, --version"})
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
    } else {
      EXPECT_EQ(r.out, c.out) << args_text(c.args);
    }
    EXPECT_EQ(r.err, c.err) << args_text(c.args);
    EXPECT_TRUE(r.exited(c.status)) << args_text(c.args);
    EXPECT_EQ(s.names(), before) << args_text(c.args);
  }
}

// A run with options and how it must end.
struct RunCase {
  std::vector<std::string> args;
  const char* missing;  // fit file removed first, or null
  Out out;
  std::string_view err;
  int status;  // -1: the abort signal
};

// -C runs exactly as a run in DIR: the same report, and the failure report
// naming the file as opened there; a DIR that cannot be entered stops the
// run before anything is printed.
TEST(command_line, directory_option_reads_the_fit_files_there) {
  const RunCase cases[] = {
      {{"-C", "fits"}, nullptr, Out::sample, "", 0},
      {{"--directory=fits"}, nullptr, Out::sample, "", 0},
      {{"-C", "missing"}, nullptr, Out::none, "xpcorr: missing: No such file or directory\n", 2},
      {{"-C", "fits/mcfit0.dat"},
       nullptr,
       Out::none,
       "xpcorr: fits/mcfit0.dat: Not a directory\n",
       2},
      {{"-C", "fits"},
       "fits/mcfit5.dat",
       Out::header,
       "open: No such file or directory\napparent state: unit 95 named mcfit5.dat\n"
       "last format: list io\nlately writing direct formatted external IO\n",
       -1},
  };
  for (const auto& c : cases) {
    StartDir s;
    if (c.missing) fs::remove(s.file(c.missing));
    ChildResult r = s.run(c.args);
    EXPECT_EQ(r.out, expected(c.out)) << args_text(c.args);
    EXPECT_EQ(r.err, c.err) << args_text(c.args);
    EXPECT_TRUE(c.status < 0 ? r.aborted() : r.exited(c.status)) << args_text(c.args);
  }
}

// How a --check case puts its fit file in place.
enum class Put { bytes, none, directory, unreadable };

struct CheckCase {
  const char* name;
  Put put;
  std::string bytes;
  std::string findings;  // the lines before the summary
};

void put(const StartDir& s, const CheckCase& c) {
  const std::string name = "fits/" + std::string(c.name), path = s.file(name);
  switch (c.put) {
    case Put::bytes: s.write(name, c.bytes); break;
    case Put::none: fs::remove(path); break;
    case Put::directory:
      fs::remove(path);
      fs::create_directory(path);
      break;
    case Put::unreadable:
      s.write(name, "1 2 3 4 5 6\n", 0200);
      if (geteuid() == 0) {
        EXPECT_EQ(chown(path.c_str(), 65534, 65534), 0);
      }
      break;
  }
}

// "18 fit files in DIR: N errors, M warnings" for the lines of `findings`,
// counted apart from the program.
std::string summary(const std::string& findings, const std::string& dir) {
  int errors = 0, warnings = 0;
  for (const std::string& line : lines_of(findings)) {
    errors += line.find(": error: ") != std::string::npos;
    warnings += line.find(": warning: ") != std::string::npos;
  }
  return "18 fit files in " + dir + ": " + std::to_string(errors) +
         (errors == 1 ? " error, " : " errors, ") + std::to_string(warnings) +
         (warnings == 1 ? " warning\n" : " warnings\n");
}

// --check with one fit file broken or doubtful in each way it tells (the
// thousands separator with the value it pushes past the sixth): the file
// named as given to -C, line and column from 1, the summary, status 1, and
// every file as it was; a clean set gives the summary alone and status 0.
// Without -C the summary names the current directory whole.
TEST(check, names_file_line_column_and_finding) {
  const CheckCase cases[] = {
      {"mcfit0.dat", Put::none, "", "fits/mcfit0.dat: error: no such file in fits\n"},
      {"mcfit2.dat", Put::unreadable, "",
       "fits/mcfit2.dat: error: cannot be read: Permission denied\n"},
      {"mcfit4.dat", Put::directory, "",
       "fits/mcfit4.dat: error: is a directory, not a fit file\n"},
      {"mcfit1.dat", Put::bytes, "",
       "fits/mcfit1.dat:1:1: error: the file is empty; six values are read from it\n"},
      {"dafit8.dat", Put::bytes, "1 2 3\n4 5\n",
       "fits/dafit8.dat:3:1: error: the file ends after 5 values; six are read from it\n"},
      {"dafit7.dat", Put::bytes, "  7\n",
       "fits/dafit7.dat:2:1: error: the file ends after 1 value; six are read from it\n"},
      {"mcfit3.dat", Put::bytes, "97390.0\n1.86471 0.008089 abc 98811.81 377.39\n",
       "fits/mcfit3.dat:2:18: error: 'abc' is not a number\n"},
      {"dafit3.dat", Put::bytes,
       "# yield fit, bin 4\n137681.0 1.86 0.0085 55543.5 82137.03 389.61\n",
       "fits/dafit3.dat:1:1: error: '#' is not a number\n"},
      {"dafit1.dat", Put::bytes, "1 2 " + std::string(40, 'x') + " 4 5 6\n",
       "fits/dafit1.dat:1:5: error: '" + std::string(40, 'x') + "' is not a number\n"},
      {"dafit1.dat", Put::bytes, "1 2 " + std::string(41, 'x') + " 4 5 6\n",
       "fits/dafit1.dat:1:5: error: '" + std::string(40, 'x') + "...' is not a number\n"},
      {"dafit1.dat", Put::bytes, std::string("1 2 \0\x7f 4 5 6\n", 13),
       "fits/dafit1.dat:1:5: error: '\\x00\\x7f' is not a number\n"},
      {"dafit2.dat", Put::bytes, "1 2 3 4 98811.81e+ 6\n",
       "fits/dafit2.dat:1:9: error: '98811.81e+' has an exponent without digits\n"},
      {"dafit4.dat", Put::bytes, "1 2 3 4 5e100000000 6\n",
       "fits/dafit4.dat:1:9: error: '5e100000000' has an exponent above 99999999\n"},
      {"dafit4.dat", Put::bytes, "1 2 3 4 +5e+ 6\n",
       "fits/dafit4.dat:1:9: error: '+5e+' has an exponent without digits\n"},
      {"dafit4.dat", Put::bytes, "1 2 3 4 5.-999999999 6\n",
       "fits/dafit4.dat:1:9: error: '5.-999999999' has an exponent above 99999999\n"},
      {"dafit4.dat", Put::bytes, "1 2 3 4 5E-100000000 6\n",
       "fits/dafit4.dat:1:9: error: '5E-100000000' has an exponent above 99999999\n"},
      {"dafit4.dat", Put::bytes, "1 2 3 4 " + std::string(45, '1') + "e999999999 6\n",
       "fits/dafit4.dat:1:9: error: '" + std::string(40, '1') +
           "...' has an exponent above 99999999\n"},
      {"dafit5.dat", Put::bytes, "1 2 3 4 0*5 6\n",
       "fits/dafit5.dat:1:9: error: '0*5' has a bad repeat count (a whole number from 1 before "
       "the '*')\n"},
      {"mcfit3.dat", Put::bytes, "97390.0 1.86471 0.008089\r\n30367.2 98811.81 377.39\r\n",
       "fits/mcfit3.dat:1:25: error: line ends in a carriage return (a file saved on "
       "Windows?)\n"},
      {"dafit3.dat", Put::bytes, "  137681.0   1.86426  0.008493    55543.5   82,137.03   389.61\n",
       "fits/dafit3.dat:1:45: warning: '82,137.03' is read as two values, '82' and '137.03': a "
       "thousands separator?\n"
       "fits/dafit3.dat:1:57: warning: '389.61' after the sixth value is not read\n"
       "fits/dafit3.dat:1:48: warning: the yield error '137.03' is not below the fitted yield '82' "
       "(yield and error swapped?)\n"
       "fits/dafit3.dat:1:45: warning: the data yield over the matched count, 0.000842 in bin 4 "
       "(xp "
       "0.05 to 0.1), is more than a factor 1.3 from its median over the bins, 0.841 (Monte Carlo "
       "or data files of two bins swapped?)\n"},
      {"mcfit3.dat", Put::bytes, ",1.86471 0.008089 30367.2 98811.81 377.39\n",
       "fits/mcfit3.dat:1:1: warning: the matched count is left unset by a null: it counts as "
       "0\n"},
      {"dafit3.dat", Put::bytes, "137681.0 1.86 /\n",
       "fits/dafit3.dat:1:15: warning: the fitted yield is left unset by a slash: it counts as "
       "0\n"},
      {"mcfit5.dat", Put::bytes, "32618.0 1.86479 0.008869 17146.2 0.0 233.11\n",
       "fits/mcfit5.dat:1:34: warning: the fitted yield '0.0' is not above 0: the Monte Carlo "
       "rate of bin 6 (xp 0.15 to 0.2) is 0 in every table\n"},
      {"mcfit3.dat", Put::bytes, "0 1.86471 0.008089 30367.2 98811.81 377.39\n",
       "fits/mcfit3.dat:1:1: warning: the matched count '0' is not above 0 but divides a fitted "
       "yield above 0: the rates of bin 4 (xp 0.05 to 0.1) are infinite\n"},
      {"mcfit8.dat", Put::bytes, "-2 1 1 1 5 1\n",
       "fits/mcfit8.dat:1:1: warning: the matched count '-2' is not above 0 but divides a fitted "
       "yield above 0: the rates of bin 9 (xp 0.5 to 1) are negative\n"
       "fits/mcfit8.dat:1:4: warning: the fitted mass '1' is more than 0.02 GeV from the D0 mass "
       "1.86484 "
       "GeV\n"
       "fits/mcfit8.dat:1:6: warning: the width '1' is not in the range above 0 and below 0.05 GeV "
       "(a D0 "
       "peak is some MeV wide)\n"},
      {"dafit6.dat", Put::bytes, "1 2 3 4 1e39 6 / a comment\n",
       "fits/dafit6.dat:1:9: warning: '1e39' is beyond single precision and is read as "
       "infinite\n"
       "fits/dafit6.dat:1:3: warning: the fitted mass '2' is more than 0.02 GeV from the D0 mass "
       "1.86484 "
       "GeV\n"
       "fits/dafit6.dat:1:5: warning: the width '3' is not in the range above 0 and below 0.05 GeV "
       "(a D0 "
       "peak is some MeV wide)\n"},
      {"dafit6.dat", Put::bytes, "1 2 3 4 5 1" + std::string(39, '0') + "\r\n",
       "fits/dafit6.dat:1:11: warning: '1" + std::string(39, '0') +
           "' is beyond single precision and is read as infinite\n"
           "fits/dafit6.dat:1:3: warning: the fitted mass '2' is more than 0.02 GeV from the D0 "
           "mass 1.86484 "
           "GeV\n"
           "fits/dafit6.dat:1:5: warning: the width '3' is not in the range above 0 and below 0.05 "
           "GeV (a D0 "
           "peak is some MeV wide)\n"
           "fits/dafit6.dat:1:9: warning: the data yield over the matched count, 0.000149 in bin 7 "
           "(xp "
           "0.2 to 0.3), is more than a factor 1.3 from its median over the bins, 0.841 (Monte "
           "Carlo "
           "or data files of two bins swapped?)\n"},
      {"dafit0.dat", Put::bytes, "6.19e2,1.86,0.007,221.8,397.02,26.12 \r\n", ""},
  };
  for (const CheckCase& c : cases) {
    StartDir s;
    put(s, c);
    const ChildResult r = s.run({"--check", "-C", "fits"}, {.as_nobody = c.put == Put::unreadable});
    EXPECT_EQ(r.out, c.findings + summary(c.findings, "fits")) << c.name << " " << c.bytes;
    EXPECT_EQ(r.err, "") << c.name;
    EXPECT_TRUE(r.exited(c.findings.empty() ? 0 : 1)) << c.name << " " << c.bytes;
  }

  StartDir s;
  fs::remove(s.file("fits/dafit0.dat"));
  const std::string here = fs::canonical(s.file("fits")).string();
  const ChildResult r = run_program(XPCORR_BINARY, {.dir = here, .args = {"--check"}});
  const std::string findings = "dafit0.dat: error: no such file in " + here + "\n";
  EXPECT_EQ(r.out, findings + summary(findings, here));
  EXPECT_TRUE(r.exited(1));
}

// Findings in several files at once, in the order the files are read, and
// a finding that needs two files: a matched count of 0 divides the
// Monte Carlo yield even when the data yield of its bin is 0, and divides
// nothing when both yields are 0 (the rates stay 0); and no
// thousands separator is seen in four digits before a comma. Errors and
// warnings count alike for the status, whatever their numbers; with
// standard input closed, each file opened is descriptor 0, read whole
// across the window's end, with more than a window after it.
TEST(check, findings_of_several_files) {
  struct File {
    const char* name;
    std::string bytes;
  };
  const struct {
    std::vector<File> files;
    std::string findings;
    bool stdin_closed;
  } cases[] = {
      {{{"mcfit3.dat", "0 1.86471 0.008089 30367.2 98811.81 377.39\n"},
        {"dafit3.dat", "137681.0 1.86 0.0085 55543.5 0 389.61\n"}},
       "fits/mcfit3.dat:1:1: warning: the matched count '0' is not above 0 but divides a fitted "
       "yield above 0: the rates of bin 4 (xp 0.05 to 0.1) are infinite\n"
       "fits/dafit3.dat:1:30: warning: the fitted yield '0' is not above 0: the data rate of bin 4 "
       "(xp 0.05 to 0.1) is 0 in every table\n",
       false},
      {{{"mcfit3.dat", "0 1.86471 0.008089 30367.2 0 377.39\n"},
        {"dafit3.dat", "137681.0 1.86 0.0085 55543.5 0 389.61\n"}},
       "fits/mcfit3.dat:1:28: warning: the fitted yield '0' is not above 0: the Monte Carlo rate "
       "of bin 4 (xp 0.05 to 0.1) is 0 in every table\n"
       "fits/dafit3.dat:1:30: warning: the fitted yield '0' is not above 0: the data rate of bin 4 "
       "(xp 0.05 to 0.1) is 0 in every table\n",
       false},
      {{{"dafit5.dat", "55356.0 1.86445 0.009313 27105.3 1234,567 247.04\n"},
        {"dafit6.dat", "1 2 3 4 5 abc\n"}},
       "fits/dafit5.dat:1:43: warning: '247.04' after the sixth value is not read\n"
       "fits/dafit5.dat:1:34: warning: the data yield over the matched count, 0.0378 in bin 6 (xp "
       "0.15 to 0.2), is more than a factor 1.3 from its median over the bins, 0.828 (Monte Carlo "
       "or data files of two bins swapped?)\n"
       "fits/dafit6.dat:1:11: error: 'abc' is not a number\n",
       false},
      {{}, "", true},
      {{{"mcfit0.dat", std::string(recio::window_size - 2, ' ') + "abc 2 3 4 5 6\n" +
                           std::string(recio::window_size, '\n')}},
       "fits/mcfit0.dat:1:65535: error: 'abc' is not a number\n",
       true},
  };
  for (const auto& c : cases) {
    StartDir s;
    for (const File& f : c.files) s.write("fits/" + std::string(f.name), f.bytes);
    const ChildResult r = s.run({"--check", "-C", "fits"}, {.stdin_closed = c.stdin_closed});
    EXPECT_EQ(r.out, c.findings + summary(c.findings, "fits"));
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(r.exited(c.findings.empty() ? 0 : 1)) << c.findings;
  }
}

// One change a physicist can make to the sample's fit directory.
enum class Slip { edit, bytes, sample, link, utf16, missing };

struct Change {
  Slip slip;
  const char* file;
  std::string_view a = {}, b = {};  // edit: text and replacement; bytes, utf16: the
                                    // file's text; sample: the sample file copied; link: target;
                                    // missing: neither, the file is removed
};

void apply(const StartDir& s, const Change& c) {
  const std::string path = s.file("fits/" + std::string(c.file));
  switch (c.slip) {
    case Slip::edit: {
      std::string text = read_file(path);
      const std::size_t at = text.find(c.a);
      ASSERT_NE(at, std::string::npos) << c.file << " has no " << c.a;
      s.write("fits/" + std::string(c.file), text.replace(at, c.a.size(), c.b));
      break;
    }
    case Slip::bytes: s.write("fits/" + std::string(c.file), std::string(c.a)); break;
    case Slip::sample:
      s.write("fits/" + std::string(c.file), read_file(fs::path(SAMPLE_DIR) / c.a));
      break;
    case Slip::link:
      fs::remove(path);
      fs::create_symlink(std::string(c.a), path);
      break;
    case Slip::missing: fs::remove(path); break;
    case Slip::utf16: {  // little-endian, after its byte-order mark
      std::string wide = "\xff\xfe";
      for (char ch : c.a) wide.append({ch, '\0'});
      s.write("fits/" + std::string(c.file), wide);
      break;
    }
  }
}

// Each slip a physicist can make in a set of well-formed fit files, and
// the plain words it is told in: the file, the line and column of the
// value, the rule and the values it compared. The files are the sample's
// but for the changes; every slip gives status 1.
TEST(check, tells_each_slip_of_a_fit_directory) {
  const struct {
    std::vector<Change> changes;
    std::string findings;
  } cases[] = {
      // Monte Carlo files of neighbouring bins swapped.
      {{{Slip::sample, "mcfit3.dat", "mcfit4.dat"}, {Slip::sample, "mcfit4.dat", "mcfit3.dat"}},
       "fits/mcfit3.dat:1:4: warning: the efficiency matched/generated, 0.194 in bin 4 (xp 0.05 to "
       "0.1), is more than a factor 1.4 from both its neighbours', 0.289 and 0.657\n"
       "fits/mcfit4.dat:1:4: warning: the efficiency matched/generated, 0.657 in bin 5 (xp 0.1 to "
       "0.15), is more than a factor 1.4 from both its neighbours', 0.194 and 0.39\n"
       "fits/dafit3.dat:1:45: warning: the data yield over the matched count, 1.47 in bin 4 (xp "
       "0.05 to 0.1), is more than a factor 1.3 from its median over the bins, 0.866 (Monte Carlo "
       "or data files of two bins swapped?)\n"
       "fits/dafit4.dat:1:45: warning: the data yield over the matched count, 0.457 in bin 5 (xp "
       "0.1 to 0.15), is more than a factor 1.3 from its median over the bins, 0.866 (Monte Carlo "
       "or data files of two bins swapped?)\n"},
      // The first bin's fits redone on another sample: its efficiency,
      // 5000/5743, is more than 4 times its one neighbour's, 45735/216582
      // (the data yield over the matched count stays near the median).
      {{{Slip::bytes, "mcfit0.dat", "5000.0 1.86495 0.006658 2000.0 5000.0 50.0\n"},
        {Slip::bytes, "dafit0.dat", "4200.0 1.86453 0.006991 1500.0 4200.0 40.0\n"}},
       "fits/mcfit0.dat:1:1: warning: the efficiency matched/generated, 0.871 in bin 1 (xp 0 to "
       "0.005), is more than a factor 4 from its one neighbour's 0.211\n"},
      // A digit lost from bin 8's matched count and Monte Carlo yield, and
      // from its data yield: 2497/60933 is more than a factor 1.4 below
      // both neighbours, 33497/85893 and 8111/21681, and bin 9's more than
      // a factor 4 above it.
      {{{Slip::edit, "mcfit7.dat", "24970.0", "2497.0"},
        {Slip::edit, "mcfit7.dat", "24881.83", "2488.18"},
        {Slip::edit, "dafit7.dat", "19882.98", "1988.30"}},
       "fits/mcfit7.dat:1:4: warning: the efficiency matched/generated, 0.041 in bin 8 (xp 0.3 to "
       "0.5), is more than a factor 1.4 from both its neighbours', 0.39 and 0.374\n"
       "fits/mcfit8.dat:1:5: warning: the efficiency matched/generated, 0.374 in bin 9 (xp 0.5 to "
       "1), is more than a factor 4 from its one neighbour's 0.041\n"},
      // Bin 9's fits redone on a sample of more than the 21681 events
      // generated in it.
      {{{Slip::edit, "mcfit8.dat", "8111.0", "22000.0"},
        {Slip::edit, "mcfit8.dat", "8142.23", "22000.00"},
        {Slip::edit, "dafit8.dat", "6615.60", "17943.00"}},
       "fits/mcfit8.dat:1:5: warning: the matched count '22000.0' is above the generated count "
       "21681 of bin 9 (xp 0.5 to 1): an efficiency above 1\n"},
      // The data fits of bins 1 to 7 not made yet: the ratios of two bins
      // make no median, and those two bins are not held to one.
      {{{Slip::missing, "dafit0.dat"},
        {Slip::missing, "dafit1.dat"},
        {Slip::missing, "dafit2.dat"},
        {Slip::missing, "dafit3.dat"},
        {Slip::missing, "dafit4.dat"},
        {Slip::missing, "dafit5.dat"},
        {Slip::missing, "dafit6.dat"}},
       "fits/dafit0.dat: error: no such file in fits\n"
       "fits/dafit1.dat: error: no such file in fits\n"
       "fits/dafit2.dat: error: no such file in fits\n"
       "fits/dafit3.dat: error: no such file in fits\n"
       "fits/dafit4.dat: error: no such file in fits\n"
       "fits/dafit5.dat: error: no such file in fits\n"
       "fits/dafit6.dat: error: no such file in fits\n"},
      // A yield and its error swapped.
      {{{Slip::edit, "dafit3.dat", "82137.03   389.61", "389.61   82137.03"}},
       "fits/dafit3.dat:1:54: warning: the yield error '82137.03' is not below the fitted yield "
       "'389.61' (yield and error swapped?)\n"
       "fits/dafit3.dat:1:45: warning: the data yield over the matched count, 0.004 in bin 4 (xp "
       "0.05 to 0.1), is more than a factor 1.3 from its median over the bins, 0.841 (Monte Carlo "
       "or data files of two bins swapped?)\n"},
      // A digit lost from a matched count.
      {{{Slip::edit, "mcfit3.dat", "97390.0", "9739.0"}},
       "fits/mcfit3.dat:1:4: warning: fitted over matched is 10.1 (the fitted yield '98811.81' "
       "over the matched count '9739.0'), outside 0.8 to 1.25: the fit does not recover its "
       "matched count\n"
       "fits/mcfit3.dat:1:4: warning: the efficiency matched/generated, 0.0338 in bin 4 (xp 0.05 "
       "to 0.1), is more than a factor 1.4 from both its neighbours', 0.289 and 0.377\n"
       "fits/dafit3.dat:1:45: warning: the data yield over the matched count, 8.43 in bin 4 (xp "
       "0.05 to 0.1), is more than a factor 1.3 from its median over the bins, 0.866 (Monte Carlo "
       "or data files of two bins swapped?)\n"},
      // An exponent typo.
      {{{Slip::edit, "mcfit3.dat", "98811.81", "9.881181e14"}},
       "fits/mcfit3.dat:1:4: warning: fitted over matched is 1.01e+10 (the fitted yield "
       "'9.881181e14' over the matched count '97390.0'), outside 0.8 to 1.25: the fit does not "
       "recover its matched count\n"},
      // Two columns run together.
      {{{Slip::edit, "mcfit3.dat", "30367.2   98811.81", "30367.298811.81"}},
       "fits/mcfit3.dat:1:35: warning: '30367.298811.81' is read as two values, '30367.298811' "
       "and '.81': two columns run together?\n"
       "fits/mcfit3.dat:1:53: warning: the yield error '377.39' is not below the fitted yield "
       "'.81' (yield and error swapped?)\n"
       "fits/mcfit3.dat:1:4: warning: fitted over matched is 8.32e-06 (the fitted yield '.81' "
       "over the matched count '97390.0'), outside 0.8 to 1.25: the fit does not recover its "
       "matched count\n"},
      // A header line of numbers above the six values.
      {{{Slip::edit, "dafit3.dat", "  137681.0", "4 0.05 0.1\n  137681.0"}},
       "fits/dafit3.dat:2:35: warning: '55543.5   82137.03   389.61' after the sixth value is "
       "not read\n"
       "fits/dafit3.dat:1:3: warning: the fitted mass '0.05' is more than 0.02 GeV from the D0 "
       "mass 1.86484 GeV\n"
       "fits/dafit3.dat:1:8: warning: the width '0.1' is not in the range above 0 and below 0.05 "
       "GeV (a D0 peak is some MeV wide)\n"
       "fits/dafit3.dat:2:14: warning: the data yield over the matched count, 1.91e-05 in bin 4 "
       "(xp 0.05 to 0.1), is more than a factor 1.3 from its median over the bins, 0.841 (Monte "
       "Carlo or data files of two bins swapped?)\n"},
      // A leading comma, and a point typed twice.
      {{{Slip::edit, "dafit3.dat", "  137681.0", ",137681.0"},
        {Slip::edit, "mcfit3.dat", "97390.0", "97.390.0"}},
       "fits/mcfit3.dat:1:4: warning: '97.390.0' is read as two values, '97.390' and '.0': two "
       "columns run together?\n"
       "fits/mcfit3.dat:1:57: warning: '377.39' after the sixth value is not read\n"
       "fits/mcfit3.dat:1:10: warning: the fitted mass '.0' is more than 0.02 GeV from the D0 mass "
       "1.86484 GeV\n"
       "fits/mcfit3.dat:1:15: warning: the width '1.86471' is not in the range above 0 and below "
       "0.05 GeV (a D0 peak is some MeV wide)\n"
       "fits/mcfit3.dat:1:46: warning: the yield error '98811.81' is not below the fitted yield "
       "'30367.2' (yield and error swapped?)\n"
       "fits/mcfit3.dat:1:4: warning: fitted over matched is 312 (the fitted yield '30367.2' over "
       "the matched count '97.390'), outside 0.8 to 1.25: the fit does not recover its matched "
       "count\n"
       "fits/mcfit3.dat:1:4: warning: the efficiency matched/generated, 0.000338 in bin 4 (xp 0.05 "
       "to 0.1), is more than a factor 1.4 from both its neighbours', 0.289 and 0.377\n"
       "fits/dafit3.dat:1:55: warning: '389.61' after the sixth value is not read\n"
       "fits/dafit3.dat:1:2: warning: the fitted mass '137681.0' is more than 0.02 GeV from the D0 "
       "mass 1.86484 GeV\n"
       "fits/dafit3.dat:1:13: warning: the width '1.86426' is not in the range above 0 and below "
       "0.05 GeV (a D0 peak is some MeV wide)\n"
       "fits/dafit3.dat:1:44: warning: the yield error '82137.03' is not below the fitted yield "
       "'55543.5' (yield and error swapped?)\n"
       "fits/dafit3.dat:1:34: warning: the data yield over the matched count, 570 in bin 4 (xp "
       "0.05 to 0.1), is more than a factor 1.3 from its median over the bins, 0.866 (Monte Carlo "
       "or data files of two bins swapped?)\n"},
      // A data file copied over its Monte Carlo file.
      {{{Slip::sample, "mcfit3.dat", "dafit3.dat"}},
       "fits/mcfit3.dat:1:3: warning: fitted over matched is 0.597 (the fitted yield '82137.03' "
       "over the matched count '137681.0'), outside 0.8 to 1.25: the fit does not recover its "
       "matched count\n"
       "fits/dafit3.dat:1:45: warning: the data yield over the matched count, 0.597 in bin 4 (xp "
       "0.05 to 0.1), is more than a factor 1.3 from its median over the bins, 0.841 (Monte Carlo "
       "or data files of two bins swapped?)\n"
       "fits/dafit3.dat: warning: has the same bytes as mcfit3.dat (one file copied over "
       "another?)\n"},
      // A refit appended with >> instead of >.
      {{{Slip::edit, "mcfit3.dat", "377.39\n",
         "377.39\n    97412.0   1.86468  0.008102    30301.4   98790.12   377.21\n"}},
       "fits/mcfit3.dat:2:5: warning: '97412.0   1.86468  0.008102    30301.4  ...' on a later "
       "line is never read: a refit appended? (only the first six values are read)\n"},
      // Files numbered from 1: the tenth of each kind is never read.
      {{{Slip::sample, "mcfit9.dat", "mcfit8.dat"}, {Slip::sample, "dafit9.dat", "dafit8.dat"}},
       "fits/mcfit9.dat: warning: is never read: the fit files of bins 1 to 9 are numbered 0 to "
       "8, so mcfit0.dat is read for bin 1 (numbered from 1?)\n"
       "fits/dafit9.dat: warning: is never read: the fit files of bins 1 to 9 are numbered 0 to "
       "8, so dafit0.dat is read for bin 1 (numbered from 1?)\n"},
      // Values outside what their position can mean.
      {{{Slip::edit, "mcfit5.dat", "1.86479", "2.5"},
        {Slip::edit, "dafit5.dat", "1.86445", "0"},
        {Slip::edit, "mcfit6.dat", "0.009281", "0"},
        {Slip::edit, "dafit6.dat", "0.009745", "-0.0097"},
        {Slip::edit, "dafit7.dat", "191.86", "-191.86"}},
       "fits/mcfit5.dat:1:14: warning: the fitted mass '2.5' is more than 0.02 GeV from the D0 "
       "mass 1.86484 GeV\n"
       "fits/mcfit6.dat:1:23: warning: the width '0' is not in the range above 0 and below 0.05 "
       "GeV (a D0 peak is some MeV wide)\n"
       "fits/dafit5.dat:1:14: warning: the fitted mass '0' is more than 0.02 GeV from the D0 mass "
       "1.86484 GeV\n"
       "fits/dafit6.dat:1:23: warning: the width '-0.0097' is not in the range above 0 and below "
       "0.05 GeV (a D0 peak is some MeV wide)\n"
       "fits/dafit7.dat:1:56: warning: the yield error '-191.86' is not above 0\n"},
      // What the reader takes but not as meant.
      {{{Slip::edit, "dafit3.dat", "82137.03", "1e-50"}},
       "fits/dafit3.dat:1:45: warning: '1e-50' is below single precision and is read as 0\n"},
      // The same after a repeat count: the value is what follows the '*'.
      {{{Slip::edit, "dafit3.dat", "55543.5", "1*1e-50"}},
       "fits/dafit3.dat:1:35: warning: '1*1e-50' is below single precision and is read as 0\n"},
      {{{Slip::edit, "dafit3.dat", "82137.03", "82 137.03"}},
       "fits/dafit3.dat:1:45: warning: '82 137.03' is read as two values, '82' and '137.03': a "
       "thousands separator?\n"
       "fits/dafit3.dat:1:57: warning: '389.61' after the sixth value is not read\n"
       "fits/dafit3.dat:1:48: warning: the yield error '137.03' is not below the fitted yield '82' "
       "(yield and error swapped?)\n"
       "fits/dafit3.dat:1:45: warning: the data yield over the matched count, 0.000842 in bin 4 "
       "(xp 0.05 to 0.1), is more than a factor 1.3 from its median over the bins, 0.841 (Monte "
       "Carlo or data files of two bins swapped?)\n"},
      {{{Slip::bytes, "dafit3.dat", "137681,0 1,86426 0,008493 55543,5 82137,03 389,61\n"}},
       "fits/dafit3.dat:1:1: warning: '137681,0' is read as two values, '137681' and '0': a "
       "decimal comma?\n"
       "fits/dafit3.dat:1:10: warning: '1,86426' is read as two values, '1' and '86426': a "
       "decimal comma?\n"
       "fits/dafit3.dat:1:18: warning: the fitted yield '0' is not above 0: the data rate of bin 4 "
       "(xp 0.05 to 0.1) is 0 in every table\n"
       "fits/dafit3.dat:1:18: warning: '0,008493' is read as two values, '0' and '008493': a "
       "decimal comma?\n"
       "fits/dafit3.dat:1:27: warning: '55543,5 82137,03 389,61' after the sixth value is not "
       "read\n"
       "fits/dafit3.dat:1:8: warning: the fitted mass '0' is more than 0.02 GeV from the D0 mass "
       "1.86484 GeV\n"
       "fits/dafit3.dat:1:10: warning: the width '1' is not in the range above 0 and below 0.05 "
       "GeV (a D0 peak is some MeV wide)\n"},
      {{{Slip::bytes, "dafit3.dat", "137681.0 1.86426\r0.008493 55543.5\r82137.03 389.61\r"}},
       "fits/dafit3.dat:1:17: error: lines end in a carriage return alone, not a line feed (a "
       "file saved on an old Mac?)\n"},
      // Files that are not plain text, or not there.
      {{{Slip::edit, "dafit3.dat", "  137681.0", "\xef\xbb\xbf  137681.0"}},
       "fits/dafit3.dat:1:1: error: the file begins with a byte-order mark (bytes EF BB BF), which "
       "is not a number: save it without one\n"},
      // A Unicode minus before the first value: no byte-order mark.
      {{{Slip::bytes, "dafit3.dat",
         "\xe2\x88\x92"
         "137681.0 1.86426 0.008493 55543.5 82137.03 389.61\n"}},
       "fits/dafit3.dat:1:1: error: '\\xe2\\x88\\x92137681.0' is not a number: it holds a Unicode "
       "minus sign (bytes E2 88 92), not a plain '-'\n"},
      {{{Slip::utf16, "dafit3.dat", "137681.0 1.86426 0.008493 55543.5 82137.03 389.61\r\n"}},
       "fits/dafit3.dat: error: the file is UTF-16 text (a NUL byte beside each character); the "
       "values are read as plain text: save it as such\n"},
      // UTF-16 big-endian, a NUL byte before each character (octal escapes:
      // "\0001" is bytes 00 31), without and with its byte-order mark.
      {{{Slip::bytes, "dafit3.dat", std::string_view("\0001\000 \0002\000\n", 8)},
        {Slip::bytes, "dafit4.dat", std::string_view("\xfe\xff\0001\000 \0002\000\n", 10)}},
       "fits/dafit3.dat: error: the file is UTF-16 text (a NUL byte beside each character); the "
       "values are read as plain text: save it as such\n"
       "fits/dafit4.dat: error: the file is UTF-16 text (a NUL byte beside each character); the "
       "values are read as plain text: save it as such\n"},
      {{{Slip::bytes, "dafit3.dat",
         std::string_view("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03\x33\x54\x30\xd4\xb3\x30\x53"
                          "\x30\xd0\x33\x30\xb0\x50\x30\x56\x30\x51\x30\xe5\x02\x00\x78\x81\x9c"
                          "\x56\x13\x00\x00\x00",
                          39)}},
       "fits/dafit3.dat: error: the file is compressed with gzip; the values are read as plain "
       "text: uncompress it first\n"},
      {{{Slip::edit, "dafit3.dat", "   389.61",
         "\xc2\xa0"
         "389.61"}},
       "fits/dafit3.dat:1:53: error: '\\xc2\\xa0389.61' is not a number: it holds a non-breaking "
       "space (bytes C2 A0), not a plain space\n"},
      {{{Slip::edit, "mcfit3.dat", "30367.2",
         "\xe2\x88\x92"
         "30367.2"}},
       "fits/mcfit3.dat:1:35: error: '\\xe2\\x88\\x9230367.2' is not a number: it holds a Unicode "
       "minus sign (bytes E2 88 92), not a plain '-'\n"},
      {{{Slip::edit, "dafit3.dat", "82137.03", "********"}},
       "fits/dafit3.dat:1:45: error: '********' is a field of asterisks: the fitter's number "
       "overflowed its format\n"},
      {{{Slip::link, "dafit3.dat", "dafit3-refit.dat"}},
       "fits/dafit3.dat: error: is a symbolic link to 'dafit3-refit.dat', which does not exist (a "
       "dangling link)\n"},
  };
  for (const auto& c : cases) {
    StartDir s;
    for (const Change& change : c.changes) apply(s, change);
    const ChildResult r = s.run({"--check", "-C", "fits"});
    EXPECT_EQ(r.out, c.findings + summary(c.findings, "fits")) << c.findings;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(r.exited(1)) << c.findings;
  }
}

// A fair variation of the sample, as a refit with another fit model moves
// it: every count, width, background, yield and error by up to 4 % each
// way, each on its own, and the mass by up to 2 MeV. --check finds
// nothing in forty such sets, and a table of each is written with no word
// on standard error.
TEST(check, fair_variation_of_the_sample_is_silent) {
  std::uint64_t state = 20261209;
  auto uniform = [&state] {  // from -1 to 1
    state = state * 6364136223846793005u + 1442695040888963407u;
    return static_cast<double>(state >> 11) / 4503599627370496.0 - 1;
  };
  for (int set = 0; set < 40; ++set) {
    StartDir s;
    for (const auto& e : fs::directory_iterator(SAMPLE_DIR)) {
      if (e.path().extension() != ".dat") continue;
      std::istringstream in(read_file(e.path()));
      std::array<double, 6> v{};
      for (double& x : v) in >> x;
      for (int i : {0, 2, 3, 4, 5}) v[static_cast<std::size_t>(i)] *= 1 + 0.04 * uniform();
      v[1] += 0.002 * uniform();
      char line[128];
      std::snprintf(line, sizeof line, "%11.1f %9.5f %9.6f %10.1f %10.2f %8.2f\n", v[0], v[1], v[2],
                    v[3], v[4], v[5]);
      s.write("fits/" + e.path().filename().string(), line);
    }
    const ChildResult r = s.run({"--check", "-C", "fits"});
    EXPECT_EQ(r.out, "18 fit files in fits: 0 errors, 0 warnings\n") << "set " << set;
    EXPECT_TRUE(r.exited(0)) << "set " << set;
    const ChildResult t = s.run({"-C", "fits", "--table", "t.yaml"});
    EXPECT_EQ(t.err, "") << "set " << set;
    EXPECT_TRUE(t.exited(0)) << "set " << set;
  }
}

float parse_float(const std::string& text) {
  float v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  EXPECT_TRUE(ec == std::errc() && end == text.data() + text.size()) << text;
  return v;
}

// The shortest decimal of `v`, with ".0" before an exponent whose mantissa
// has no point.
std::string shortest(float v) {
  char buf[32];
  std::string s(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
  if (size_t e = s.find('e'); e != std::string::npos && s.find('.') == std::string::npos)
    s.insert(e, ".0");
  return s;
}

// The keys HEPData accepts in a data table, checked through the whole tree.
void expect_allowed_keys(const tables::YamlNode& node) {
  static const std::set<std::string> allowed = {"independent_variables",
                                                "dependent_variables",
                                                "header",
                                                "name",
                                                "units",
                                                "qualifiers",
                                                "value",
                                                "values",
                                                "low",
                                                "high",
                                                "errors",
                                                "symerror",
                                                "asymerror",
                                                "minus",
                                                "plus",
                                                "label"};
  if (node.is_map()) {
    for (std::size_t i = 0; i < node.size(); ++i) {
      EXPECT_TRUE(allowed.count(std::string(node.key(i).text()))) << node.key(i).text();
      expect_allowed_keys(node.value(i));
    }
  } else if (node.is_sequence()) {
    for (std::size_t i = 0; i < node.size(); ++i) expect_allowed_keys(node.item(i));
  }
}

// One dependent variable against the report records from `first` (62 for
// the rate, 69 for the fragmentation function): each value is written
// with its shortest digits, and edited under the record's F field it gives
// the record. Bin 4 must be `bin4`, computed apart from the program.
void expect_variable(const tables::YamlNode& var, const char* name,
                     const std::vector<std::string>& report, int first, int width, int decimals,
                     const std::array<const char*, 3>& bin4) {
  EXPECT_EQ(var.at("header").at("name").text(), name);
  ASSERT_EQ(var.at("qualifiers").size(), 1u);
  EXPECT_EQ(var.at("qualifiers").item(0).at("name").text(), "BR");
  EXPECT_EQ(var.at("qualifiers").item(0).at("value").text(), "0.8883");
  const tables::YamlNode values = var.at("values");
  ASSERT_EQ(values.size(), 6u);
  for (size_t i = 0; i < 6; ++i) {
    const tables::YamlNode errors = values.item(i).at("errors");
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors.item(0).at("label").text(), "stat");
    EXPECT_EQ(errors.item(1).at("label").text(), "sys");
    const std::array<std::string, 3> texts = {std::string(values.item(i).at("value").text()),
                                              std::string(errors.item(0).at("symerror").text()),
                                              std::string(errors.item(1).at("symerror").text())};
    std::string record;
    for (const std::string& t : texts) {
      const float v = parse_float(t);
      EXPECT_EQ(shortest(v), t) << "not the shortest digits";
      char field[recio::max_width];
      record += ' ';
      record += recio::edit_f(v, width, decimals, field);
    }
    EXPECT_EQ(record + "\n", report[static_cast<size_t>(first - 1) + i])
        << name << " bin " << 4 + i;
    if (i == 0 && bin4[0] != nullptr) {
      for (size_t k = 0; k < 3; ++k) EXPECT_EQ(texts[k], bin4[k]) << name << " bin 4";
    }
  }
}

// A table's data: the text after the comment lines that may open it.
std::string data_of(const std::string& table) {
  std::size_t start = 0;
  while (table.compare(start, 2, "# ") == 0) {
    const std::size_t end = table.find('\n', start);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return table.substr(start);
}

// The table read back: the decimal edges of bins 4 to 9, and the same
// floats the report prints, to the last bit, also where the report shows
// asterisks. The sample's table data are, byte for byte, those stored
// beside this test. Bin 4 of each set was worked out separately in single
// precision (each assignment in double, rounded on the store).
TEST(table, holds_the_printed_values_bit_for_bit) {
  const struct {
    const char* dafit3;  // replaces the sample's, or null
    std::array<const char*, 3> rate4, frag4;
    const char* record62;
    const char* err;  // the check's warnings
  } cases[] = {
      {nullptr,
       {"0.27054843", "0.021102779", "0.040311716"},
       {"5.410969", "0.42205557", "0.80623436"},
       " 0.2705 0.0211 0.0403\n",
       ""},
      {"137681.0 1.86426 0.008493 55543.5 8213703 389.61\n",
       {"27.054844", "2.110278", "4.031172"},
       {"541.09686", "42.205555", "80.623436"},
       " ****** 2.1103 4.0312\n",
       "fits/dafit3.dat:1:35: warning: the data yield over the matched count, 84.3 in bin 4 (xp "
       "0.05 to 0.1), is more than a factor 1.3 from its median over the bins, 0.866 (Monte Carlo "
       "or data files of two bins swapped?)\n"},
  };
  const std::array<const char*, 7> edges = {"0.05", "0.1", "0.15", "0.2", "0.3", "0.5", "1.0"};
  for (const auto& c : cases) {
    StartDir s;
    if (c.dafit3) std::ofstream(s.file("fits/dafit3.dat"), std::ios::trunc) << c.dafit3;
    const ChildResult plain = s.run({"-C", "fits"});
    const ChildResult r = s.run({"-C", "fits", "--table", "t.yaml"});
    EXPECT_EQ(r.out, plain.out);
    EXPECT_EQ(r.err, c.err);
    EXPECT_TRUE(r.exited(0));
    const std::vector<std::string> report = lines_of(r.out);
    ASSERT_EQ(report.size(), 74u);
    EXPECT_EQ(report[61], c.record62);
    if (!c.dafit3) {
      EXPECT_EQ(r.out, sample_report);
      EXPECT_EQ(data_of(read_file(s.file("t.yaml"))), read_file(SAMPLE_TABLE))
          << "not the stored table";
    }

    tables::YamlDocument doc;
    tables::ReadFailure why;
    ASSERT_TRUE(doc.parse(read_file(s.file("t.yaml")), why)) << tables::message(why);
    const tables::YamlNode t = doc.root();
    ASSERT_TRUE(t.is_map());
    EXPECT_EQ(t.size(), 2u);
    expect_allowed_keys(t);
    ASSERT_EQ(t.at("independent_variables").size(), 1u);
    const tables::YamlNode x = t.at("independent_variables").item(0);
    EXPECT_EQ(x.at("header").at("name").text(), "$x_p$");
    ASSERT_EQ(x.at("values").size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
      EXPECT_EQ(x.at("values").item(i).at("low").text(), edges[i]);
      EXPECT_EQ(x.at("values").item(i).at("high").text(), edges[i + 1]);
    }
    ASSERT_EQ(t.at("dependent_variables").size(), 2u);
    expect_variable(t.at("dependent_variables").item(0), "fragmentation function", report, 69, 5, 3,
                    c.frag4);
    expect_variable(t.at("dependent_variables").item(1), "rate", report, 62, 6, 4, c.rate4);
  }
}

// The sample's YODA table is, byte for byte, the one stored beside this
// test, its comment lines naming the program and the fit files included
// (the version as built); named .yoda.gz it is the same bytes compressed,
// as gzip -d reads them.
TEST(table, yoda_of_the_sample_is_the_stored_one_plain_or_compressed) {
  std::string stored = read_file(SAMPLE_YODA);
  const std::string version = "# xpcorr 1.0.0 ";
  ASSERT_EQ(stored.substr(0, version.size()), version);
  stored.replace(0, version.size(), "# xpcorr " XPCORR_VERSION " ");
  StartDir s;
  std::vector<const char*> names{"t.yoda"};
#ifdef XPCORR_ZLIB
  names.push_back("t.yoda.gz");
#endif
  for (const char* name : names) {
    const ChildResult r = s.run({"-C", "fits", "--table", name});
    EXPECT_EQ(r.out, sample_report) << name;
    EXPECT_EQ(r.err, "") << name;
    EXPECT_TRUE(r.exited(0)) << name;
  }
#if XPCORR_SHA256
  EXPECT_EQ(read_file(s.file("t.yoda")), stored);
#else
  const std::string written = read_file(s.file("t.yoda"));
  EXPECT_EQ(written.substr(written.find("\nBEGIN ")), stored.substr(stored.find("\nBEGIN ")));
#endif
#ifdef XPCORR_ZLIB
  EXPECT_TRUE(read_file(s.file("t.yoda.gz")).starts_with("\x1f\x8b")) << "not gzip data";
  const ChildResult unzipped =
      run_program("/bin/sh", {.dir = s.path(), .args = {"-c", "gzip -dc t.yoda.gz"}});
  EXPECT_TRUE(unzipped.exited(0)) << unzipped.err;
  EXPECT_EQ(unzipped.out, read_file(s.file("t.yoda")));
#endif
}

// Generated data yields over five decades, many of them giving final
// values of 10 or more: every table value edited under its field gives the
// report's record, asterisks included.
TEST(table, prints_as_the_report_on_generated_fit_sets) {
  std::uint64_t state = 20261207;
  auto next = [&state] {
    return (state = state * 6364136223846793005u + 1442695040888963407u) >> 11;
  };
  for (int set = 0; set < 40; ++set) {
    StartDir s;
    for (int file = 3; file <= 8; ++file) {
      const double yield = std::pow(10.0, 3 + 5.0 * static_cast<double>(next() % 100000) / 100000);
      std::ofstream(s.file("fits/dafit" + std::to_string(file) + ".dat"), std::ios::trunc)
          << "137681.0 1.86 0.0085 55543.5 " << yield << " 389.61\n";
    }
    const ChildResult r = s.run({"-C", "fits", "--table", "t.yaml"});
    ASSERT_TRUE(r.exited(0)) << "set " << set;
    const std::vector<std::string> report = lines_of(r.out);
    ASSERT_EQ(report.size(), 74u);
    tables::YamlDocument doc;
    tables::ReadFailure why;
    ASSERT_TRUE(doc.parse(read_file(s.file("t.yaml")), why)) << tables::message(why);
    const tables::YamlNode t = doc.root();
    expect_variable(t.at("dependent_variables").item(0), "fragmentation function", report, 69, 5, 3,
                    {});
    expect_variable(t.at("dependent_variables").item(1), "rate", report, 62, 6, 4, {});
  }
}

// A table is refused, before anything is printed or read, when it is a
// fit file by any path or link, a directory or no regular file (a FIFO of
// the start directory: no test names a file outside its own scratch
// directory, which a broken check would replace); it is not written when
// the input fails;
// a table that cannot be written leaves the report complete. A relative
// name is taken from the start directory. No temporary file is ever left,
// and a replaced table has mode 0666 less the umask.
TEST(table, never_over_a_fit_file_nor_half_written) {
  const RunCase cases[] = {
      {{"-C", "fits", "--table", "fits/mcfit3.dat"},
       nullptr,
       Out::none,
       "xpcorr: fits/mcfit3.dat: is the fit file mcfit3.dat\n",
       2},
      {{"--table=fits/../fits/dafit8.dat", "-C", "fits"},
       nullptr,
       Out::none,
       "xpcorr: fits/../fits/dafit8.dat: is the fit file dafit8.dat\n",
       2},
      {{"-C", "fits", "--table", "link.yaml"},
       nullptr,
       Out::none,
       "xpcorr: link.yaml: is the fit file dafit0.dat\n",
       2},
      {{"-C", "fits", "--table", "hard.yaml"},
       nullptr,
       Out::none,
       "xpcorr: hard.yaml: is the fit file mcfit8.dat\n",
       2},
      {{"-C", "fits", "--table", "out"}, nullptr, Out::none, "xpcorr: out: is a directory\n", 2},
      {{"-C", "fits", "--table", "fifo"},
       nullptr,
       Out::none,
       "xpcorr: fifo: is not a regular file\n",
       2},
      {{"-C", "fits", "--table", "old.yaml"},
       "fits/mcfit5.dat",
       Out::header,
       "open: No such file or directory\napparent state: unit 95 named mcfit5.dat\n"
       "last format: list io\nlately writing direct formatted external IO\n",
       -1},
      {{"-C", "fits", "--table", "nowhere/t.yaml"},
       nullptr,
       Out::sample,
       "xpcorr: cannot write nowhere/t.yaml: No such file or directory\n",
       1},
      {{"-C", "fits", "--table", "old.yaml"}, nullptr, Out::sample, "", 0},
  };
  const mode_t mask = umask(022);
  for (const auto& c : cases) {
    StartDir s;
    std::ofstream(s.file("old.yaml")) << "old\n";
    fs::create_directory(s.file("out"));
    fs::create_symlink("fits/dafit0.dat", s.file("link.yaml"));
    fs::create_hard_link(s.file("fits/mcfit8.dat"), s.file("hard.yaml"));
    ASSERT_EQ(mkfifo(s.file("fifo").c_str(), 0644), 0);
    if (c.missing) fs::remove(s.file(c.missing));
    const std::set<std::string> before = s.names();
    ChildResult r = s.run(c.args);
    EXPECT_EQ(r.out, expected(c.out)) << args_text(c.args);
    EXPECT_EQ(r.err, c.err) << args_text(c.args);
    EXPECT_TRUE(c.status < 0 ? r.aborted() : r.exited(c.status)) << args_text(c.args);
    EXPECT_EQ(s.names(), before) << args_text(c.args) << ": a file was added or removed";
    const std::string old = read_file(s.file("old.yaml"));
    if (c.status == 0) {
      EXPECT_EQ(old.substr(0, 15), "# xpcorr " XPCORR_VERSION " ");
      EXPECT_NE(old.find("\nindependent_variables:\n"), std::string::npos);
      struct stat st;
      ASSERT_EQ(stat(s.file("old.yaml").c_str(), &st), 0);
      EXPECT_EQ(st.st_mode & 07777, 0644u);
    } else {
      EXPECT_EQ(old, "old\n") << args_text(c.args);
    }
  }
  umask(mask);
}

// "./" repeated and a name of a few letters: `length` bytes naming a file
// of the start directory.
std::string long_name(std::size_t length) {
  std::string base = std::string(length % 2 == 1 ? 2 : 3, 't') + ".yaml";
  std::string name;
  while (name.size() + base.size() < length) name += "./";
  return name + base;
}

// A table name, in the start directory or a folder of it, is taken up to
// the longest for which the name of its temporary file (".NAME.XXXXXX"
// beside it, and the terminating byte) fits the system's path limit; a
// longer one is refused with the system's reason, after a complete report
// and with no file left, the name in the message cut to the path limit.
// The start directory, held open for the table, may be descriptor 0, when
// standard input is closed.
TEST(table, names_up_to_the_path_limit_from_any_start_directory) {
  StartDir plain;
  ASSERT_TRUE(plain.run({"-C", "fits", "--table", "t.yaml"}).exited(0));
  const std::string table = read_file(plain.file("t.yaml"));
  const std::size_t longest = PATH_MAX - 9;
  const struct {
    std::string name;
    bool stdin_closed;
    const char* written;  // the file the table goes to, or null
  } cases[] = {
      {"t.yaml", true, "t.yaml"},
      {"sub/t.yaml", false, "sub/t.yaml"},
      {long_name(longest), false, "tt.yaml"},
      {long_name(longest), true, "tt.yaml"},
      {long_name(longest + 1), false, nullptr},
      {long_name(PATH_MAX + 100), false, nullptr},
  };
  for (const auto& c : cases) {
    StartDir s;
    fs::create_directory(s.file("sub"));
    const std::set<std::string> before = s.names();
    const ChildResult r =
        s.run({"-C", "fits", "--table", c.name}, {.stdin_closed = c.stdin_closed});
    const std::string what = std::to_string(c.name.size()) + " bytes";
    EXPECT_EQ(r.out, sample_report) << what;
    if (c.written) {
      EXPECT_EQ(r.err, "") << what;
      EXPECT_TRUE(r.exited(0)) << what;
      EXPECT_EQ(read_file(s.file(c.written)), table) << what;
    } else {
      EXPECT_EQ(r.err,
                "xpcorr: cannot write " + c.name.substr(0, PATH_MAX) + ": File name too long\n")
          << what;
      EXPECT_TRUE(r.exited(1)) << what;
      EXPECT_EQ(s.names(), before) << what;
    }
  }
}

// Without -C the fit files are opened where the run starts; with standard
// input closed the first of them, and later the first one digested for
// the table, is descriptor 0. The start directory matters only for a
// table: once removed, a run of -C with the fit files' full path and no
// table goes on as ever.
TEST(table, from_descriptor_0_and_without_a_start_directory) {
  StartDir s;
  ASSERT_TRUE(s.run({"-C", "fits", "--table", "t.yaml"}).exited(0));
  const ChildResult closed = run_program(
      XPCORR_BINARY, {.dir = s.file("fits"), .args = {"--table", "t.yaml"}, .stdin_closed = true});
  EXPECT_EQ(closed.out, sample_report);
  EXPECT_EQ(closed.err, "");
  EXPECT_TRUE(closed.exited(0));
  EXPECT_EQ(read_file(s.file("fits/t.yaml")), read_file(s.file("t.yaml")));

  const std::string gone = s.file("gone"), fits = fs::canonical(s.file("fits")).string();
  fs::create_directory(gone);
  const ChildResult removed = run_child([&] {
    if (::chdir(gone.c_str()) != 0 || ::rmdir(gone.c_str()) != 0) _exit(126);
    execl(XPCORR_BINARY, XPCORR_BINARY, "-C", fits.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  });
  EXPECT_EQ(removed.out, sample_report);
  EXPECT_EQ(removed.err, "");
  EXPECT_TRUE(removed.exited(0));
}

// The file that standard output goes to (here one in the start directory,
// where the report would be) is refused as the table, by any name.
TEST(table, never_over_the_standard_output) {
  for (const char* name : {"report.txt", "./fits/../report.txt"}) {
    StartDir s;
    const ChildResult r = run_program(XPCORR_BINARY, {.dir = s.path(),
                                                      .stdout_mode = Stdout::file,
                                                      .args = {"-C", "fits", "--table", name},
                                                      .stdout_file = "report.txt"});
    EXPECT_EQ(r.err, "xpcorr: " + std::string(name) + ": is the standard output\n");
    EXPECT_TRUE(r.exited(2));
    EXPECT_EQ(read_file(s.file("report.txt")), "");
  }
}

// A table the system refuses half-way (here a file size limit between the
// report's 2001 bytes and the table's size) leaves the report complete,
// the old table as it was and no temporary file.
TEST(table, refused_half_way_leaves_the_old_table) {
  StartDir s;
  std::ofstream(s.file("old.yaml")) << "old\n";
  const std::set<std::string> before = s.names();
  ChildResult r = run_child(
      [] {
        const rlimit limit{2050, 2050};
        setrlimit(RLIMIT_FSIZE, &limit);
        signal(SIGXFSZ, SIG_IGN);
        char* argv[] = {const_cast<char*>(XPCORR_BINARY), const_cast<char*>("-C"),
                        const_cast<char*>("fits"),        const_cast<char*>("--table"),
                        const_cast<char*>("old.yaml"),    nullptr};
        execv(XPCORR_BINARY, argv);
        _exit(127);
      },
      {.dir = s.path()});
  EXPECT_EQ(r.out, sample_report);
  EXPECT_EQ(r.err, "xpcorr: cannot write old.yaml: File too large\n");
  EXPECT_TRUE(r.exited(1));
  EXPECT_EQ(read_file(s.file("old.yaml")), "old\n");
  EXPECT_EQ(s.names(), before);
}

// The run holds the nine Monte Carlo files open at once, then opens the
// data files on the same units, each closing the file its unit held: with
// room for nine descriptors beside the three standard ones it completes.
TEST(run, holds_nine_fit_files_open_at_most) {
  StartDir s;
  ChildResult r = run_child(
      [] {
        const rlimit limit{12, 12};
        setrlimit(RLIMIT_NOFILE, &limit);
        close_range(3, ~0u, 0);  // nothing open beyond the standard three
        char* argv[] = {const_cast<char*>(XPCORR_BINARY), nullptr};
        execv(XPCORR_BINARY, argv);
        _exit(127);
      },
      {.dir = s.file("fits")});
  EXPECT_EQ(r.out, sample_report);
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(r.exited(0));
}

// A value that is not a finite number, or no measurement (0 from a failed
// fit, below 0 from a negative count), never reaches a table: the report
// is complete as without --table, the old table stays as it was, the
// check's warnings come first, and one line names the value, its bin and
// the fit value behind it. A negated matched count gives the sample's
// rate of its bin (0.13157839, the stored table's) negated.
TEST(table, refused_when_a_value_is_not_finite_or_not_above_0) {
  const struct {
    const char* name;
    const char* bytes;
    std::string_view err;
  } cases[] = {
      {"fits/mcfit3.dat", "0 1.86471 0.008089 30367.2 98811.81 377.39\n",
       "fits/mcfit3.dat:1:1: warning: the matched count '0' is not above 0 but divides a fitted "
       "yield above 0: the rates of bin 4 (xp 0.05 to 0.1) are infinite\n"
       "xpcorr: cannot write old.yaml: the rate of bin 4 (xp 0.05 to 0.1) is infinite, as the "
       "matched count of mcfit3.dat is 0 (xpcorr --check examines the fit files)\n"},
      {"fits/dafit6.dat", "1 1.86 0.008 4 1e39 6\n",
       "fits/dafit6.dat:1:16: warning: '1e39' is beyond single precision and is read as infinite\n"
       "xpcorr: cannot write old.yaml: the rate of bin 7 (xp 0.2 to 0.3) is infinite, as the "
       "fitted yield of dafit6.dat is beyond single precision (xpcorr --check examines the fit "
       "files)\n"},
      {"fits/mcfit8.dat", "1e-38 1.86 0.01 1 1 0.1\n",
       "fits/mcfit8.dat:1:1: warning: fitted over matched is 1e+38 (the fitted yield '1' over the "
       "matched count '1e-38'), outside 0.8 to 1.25: the fit does not recover its matched count\n"
       "fits/mcfit8.dat:1:1: warning: the efficiency matched/generated, 4.61e-43 in bin 9 (xp 0.5 "
       "to 1), is more than a factor 4 from its one neighbour's 0.41\n"
       "fits/dafit8.dat:1:46: warning: the data yield over the matched count, 6.62e+41 in bin 9 "
       "(xp "
       "0.5 to 1), is more than a factor 1.3 from its median over the bins, 0.866 (Monte Carlo or "
       "data files of two bins swapped?)\n"
       "xpcorr: cannot write old.yaml: the rate of bin 9 (xp 0.5 to 1) is infinite, as the "
       "fitted yield of dafit8.dat is too large for the matched count of mcfit8.dat (xpcorr "
       "--check examines the fit files)\n"},
      {"fits/dafit3.dat", "137681.0 1.86426 0.008493 55543.5 0.0 389.61\n",
       "fits/dafit3.dat:1:35: warning: the fitted yield '0.0' is not above 0: the data rate of bin "
       "4 (xp 0.05 to 0.1) is 0 in every table\n"
       "xpcorr: cannot write old.yaml: the rate of bin 4 (xp 0.05 to 0.1) is 0, not above 0: a "
       "failed fit is no measurement (xpcorr --check examines the fit files)\n"},
      {"fits/mcfit4.dat", "-55915.0 1.86484 0.008581 24019.2 55234.17 295.60\n",
       "fits/mcfit4.dat:1:1: warning: the matched count '-55915.0' is not above 0 but divides a "
       "fitted yield above 0: the rates of bin 5 (xp 0.1 to 0.15) are negative\n"
       "xpcorr: cannot write old.yaml: the rate of bin 5 (xp 0.1 to 0.15) is -0.13157839, not "
       "above 0: a failed fit is no measurement (xpcorr --check examines the fit files)\n"},
  };
  for (const auto& c : cases) {
    StartDir s;
    std::ofstream(s.file(c.name), std::ios::trunc) << c.bytes;
    std::ofstream(s.file("old.yaml")) << "old\n";
    ASSERT_TRUE(c.err.empty() || c.err.back() == '\n');
    const std::set<std::string> before = s.names();
    const ChildResult plain = s.run({"-C", "fits"});
    const ChildResult r = s.run({"-C", "fits", "--table", "old.yaml"});
    EXPECT_EQ(lines_of(r.out).size(), 74u) << c.name;
    EXPECT_EQ(r.out, plain.out) << c.name;
    EXPECT_EQ(r.err, c.err) << c.name;
    EXPECT_TRUE(r.exited(1)) << c.name;
    EXPECT_EQ(read_file(s.file("old.yaml")), "old\n") << c.name;
    EXPECT_EQ(s.names(), before) << c.name;
  }
}

// The table's first lines name the program and, for each fit file, the
// SHA-256 of its bytes exactly as the sha256sum program prints it, then
// the check's counts; the README's one-line check with `sha256sum -c` in
// the fit directory passes, and fails once a fit file is edited; a file
// replaced between two runs is digested anew.
TEST(table, names_each_fit_file_by_its_sha256) {
  StartDir s;
  const ChildResult r = s.run({"-C", "fits", "--table", "t.yaml"});
  ASSERT_TRUE(r.exited(0));
  const std::vector<std::string> table = lines_of(read_file(s.file("t.yaml")));
  ASSERT_GE(table.size(), 19u);
#if XPCORR_SHA256
  EXPECT_EQ(table[0], "# xpcorr " XPCORR_VERSION
                      " from these fit files (SHA-256, as sha256sum prints it):\n");
  std::string names;
  for (const char* kind : {"mcfit", "dafit"})
    for (int b = 0; b < 9; ++b) names += std::string(" ") + kind + std::to_string(b) + ".dat";
  auto shell = [&s](const std::string& script) {
    return run_program("/bin/sh", {.dir = s.file("fits"), .args = {"-c", script}});
  };
  const ChildResult sums = shell("sha256sum" + names);
  ASSERT_TRUE(sums.exited(0)) << sums.err;
  std::string digests;
  for (std::size_t i = 1; i <= 18; ++i) digests += table[i].substr(2);
  EXPECT_EQ(table[1].substr(0, 2), "# ");
  EXPECT_EQ(digests, sums.out);

  const std::string check = "grep -o '[0-9a-f]\\{64\\}  ..fit.\\.dat' ../t.yaml | sha256sum -c";
  const ChildResult passed = shell(check);
  EXPECT_TRUE(passed.exited(0)) << passed.out << passed.err;
  EXPECT_EQ(lines_of(passed.out).size(), 18u);
  std::ofstream(s.file("fits/dafit5.dat"), std::ios::app) << "\n";
  const ChildResult failed = shell(check);
  EXPECT_TRUE(failed.exited(1));
  EXPECT_NE(failed.out.find("dafit5.dat: FAILED\n"), std::string::npos) << failed.out;

  // A file replaced by another between two runs: the second table names
  // the bytes the second run read, as sha256sum digests them.
  s.write("fits/new.dat", "  55356.0 1.86445 0.009313 27105.3 28250.88 247.04 / refit\n");
  fs::rename(s.file("fits/new.dat"), s.file("fits/dafit5.dat"));
  const ChildResult again = s.run({"-C", "fits", "--table", "t.yaml"});
  ASSERT_TRUE(again.exited(0)) << again.err;
  const std::vector<std::string> second = lines_of(read_file(s.file("t.yaml")));
  ASSERT_GE(second.size(), 20u);
  std::string redigested;
  for (std::size_t i = 1; i <= 18; ++i) redigested += second[i].substr(2);
  const ChildResult resums = shell("sha256sum" + names);
  EXPECT_EQ(redigested, resums.out);
  EXPECT_NE(redigested, digests);
  EXPECT_EQ(second[19], "# xpcorr --check of these fit files: 0 errors, 0 warnings\n");
#else
  EXPECT_EQ(table[0], "# xpcorr " XPCORR_VERSION
                      "; the fit files were not digested: built without a SHA-256 library\n");
#endif
}

}  // namespace
