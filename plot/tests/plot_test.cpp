// Runs of xpcorr-plot in a scratch directory on hand-written results
// tables: the picture's format by its first bytes, the exact messages and
// exit statuses, and nothing but a complete picture ever left behind.

#include <filesystem>
#include <set>
#include <string_view>

#include <gtest/gtest.h>

#include "../../tests/child.hpp"

namespace {

namespace fs = std::filesystem;

// The sample's fragmentation function and rates, bins 4 to 9.
constexpr std::string_view sample_table = R"(independent_variables:
- header: {name: x_p}
  values:
  - {low: 0.05, high: 0.1}
  - {low: 0.1, high: 0.15}
  - {low: 0.15, high: 0.2}
  - {low: 0.2, high: 0.3}
  - {low: 0.3, high: 0.5}
  - {low: 0.5, high: 1.0}
dependent_variables:
- header: {name: fragmentation function}
  qualifiers:
  - {name: BR, value: 0.8883}
  values:
  - value: 6.4157896
    errors:
    - {symerror: 0.50043154, label: stat}
    - {symerror: 0.9559527, label: sys}
  - value: 3.3
    errors: [{symerror: 0.198, label: stat}, {symerror: 0.33, label: sys}]
  - value: 1.9
    errors: [{symerror: 0.133, label: stat}, {symerror: 0.171, label: sys}]
  - value: 0.97
    errors: [{symerror: 0.0776, label: stat}, {symerror: 0.097, label: sys}]
  - value: 0.34
    errors: [{symerror: 0.034, label: stat}, {symerror: 0.0408, label: sys}]
  - value: 0.049
    errors: [{symerror: 0.00735, label: stat}, {symerror: 0.00784, label: sys}]
- header: {name: rate}
  qualifiers:
  - {name: BR, value: 0.8883}
  values:
  - value: 0.32078946
    errors: [{symerror: 0.025021577, label: stat}, {symerror: 0.047797635, label: sys}]
  - value: 0.165
    errors: [{symerror: 0.0099, label: stat}, {symerror: 0.0165, label: sys}]
  - value: 0.095
    errors: [{symerror: 0.00665, label: stat}, {symerror: 0.00855, label: sys}]
  - value: 0.097
    errors: [{symerror: 0.00776, label: stat}, {symerror: 0.0097, label: sys}]
  - value: 0.068
    errors: [{symerror: 0.0068, label: stat}, {symerror: 0.00816, label: sys}]
  - value: 0.0245
    errors: [{symerror: 0.003675, label: stat}, {symerror: 0.00392, label: sys}]
)";

// The sample table with the first `from` replaced by `to`.
std::string edited(std::string_view from, std::string_view to) {
  std::string t(sample_table);
  size_t at = t.find(from);
  if (at == std::string::npos) throw std::logic_error("no " + std::string(from) + " in the table");
  return t.replace(at, from.size(), to);
}

std::set<std::string> names_in(const ScratchDir& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir.path())) names.insert(e.path().filename());
  return names;
}

ChildResult plot(const ScratchDir& dir, const std::vector<std::string>& args) {
  return run_program(PLOT_BINARY, {.dir = dir.path(), .args = args});
}

const std::string hint = "Try 'xpcorr-plot --help' for more information.\n";

TEST(XpcorrPlot, DrawsEachFormatFromOneOrTwoTables) {
  struct Case { const char* picture; std::string_view magic, other_magic; };
  static constexpr Case cases[] = {
      {"f.svg", "<?xml", "<svg"}, {"f.pdf", "%PDF-", "%PDF-"}, {"f.png", "\x89PNG\r\n\x1a\n", "\x89PNG\r\n\x1a\n"}};
  for (const Case& c : cases)
    for (bool two : {false, true}) {
      SCOPED_TRACE(std::string(c.picture) + (two ? ", two tables" : ", one table"));
      ScratchDir dir;
      dir.write("a.yaml", std::string(sample_table));
      dir.write("b.yaml", edited("value: 3.3", "value: 3.5"));
      dir.write(c.picture, "an older picture");  // replaced only by a complete one
      std::vector<std::string> args{"a.yaml", "-o", c.picture};
      if (two) args.insert(args.end(), {"b.yaml", "--label", "fits #1", "-l", "fits #2"});
      ChildResult r = plot(dir, args);
      EXPECT_TRUE(r.exited(0)) << r.err;
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(r.err, "");
      std::string bytes = dir.read(c.picture);
      EXPECT_TRUE(bytes.starts_with(c.magic) || bytes.starts_with(c.other_magic)) << bytes.substr(0, 16);
      EXPECT_EQ(names_in(dir), (std::set<std::string>{"a.yaml", "b.yaml", c.picture}));
    }
}

TEST(XpcorrPlot, CommandLineErrorsAreUsageErrors) {
  struct Case { std::vector<std::string> args; std::string err; };
  const Case cases[] = {
      {{"a.yaml", "-o", "f.gif"}, "xpcorr-plot: cannot tell the format of 'f.gif': use .svg, .pdf or .png\n"},
      {{"a.yaml", "-o", "picture"}, "xpcorr-plot: cannot tell the format of 'picture': use .svg, .pdf or .png\n"},
      {{"a.yaml"}, "xpcorr-plot: no picture file given (-o FILE)\n"},
      {{"-o", "f.png"}, "xpcorr-plot: no table given\n"},
      {{"a.yaml", "-o", "f.png", "-l", "x", "-l", "y"}, "xpcorr-plot: more labels (2) than tables (1)\n"},
      {{"a.yaml", "-o", "f.png", "--colour"}, "xpcorr-plot: unknown option '--colour'\n"},
      {{"a.yaml", "--output"}, "xpcorr-plot: option '--output' needs a value\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.err);
    ScratchDir dir;
    dir.write("a.yaml", std::string(sample_table));
    ChildResult r = plot(dir, c.args);
    EXPECT_TRUE(r.exited(2));
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err + hint);
    EXPECT_EQ(names_in(dir), std::set<std::string>{"a.yaml"});
  }
  ScratchDir dir;
  ChildResult help = plot(dir, {"--help"}), version = plot(dir, {"-V"});
  EXPECT_TRUE(help.exited(0) && help.out.starts_with("Usage: xpcorr-plot TABLE... -o FILE") && help.err.empty());
  EXPECT_TRUE(version.exited(0) && version.err.empty());
  EXPECT_EQ(version.out, "xpcorr-plot " XPCORR_VERSION "\n");
}

TEST(XpcorrPlot, FailureGivesOneLineAndLeavesNoPicture) {
  struct Case { std::string table, err; };
  const Case cases[] = {
      {"independent_variables: [x_p\n", "xpcorr-plot: bad.yaml: not YAML: line 2, column 1: end of sequence flow not found\n"},
      {edited("{name: fragmentation function}", "{name: ff}"),
       "xpcorr-plot: bad.yaml: dependent variable 'fragmentation function' not found\n"},
      {edited("  - {low: 0.5, high: 1.0}\n", ""),
       "xpcorr-plot: bad.yaml: 'fragmentation function' has 6 values for 5 x_p bins\n"},
      {edited("label: stat}", "label: stat, comment: fit}"),
       "xpcorr-plot: bad.yaml: key 'comment' is not allowed in a HEPData table\n"},
      {edited("value: 1.9", "value: 1.9.1"), "xpcorr-plot: bad.yaml: value 3 of 'fragmentation function' is not a number\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.err);
    ScratchDir dir;
    dir.write("good.yaml", std::string(sample_table));
    dir.write("bad.yaml", c.table);
    ChildResult r = plot(dir, {"good.yaml", "bad.yaml", "-o", "f.png"});
    EXPECT_TRUE(r.exited(1));
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(names_in(dir), (std::set<std::string>{"good.yaml", "bad.yaml"}));
  }
  // A picture drawn but not renamed into place leaves no temporary file.
  ScratchDir dir;
  dir.write("good.yaml", std::string(sample_table));
  fs::create_directory(dir.file("f.png"));
  ChildResult r = plot(dir, {"good.yaml", "-o", "f.png"});
  EXPECT_TRUE(r.exited(1));
  EXPECT_EQ(r.err, "xpcorr-plot: cannot write f.png: Is a directory\n");
  EXPECT_EQ(names_in(dir), (std::set<std::string>{"good.yaml", "f.png"}));
}

TEST(XpcorrPlot, PointsOffTheLogAxisAreNamedAndLeftOut) {
  ScratchDir dir;
  std::string table = edited("value: 3.3", "value: -3.3");
  table.replace(table.find("value: 1.9"), 10, "value: .nan");
  table.replace(table.find("value: 0.97"), 11, "value: .inf");
  table.replace(table.find("symerror: 0.0408"), 16, "symerror: -.inf");
  dir.write("odd.yaml", table);
  ChildResult r = plot(dir, {"odd.yaml", "-o", "f.png"});
  EXPECT_TRUE(r.exited(0));
  EXPECT_EQ(r.err,
            "xpcorr-plot: odd.yaml: x_p 0.1 to 0.15 left out: value is not positive (-3.3)\n"
            "xpcorr-plot: odd.yaml: x_p 0.15 to 0.2 left out: value is not finite (nan)\n"
            "xpcorr-plot: odd.yaml: x_p 0.2 to 0.3 left out: value is not finite (inf)\n"
            "xpcorr-plot: odd.yaml: x_p 0.3 to 0.5 left out: an error is not finite (0.34)\n");
  EXPECT_TRUE(dir.read("f.png").starts_with("\x89PNG\r\n\x1a\n"));
}

}  // namespace
