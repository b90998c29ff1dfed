// Runs of the built program with options, from a start directory whose
// fits/ holds the sample fit files: help, version and usage errors, the -C
// directory, and the --table file: its values against the report and an
// independent computation, and every case where it must not be written.

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
#include <yaml-cpp/yaml.h>

#include "recio/formatted_output.hpp"
#include "support/child.hpp"

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

  ChildResult run(const std::vector<std::string>& args, bool stdin_closed = false) const {
    std::map<std::string, std::string> before = fit_files();
    ChildResult r = run_program(XPCORR_BINARY,
                                {.dir = dir_.path(), .args = args, .stdin_closed = stdin_closed});
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
      {{"-C"}, "", error("xpcorr: option '-C' needs an argument"), 2},
      {{"--directory"}, "", error("xpcorr: option '--directory' needs an argument"), 2},
      {{"--dir="}, "", error("xpcorr: option '--dir' needs an argument"), 2},
      {{"-C", ""}, "", error("xpcorr: option '-C' needs an argument"), 2},
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
           {"-C, --directory=DIR", "--table=FILE", "-h, --help", "-V, --version"})
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
void expect_allowed_keys(const YAML::Node& node) {
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
  if (node.IsMap()) {
    for (const auto& kv : node) {
      EXPECT_TRUE(allowed.count(kv.first.Scalar())) << kv.first.Scalar();
      expect_allowed_keys(kv.second);
    }
  } else if (node.IsSequence()) {
    for (const auto& item : node) expect_allowed_keys(item);
  }
}

// One dependent variable against the report records from `first` (62 for
// the rate, 69 for the fragmentation function): each value is written
// with its shortest digits, and edited under the record's F field it gives
// the record. Bin 4 must be `bin4`, computed apart from the program.
void expect_variable(const YAML::Node& var, const char* name,
                     const std::vector<std::string>& report, int first, int width, int decimals,
                     const std::array<const char*, 3>& bin4) {
  EXPECT_EQ(var["header"]["name"].Scalar(), name);
  ASSERT_EQ(var["qualifiers"].size(), 1u);
  EXPECT_EQ(var["qualifiers"][0]["name"].Scalar(), "BR");
  EXPECT_EQ(var["qualifiers"][0]["value"].Scalar(), "0.8883");
  const YAML::Node values = var["values"];
  ASSERT_EQ(values.size(), 6u);
  for (size_t i = 0; i < 6; ++i) {
    const YAML::Node errors = values[i]["errors"];
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0]["label"].Scalar(), "stat");
    EXPECT_EQ(errors[1]["label"].Scalar(), "sys");
    const std::array<std::string, 3> texts = {values[i]["value"].Scalar(),
                                              errors[0]["symerror"].Scalar(),
                                              errors[1]["symerror"].Scalar()};
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
  } cases[] = {
      {nullptr,
       {"0.27054843", "0.021102779", "0.040311716"},
       {"5.410969", "0.42205557", "0.80623436"},
       " 0.2705 0.0211 0.0403\n"},
      {"137681.0 1.86426 0.008493 55543.5 8213703 389.61\n",
       {"27.054844", "2.110278", "4.031172"},
       {"541.09686", "42.205555", "80.623436"},
       " ****** 2.1103 4.0312\n"},
  };
  const std::array<const char*, 7> edges = {"0.05", "0.1", "0.15", "0.2", "0.3", "0.5", "1.0"};
  for (const auto& c : cases) {
    StartDir s;
    if (c.dafit3) std::ofstream(s.file("fits/dafit3.dat"), std::ios::trunc) << c.dafit3;
    const ChildResult plain = s.run({"-C", "fits"});
    const ChildResult r = s.run({"-C", "fits", "--table", "t.yaml"});
    EXPECT_EQ(r.out, plain.out);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(r.exited(0));
    const std::vector<std::string> report = lines_of(r.out);
    ASSERT_EQ(report.size(), 74u);
    EXPECT_EQ(report[61], c.record62);
    if (!c.dafit3) {
      EXPECT_EQ(r.out, sample_report);
      EXPECT_EQ(data_of(read_file(s.file("t.yaml"))), read_file(SAMPLE_TABLE))
          << "not the stored table";
    }

    const YAML::Node t = YAML::LoadFile(s.file("t.yaml"));
    ASSERT_TRUE(t.IsMap());
    EXPECT_EQ(t.size(), 2u);
    expect_allowed_keys(t);
    ASSERT_EQ(t["independent_variables"].size(), 1u);
    const YAML::Node x = t["independent_variables"][0];
    EXPECT_EQ(x["header"]["name"].Scalar(), "x_p");
    ASSERT_EQ(x["values"].size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
      EXPECT_EQ(x["values"][i]["low"].Scalar(), edges[i]);
      EXPECT_EQ(x["values"][i]["high"].Scalar(), edges[i + 1]);
    }
    ASSERT_EQ(t["dependent_variables"].size(), 2u);
    expect_variable(t["dependent_variables"][0], "fragmentation function", report, 69, 5, 3,
                    c.frag4);
    expect_variable(t["dependent_variables"][1], "rate", report, 62, 6, 4, c.rate4);
  }
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
    const YAML::Node t = YAML::LoadFile(s.file("t.yaml"));
    expect_variable(t["dependent_variables"][0], "fragmentation function", report, 69, 5, 3, {});
    expect_variable(t["dependent_variables"][1], "rate", report, 62, 6, 4, {});
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
      EXPECT_EQ(old.substr(0, 22), "independent_variables:");
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
    const ChildResult r = s.run({"-C", "fits", "--table", c.name}, c.stdin_closed);
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

}  // namespace
