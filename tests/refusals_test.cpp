// Every refusal of xpcorr and xpcorr-plot, each cause of each program's
// one list of failures, run end to end: standard error byte for byte and
// the exit status. The README and both man pages list the same refusals.
// Only xpcorr-plot's "cannot draw", which needs PLplot itself to fail, has
// no case here.

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/child.hpp"

namespace {

namespace fs = std::filesystem;

// A usage error's line and the hint after it.
std::string usage(const std::string& program, const std::string& line) {
  return program + ": " + line + "\nTry '" + program + " --help' for more information.\n";
}

std::string xpcorr_usage(const std::string& line) { return usage("xpcorr", line); }
std::string plot_usage(const std::string& line) { return usage("xpcorr-plot", line); }

// A table of two x bins, 0 to 1 and 1 to 2, and one dependent variable
// `y`, its values given as `values` ("[{value: 1}, {value: 2}]").
std::string table(const std::string& values) {
  return "independent_variables:\n- header: {name: x}\n  values: [{low: 0, high: 1}, {low: 1, "
         "high: 2}]\ndependent_variables:\n- header: {name: y}\n  values: " +
         values + "\n";
}

// A table over x and a second variable named `second`, `slices` values of
// it for each of x's two bins.
std::string two_variables(int slices, const std::string& second) {
  std::string t = "independent_variables:\n- header: {name: x}\n  values:\n";
  for (int i = 0; i < 2 * slices; ++i)
    t += "  - {low: " + std::to_string(i % 2) + ", high: " + std::to_string(i % 2 + 1) + "}\n";
  t += "- header: {name: '" + second + "'}\n  values:\n";
  for (int i = 0; i < 2 * slices; ++i) t += "  - {value: " + std::to_string(i / 2) + "}\n";
  t += "dependent_variables:\n- header: {name: y}\n  values:\n";
  for (int i = 0; i < 2 * slices; ++i) t += "  - {value: 1}\n";
  return t;
}

// The scratch directory of every case: the sample fit files in fits/, the
// same with mcfit3.dat's matched count 0 in zero/, a directory, a FIFO,
// links to a fit file, and tables for xpcorr-plot.
void lay_out(const ScratchDir& dir) {
  for (const char* folder : {"fits", "zero"}) {
    fs::create_directory(dir.file(folder));
    for (const auto& e : fs::directory_iterator(SAMPLE_DIR))
      if (e.path().extension() == ".dat")
        dir.write(std::string(folder) + "/" + e.path().filename().string(), read_file(e.path()));
  }
  dir.write("zero/mcfit3.dat", "0 1.86471 0.008089 30367.2 98811.81 377.39\n");
  fs::create_directory(dir.file("out"));
  fs::create_directory(dir.file("f.png"));
  ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0644), 0);
  fs::create_symlink("fits/dafit0.dat", dir.file("link.yaml"));
  dir.write("t.yaml", table("[{value: 1}, {value: 2}]"));
  dir.write("apart.yaml",
            "independent_variables:\n- header: {name: x}\n  values: [{value: 5}, {value: 6}]\n"
            "dependent_variables:\n- header: {name: y}\n  values: [{value: 1}, {value: 2}]\n");
  dir.write("text.yaml", "just some text\n");
  dir.write("xx.yaml", two_variables(2, "x"));
  dir.write("xy.yaml", two_variables(2, "y"));
  dir.write("eleven.yaml", two_variables(11, "y"));
  dir.write("nothing.yaml", table("[{value: '-'}, {value: -1}]"));
}

struct Refusal {
  const char* program;
  std::vector<std::string> args;
  std::string err;
  int status;
  Stdout stdout_mode = Stdout::capture;
};

// One row for each cause, and one for each way to give the new usage
// errors (a repeated -C, --table or -o, '-' as the table). A run refused
// before the report prints nothing; one refused after it, the whole
// report.
TEST(refusals, each_is_one_line_with_its_exit_status) {
  const Refusal refusals[] = {
      {"xpcorr", {"-x"}, xpcorr_usage("unknown option '-x'"), 2},
      {"xpcorr", {"--frobnicate=1"}, xpcorr_usage("unknown option '--frobnicate'"), 2},
      {"xpcorr", {"-C"}, xpcorr_usage("option '-C' needs an argument"), 2},
      {"xpcorr", {"--table="}, xpcorr_usage("option '--table' needs an argument"), 2},
      {"xpcorr", {"--check=yes"}, xpcorr_usage("option '--check' takes no argument"), 2},
      {"xpcorr",
       {"-C", "out", "-C", "fits"},
       xpcorr_usage("option '-C' may be given only once"),
       2},
      {"xpcorr",
       {"--directory=out", "--dir", "fits"},
       xpcorr_usage("option '--dir' may be given only once"),
       2},
      {"xpcorr",
       {"-C", "fits", "--table", "a.yaml", "--table=b.yaml"},
       xpcorr_usage("option '--table' may be given only once"),
       2},
      {"xpcorr",
       {"-C", "fits", "--table", "-"},
       xpcorr_usage("option '--table' cannot be '-': standard output carries the report"),
       2},
      {"xpcorr",
       {"--table=-", "-C", "fits"},
       xpcorr_usage("option '--table' cannot be '-': standard output carries the report"),
       2},
      {"xpcorr", {"fits"}, xpcorr_usage("unexpected argument 'fits'"), 2},
      {"xpcorr", {"fits", "-C", "fits"}, xpcorr_usage("unexpected argument 'fits'"), 2},
      {"xpcorr",
       {"--check", "--table", "t.yaml"},
       xpcorr_usage("option '--check' cannot be used with '--table'"),
       2},
#ifndef XPCORR_ZLIB
      {"xpcorr",
       {"-C", "fits", "--table", "t.yoda.gz"},
       "xpcorr: t.yoda.gz: cannot be compressed: xpcorr was built without zlib\n",
       2},
#endif
      {"xpcorr", {"-C", "missing"}, "xpcorr: missing: No such file or directory\n", 2},
      {"xpcorr", {"-C", "fits", "--table", "out"}, "xpcorr: out: is a directory\n", 2},
      {"xpcorr", {"-C", "fits", "--table", "fifo"}, "xpcorr: fifo: is not a regular file\n", 2},
      {"xpcorr",
       {"-C", "fits", "--table", "link.yaml"},
       "xpcorr: link.yaml: is the fit file dafit0.dat\n",
       2},
      {"xpcorr",
       {"-C", "fits", "--table", "report.txt"},
       "xpcorr: report.txt: is the standard output\n",
       2,
       Stdout::file},
      {"xpcorr",
       {"-C", "fits", "--table", "nowhere/t.yaml"},
       "xpcorr: cannot write nowhere/t.yaml: No such file or directory\n",
       1},
      {"xpcorr",
       {"-C", "zero", "--table", "t.yaml"},
       "zero/mcfit3.dat:1:1: warning: the matched count '0' is not above 0 but divides a fitted "
       "yield above 0: the rates of bin 4 (xp 0.05 to 0.1) are infinite\n"
       "xpcorr: cannot write t.yaml: the rate of bin 4 (xp 0.05 to 0.1) is infinite, as the "
       "matched count of mcfit3.dat is 0 (xpcorr --check examines the fit files)\n",
       1},
      {"xpcorr",
       {"--help"},
       "xpcorr: cannot write standard output: No space left on device\n",
       1,
       Stdout::full_disk},
#ifdef PLOT_BINARY
      {"xpcorr-plot", {"t.yaml", "-o", "f.svg", "-x"}, plot_usage("unknown option '-x'"), 2},
      {"xpcorr-plot", {"t.yaml", "--colour"}, plot_usage("unknown option '--colour'"), 2},
      {"xpcorr-plot", {"t.yaml", "--output"}, plot_usage("option '--output' needs a value"), 2},
      {"xpcorr-plot",
       {"t.yaml", "-o", "a.svg", "-o", "b.svg"},
       plot_usage("option '-o' may be given only once"),
       2},
      {"xpcorr-plot",
       {"-o", "a.svg", "t.yaml", "--output=b.svg"},
       plot_usage("option '--output' may be given only once"),
       2},
      {"xpcorr-plot", {"-o", "f.svg"}, plot_usage("no table given"), 2},
      {"xpcorr-plot", {"t.yaml"}, plot_usage("no picture file given (-o FILE)"), 2},
      {"xpcorr-plot",
       {"t.yaml", "-o", "f.svg", "-l", "a", "-l", "b"},
       plot_usage("more labels (2) than tables (1)"),
       2},
      {"xpcorr-plot",
       {"t.yaml", "-o", "f.svg", "-c", "1", "-c", "1"},
       plot_usage("more columns (2) than tables (1)"),
       2},
      {"xpcorr-plot",
       {"t.yaml", "-o", "f.svg", "--slice", "1", "--slice", "1"},
       plot_usage("more slices (2) than tables (1)"),
       2},
      {"xpcorr-plot",
       {"t.yaml", "-o", "f.svg", "-c", "0"},
       plot_usage("column '0' is not a position: 1 is the first dependent variable"),
       2},
      {"xpcorr-plot",
       {"t.yaml", "-o", "f.svg", "--slice", "x"},
       plot_usage("slice 'x' is not a position: 1 is the first, 0 draws each one"),
       2},
      {"xpcorr-plot",
       {"t.yaml", "-o", "f.svg", "--curve", "2"},
       plot_usage("curve '2' is not the position of a table (1 to 1)"),
       2},
      {"xpcorr-plot",
       {"t.yaml", "-o", "f.svg", "--size", "1,1"},
       plot_usage("size '1,1' is not W,H in cm, mm or in (4 cm to 100 cm each), one-column or "
                  "two-column"),
       2},
      {"xpcorr-plot",
       {"t.yaml", "-o", "f.svg", "--xrange", "2,1"},
       plot_usage("option '--xrange' needs LO,HI with LO below HI (either may be empty), not "
                  "'2,1'"),
       2},
      {"xpcorr-plot",
       {"t.yaml", "-o", "f.svg", "--logx", "--xrange", "0,1"},
       plot_usage("option '--xrange' needs values above 0 on a logarithmic axis"),
       2},
      {"xpcorr-plot",
       {"t.yaml", "-o", "f.svg", "--legend", "centre"},
       plot_usage("place 'centre' is not top-right, top-left, bottom-left, bottom-right, outside "
                  "or none"),
       2},
      {"xpcorr-plot",
       {"t.yaml", "-o", "f.gif"},
       plot_usage("cannot tell the format of 'f.gif': use .svg, .pdf, .png or .tsv"),
       2},
      {"xpcorr-plot",
       {"text.yaml", "-o", "f.svg"},
       "xpcorr-plot: text.yaml: no independent variables: not a HEPData data table\n",
       1},
      {"xpcorr-plot",
       {"none.yaml", "-o", "f.svg"},
       "xpcorr-plot: none.yaml: cannot read: No such file or directory\n",
       1},
      {"xpcorr-plot",
       {"t.yaml", "-o", "f.svg", "-c", "2"},
       "xpcorr-plot: t.yaml: no dependent variable 2 (the table has 1)\n",
       1},
      {"xpcorr-plot",
       {"xy.yaml", "-o", "f.svg", "--slice", "3"},
       "xpcorr-plot: xy.yaml: no slice 3 (the table has 2)\n",
       1},
      {"xpcorr-plot",
       {"xx.yaml", "-o", "f.svg"},
       "xpcorr-plot: xx.yaml: a matrix, not a function of x: both independent variables are "
       "'x'\n",
       1},
      {"xpcorr-plot",
       {"nothing.yaml", "-o", "f.svg", "--log"},
       "xpcorr-plot: nothing.yaml: nothing to draw: all 2 points left out (first: x 0 to 1: "
       "value is not a number ('-'))\n",
       1},
      {"xpcorr-plot",
       {"eleven.yaml", "-o", "f.svg"},
       "xpcorr-plot: eleven.yaml: 11 slices, more than the 10 a picture tells apart: draw one "
       "with --slice N (1 to 11)\n",
       1},
      {"xpcorr-plot",
       {"t.yaml", "eleven.yaml", "-o", "f.svg"},
       "xpcorr-plot: eleven.yaml: 11 slices make 12 series, more than the 10 a picture tells "
       "apart: draw one with --slice N (1 to 11)\n",
       1},
      {"xpcorr-plot",
       {"t.yaml", "t.yaml", "t.yaml", "t.yaml", "t.yaml", "t.yaml", "t.yaml", "t.yaml", "t.yaml",
        "t.yaml", "t.yaml", "-o", "f.svg"},
       "xpcorr-plot: 11 tables, more than the 10 a picture tells apart\n",
       1},
      {"xpcorr-plot",
       {"t.yaml", "apart.yaml", "-o", "f.svg", "-r"},
       "xpcorr-plot: nothing to draw in the ratio panel: no point of another table can be "
       "divided by one of t.yaml\n",
       1},
      {"xpcorr-plot",
       {"t.yaml", "-o", "f.png"},
       "xpcorr-plot: cannot write f.png: Is a directory\n",
       1},
      {"xpcorr-plot",
       {"t.yaml", "-o", "-"},
       "xpcorr-plot: cannot write standard output: No space left on device\n",
       1,
       Stdout::full_disk},
#endif
  };
  for (const Refusal& r : refusals) {
    std::string what = r.program;
    for (const std::string& a : r.args) what += " " + a;
    SCOPED_TRACE(what);
    ScratchDir dir;
    lay_out(dir);
    const bool plot = std::string_view(r.program) == "xpcorr-plot";
#ifdef PLOT_BINARY
    const char* binary = plot ? PLOT_BINARY : XPCORR_BINARY;
#else
    const char* binary = XPCORR_BINARY;
#endif
    const ChildResult run = run_program(binary, {.dir = dir.path(),
                                                 .stdout_mode = r.stdout_mode,
                                                 .args = r.args,
                                                 .stdout_file = "report.txt"});
    EXPECT_EQ(run.err, r.err);
    EXPECT_TRUE(run.exited(r.status)) << run.status;
    const bool after_report = !plot && r.status == 1 && r.stdout_mode == Stdout::capture;
    if (after_report) {
      EXPECT_EQ(lines_of(run.out).size(), 74u);
    } else if (r.stdout_mode == Stdout::capture) {
      EXPECT_EQ(run.out, "");
    }
  }
}

}  // namespace
