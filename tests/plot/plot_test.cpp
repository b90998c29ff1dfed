// Runs of xpcorr-plot in a scratch directory on hand-written results
// tables and on copies of the example HEPData tables: the picture's format
// by its first bytes, the points as read, the exact messages and exit
// statuses, and nothing but a complete output ever left behind.

#include <charconv>
#include <cmath>
#include <filesystem>
#include <set>
#include <string_view>

#include <gtest/gtest.h>

#include "plot/latex.hpp"
#include "support/child.hpp"

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

// The example tables, copied into the scratch directory: the program under
// test reads nothing outside it.
void copy_examples(const ScratchDir& dir) {
  for (const auto& e : fs::directory_iterator(EXAMPLES_DIR))
    if (e.path().extension() != ".md") dir.write(e.path().filename(), read_file(e.path()));
}

const std::string hint = "Try 'xpcorr-plot --help' for more information.\n";

TEST(XpcorrPlot, DrawsEachFormatFromOneOrTwoTables) {
  struct Case {
    const char* picture;
    std::string_view magic, other_magic;
  };
  static constexpr Case cases[] = {{"f.svg", "<?xml", "<svg"},
                                   {"f.pdf", "%PDF-", "%PDF-"},
                                   {"f.png", "\x89PNG\r\n\x1a\n", "\x89PNG\r\n\x1a\n"}};
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
      EXPECT_TRUE(bytes.starts_with(c.magic) || bytes.starts_with(c.other_magic))
          << bytes.substr(0, 16);
      EXPECT_EQ(names_in(dir), (std::set<std::string>{"a.yaml", "b.yaml", c.picture}));
    }
}

TEST(XpcorrPlot, CommandLineErrorsAreUsageErrors) {
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const Case cases[] = {
      {{"a.yaml", "-o", "f.gif"},
       "xpcorr-plot: cannot tell the format of 'f.gif': use .svg, .pdf, .png or .tsv\n"},
      {{"a.yaml", "-o", "picture"},
       "xpcorr-plot: cannot tell the format of 'picture': use .svg, .pdf, .png or .tsv\n"},
      {{"a.yaml"}, "xpcorr-plot: no picture file given (-o FILE)\n"},
      {{"-o", "f.png"}, "xpcorr-plot: no table given\n"},
      {{"a.yaml", "-o", "f.png", "-l", "x", "-l", "y"},
       "xpcorr-plot: more labels (2) than tables (1)\n"},
      {{"a.yaml", "-o", "f.png", "-c", "1", "--column=2"},
       "xpcorr-plot: more columns (2) than tables (1)\n"},
      {{"a.yaml", "-o", "f.png", "-c", "0"},
       "xpcorr-plot: column '0' is not a position: 1 is the first dependent variable\n"},
      {{"a.yaml", "-o", "f.png", "-c", "2x"},
       "xpcorr-plot: column '2x' is not a position: 1 is the first dependent variable\n"},
      {{"a.yaml", "-o", "f.png", "--colour"}, "xpcorr-plot: unknown option '--colour'\n"},
      {{"a.yaml", "--output"}, "xpcorr-plot: option '--output' needs a value\n"},
      {{"a.yaml", "-o", "f.png", "-c"}, "xpcorr-plot: option '-c' needs a value\n"},
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
  EXPECT_TRUE(help.exited(0) && help.out.starts_with("Usage: xpcorr-plot TABLE... -o FILE") &&
              help.err.empty());
  EXPECT_TRUE(version.exited(0) && version.err.empty());
  EXPECT_EQ(version.out, "xpcorr-plot " XPCORR_VERSION "\n");
}

TEST(XpcorrPlot, EachFileThatIsNotADataTableIsRefusedInOneLine) {
  // Values shared by aliases, ten times more at each level: a million
  // nodes from a few hundred bytes.
  std::string aliases =
      "independent_variables:\n- header: {name: x}\n  values: [{value: 1}]\n"
      "dependent_variables:\n- header: {name: y}\n  values: [{value: 1}]\n  qualifiers:\n"
      "  - {value: 1, name: &a0 [1, 1, 1, 1, 1, 1, 1, 1, 1, 1]}\n";
  for (int i = 1; i <= 5; ++i) {
    std::string a = "*a" + std::to_string(i - 1);
    aliases += "  - {value: 1, name: &a" + std::to_string(i) + " [" + a;
    for (int k = 1; k < 10; ++k) aliases += ", " + a;
    aliases += "]}\n";
  }
  auto nested = [](int n) {
    return edited("value: 3.3", "value: " + std::string(n, '[') + std::string(n, ']'));
  };
  const std::string mb8 = std::string(8 << 20, '#');
  struct Case {
    std::string table, err;
    std::vector<std::string> more = {};
  };
  const Case cases[] = {
      {"independent_variables: [x_p\n",
       "not YAML: line 2, column 1: end of sequence flow not found"},
      {", x: 1\n", "not YAML: line 1, column 1: no node can start here"},
      {"", "empty: no YAML document"},
      {"# nothing but a comment\n", "empty: no YAML document"},
      {std::string(sample_table) + "---\n" + std::string(sample_table),
       "2 YAML documents: a data table is one"},
      {"just some text\n", "no independent variables: not a HEPData data table"},
      {"independent_variables: []\ndependent_variables: []\n",
       "no independent variables: not a HEPData data table"},
      {edited("dependent_variables:", "dependent_variables: []\nx:"),
       "key 'x' is not allowed in a HEPData table"},
      {edited("label: stat}", "label: stat, comment: fit}"),
       "key 'comment' is not allowed in a HEPData table"},
      {R"({"independent_variables": [{"header": {"name": "x"}, "values": [{"value": 1}]}],
          "dependent_variables": [{"header": {"name": "y"}}]})",
       "'y' has no values"},
      {edited("  - {low: 0.5, high: 1.0}\n", ""),
       "'fragmentation function' has 6 values, 'x_p' has 5"},
      {edited("  - value: 0.0245\n", "  - value: 0.0245\n  - value: 1\n"),
       "'rate' has 7 values, 'x_p' has 6"},
      {edited("{low: 0.5, high: 1.0}", "{low: 0.5}"), "point 6 of 'x_p' has 'low' but no 'high'"},
      {edited("{low: 0.1, high: 0.15}", "{high: 0.15}"),
       "point 2 of 'x_p' has 'high' but no 'low'"},
      {edited("{low: 0.5, high: 1.0}", "{low: 0.5, high: one}"),
       "high of point 6 of 'x_p' is not a number"},
      {edited("{low: 0.1, high: 0.15}", "{low: .nan, high: 0.15}"),
       "low of point 2 of 'x_p' is not a number"},
      {edited("{low: 0.1, high: 0.15}", "{value: '-'}"), "point 2 of 'x_p' is not a number"},
      {edited("{low: 0.1, high: 0.15}", "{}"), "point 2 of 'x_p' has no value"},
      {edited("  - value: 3.3\n    errors:", "  - errors:"),
       "point 2 of 'fragmentation function' has no value"},
      {edited("{symerror: 0.198, label: stat}", "{symerror: lots, label: stat}"),
       "error 1 of point 2 of 'fragmentation function' is not a number"},
      {edited("{symerror: 0.198, label: stat}", "{asymerror: {plus: 1%%, minus: 0.1}}"),
       "error 1 of point 2 of 'fragmentation function' is not a number"},
      {edited("{symerror: 0.198, label: stat}", "{label: stat}"),
       "error 1 of point 2 of 'fragmentation function' has neither 'symerror' nor 'asymerror'"},
      {edited("    errors: [{symerror: 0.198, label: stat}, {symerror: 0.33, label: sys}]",
              "    errors: 0.198"),
       "'errors' of point 2 of 'fragmentation function' is not a list"},
      {std::string(sample_table),
       "no dependent variable 3 (the table has 2)",
       {"-c", "1", "-c", "3"}},
      {nested(40), "nested deeper than 32 levels"},
      {nested(1000), "nested deeper than 32 levels"},
      {edited("{name: BR, value: 0.8883}", "{name: &a [*a], value: 0.8883}"),
       "nested deeper than 32 levels"},
      {aliases, "its aliases repeat nodes too often (over 4 per byte)"},
      {mb8 + "\n", "too large for a data table (over 8 MB)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.err);
    ScratchDir dir;
    dir.write("good.yaml", std::string(sample_table));
    dir.write("bad.yaml", c.table);
    std::vector<std::string> args{"good.yaml", "bad.yaml", "-o", "f.png"};
    args.insert(args.end(), c.more.begin(), c.more.end());
    ChildResult r = plot(dir, args);
    EXPECT_TRUE(r.exited(1));
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "xpcorr-plot: bad.yaml: " + c.err + "\n");
    EXPECT_EQ(names_in(dir), (std::set<std::string>{"good.yaml", "bad.yaml"}));
  }
  // A file that cannot be read, and a picture drawn but not renamed into
  // place, which leaves no temporary file.
  ScratchDir dir;
  dir.write("good.yaml", std::string(sample_table));
  fs::create_directory(dir.file("f.png"));
  ChildResult missing = plot(dir, {"good.yaml", "none.yaml", "-o", "g.png"});
  EXPECT_TRUE(missing.exited(1));
  EXPECT_EQ(missing.err, "xpcorr-plot: none.yaml: cannot read: No such file or directory\n");
  ChildResult r = plot(dir, {"good.yaml", "-o", "f.png"});
  EXPECT_TRUE(r.exited(1));
  EXPECT_EQ(r.err, "xpcorr-plot: cannot write f.png: Is a directory\n");
  EXPECT_EQ(names_in(dir), (std::set<std::string>{"good.yaml", "f.png"}));
}

TEST(XpcorrPlot, PointsAnAxisCannotDrawAreNamedAndLeftOut) {
  std::string table = edited("value: 3.3", "value: -3.3");
  table.replace(table.find("value: 1.9"), 10, "value: .nan");
  table.replace(table.find("value: 0.97"), 11, "value: .inf");
  table.replace(table.find("symerror: 0.0408"), 16, "symerror: -.inf");
  table.replace(table.find("value: 0.049"), 12, "value: 'n/a'");
  const std::string
      negative = "xpcorr-plot: odd.yaml: x_p 0.1 to 0.15 left out: value is not positive (-3.3)\n",
      nan = "xpcorr-plot: odd.yaml: x_p 0.15 to 0.2 left out: value is not finite (nan)\n",
      inf = "xpcorr-plot: odd.yaml: x_p 0.2 to 0.3 left out: value is not finite (inf)\n",
      error = "xpcorr-plot: odd.yaml: x_p 0.3 to 0.5 left out: an error is not finite (0.34)\n",
      text = "xpcorr-plot: odd.yaml: x_p 0.5 to 1 left out: value is not a number ('n/a')\n";
  // A negative value makes the automatic axis linear, where it is drawn;
  // the points file lists every point, the one whose value is text with
  // its value and errors empty, and names none.
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const Case cases[] = {
      {{"--log"}, negative + nan + inf + error + text},
      {{"--linear", "--log"}, negative + nan + inf + error + text},
      {{}, nan + inf + error + text},
      {{"--log", "--linear"}, nan + inf + error + text},
  };
  for (const Case& c : cases)
    for (const char* output : {"f.png", "f.tsv"}) {
      SCOPED_TRACE(c.err + output);
      ScratchDir dir;
      dir.write("odd.yaml", table);
      std::vector<std::string> args{"odd.yaml", "-o", output};
      args.insert(args.end(), c.args.begin(), c.args.end());
      ChildResult r = plot(dir, args);
      EXPECT_TRUE(r.exited(0));
      if (std::string_view(output) == "f.png") {
        EXPECT_EQ(r.err, c.err);
        EXPECT_TRUE(dir.read(output).starts_with("\x89PNG\r\n\x1a\n"));
      } else {
        EXPECT_EQ(r.err, "");
        const std::vector<std::string> lines = lines_of(dir.read(output));
        ASSERT_EQ(lines.size(), 7u);
        EXPECT_EQ(lines[3],
                  "odd.yaml\t0.15\t0.2\t0.175\tnan\t0.133\t0.133\t0.21663333076883623\t"
                  "0.21663333076883623\n");
        EXPECT_EQ(lines[6], "odd.yaml\t0.5\t1\t0.75\t\t\t\t\t\n");
      }
    }
}

// One line of the points file: the label and eight numbers.
struct Row {
  std::string label;
  double numbers[8];
};

// A line read back: every number must be the shortest decimal of a double.
Row read_row(const std::string& line) {
  Row row{};
  std::size_t tab = line.find('\t');
  row.label = line.substr(0, tab);
  for (double& v : row.numbers) {
    std::size_t start = tab + 1;
    tab = line.find_first_of("\t\n", start);
    std::string field = line.substr(start, tab - start);
    auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), v);
    EXPECT_TRUE(ec == std::errc() && end == field.data() + field.size()) << field;
    char buf[32];
    EXPECT_EQ(std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr), field);
  }
  EXPECT_EQ(tab, line.size() - 1) << line;
  return row;
}

TEST(XpcorrPlot, ExampleTablesReadIntoExactNumbers) {
  ScratchDir dir;
  copy_examples(dir);
  dir.write("a.yaml", std::string(sample_table));
  dir.write("points.tsv", "an older file");
  ChildResult r = plot(dir, {"a.yaml",
                             "published-style.yaml",
                             "positive-minus.yaml",
                             "curve.yaml",
                             "several-variables.yaml",
                             "several-variables.yaml",
                             "json-form.json",
                             "-o",
                             "points.tsv",
                             "-c",
                             "1",
                             "-c",
                             "1",
                             "-c",
                             "1",
                             "-c",
                             "1",
                             "-c",
                             "1",
                             "-c",
                             "2",
                             "-l",
                             "ours",
                             "-l",
                             "published",
                             "-l",
                             "xi",
                             "-l",
                             "curve",
                             "-l",
                             "trigger 5-7",
                             "-l",
                             "trigger 7-9"});
  EXPECT_TRUE(r.exited(0));
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  std::vector<std::string> lines = lines_of(dir.read("points.tsv"));
  ASSERT_EQ(lines.size(), 1u + 6 + 6 + 5 + 6 + 5 + 5 + 3);
  EXPECT_EQ(lines[0], "# table\tx_low\tx_high\tx\ty\tstat_down\tstat_up\ttotal_down\ttotal_up\n");
  // Worked by hand: each total is the root of the sum of squares, down and
  // up apart, a percentage taken of the value, a minus by its magnitude.
  struct Expect {
    std::size_t line;
    Row row;
  };
  const Expect expected[] = {
      // 0.50043154 (stat) and 0.9559527 (sys): root of 1.1642772909...
      {1,
       {"ours",
        {0.05, 0.1, 0.075, 6.4157896, 0.50043154, 0.50043154, 1.0790168167661065,
         1.0790168167661065}}},
      // stat 0.41, sys +0.62 -0.75, lumi 2.5% of 5.2 = 0.13: roots of 0.7475 and 0.5694.
      {7,
       {"published", {0.05, 0.1, 0.075, 5.2, 0.41, 0.41, 0.8645808232895291, 0.7545859791965392}}},
      // After the '-' bin 0.2 to 0.3: stat 0.012, sys +0.016 -0.019, 2.5%
      // of 0.281 = 0.007025: roots of 0.000554350625 and 0.000449350625.
      {11,
       {"published",
        {0.3, 0.5, 0.4, 0.281, 0.012, 0.012, 0.023544651728152618, 0.021197891994252635}}},
      // stat 0.01, sys +0.07 with its minus 0.2 written positive: roots of 0.0401 and 0.005.
      {14, {"xi", {1, 1.5, 1.25, 0.95, 0.01, 0.01, 0.20024984394500786, 0.07071067811865475}}},
      {21, {"curve", {0.25, 0.25, 0.25, 0.83, 0, 0, 0, 0}}},
      {30, {"trigger 7-9", {0.2, 0.3, 0.25, 1.02, 0, 0, 0, 0}}},
      {32, {"trigger 7-9", {0.4, 0.6, 0.5, 0, 0, 0, 0, 0}}},
      // x given as 0.07; stat 0.3 and 0.4 ("Stat. uncorrelated") give 0.5;
      // sys +10% of 4 = 0.4 with an empty minus: roots of 0.25 and 0.41.
      {34, {"json-form.json", {0.05, 0.1, 0.07, 4, 0.5, 0.5, 0.5, 0.6403124237432849}}},
      // stat 2% of 1.5 = 0.03, an unlabelled +0.1 -0.2: roots of 0.0409 and 0.0109.
      {35,
       {"json-form.json",
        {0.1, 0.2, 0.15, 1.5, 0.03, 0.03, 0.20223748416156684, 0.1044030650891055}}},
  };
  for (const Expect& e : expected) {
    SCOPED_TRACE(lines[e.line]);
    Row got = read_row(lines[e.line]);
    EXPECT_EQ(got.label, e.row.label);
    for (int k = 0; k < 8; ++k)
      EXPECT_NEAR(got.numbers[k], e.row.numbers[k], 1e-15 * std::fabs(e.row.numbers[k]));
  }
  // A value that is text keeps its line, with the value and errors empty.
  EXPECT_EQ(lines[10], "published\t0.2\t0.3\t0.25\t\t\t\t\t\n");
  EXPECT_EQ(lines[36], "json-form.json\t0.2\t0.5\t0.35\t\t\t\t\t\n");
  for (std::size_t i = 1; i < lines.size(); ++i)
    if (i != 10 && i != 36) read_row(lines[i]);
  EXPECT_EQ(names_in(dir).count("points.tsv"), 1u);
  EXPECT_EQ(names_in(dir).size(), 7u);
}

TEST(XpcorrPlot, OverlaysOfOtherBinningsDrawWithARatioToTheFirst) {
  auto no_bin = [](const std::string& file, const std::string& where) {
    return "xpcorr-plot: " + file + ": " + where +
           " left out of the ratio: no bin with these edges in a.yaml\n";
  };
  std::string curve, xi;
  for (const char* x : {"0.075", "0.125", "0.175", "0.25", "0.4", "0.75"})
    curve += no_bin("curve.yaml", "$x_p$ " + std::string(x));
  for (const char* x : {"1 to 1.5", "1.5 to 2", "2 to 3", "3 to 4.5"})
    xi += no_bin("positive-minus.yaml", "$\\xi = -\\ln z$ " + std::string(x));
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const Case cases[] = {
      // Only the bin 0.5 to 1 of xi has edges of the first table's.
      {{"a.yaml", "published-style.yaml", "curve.yaml", "positive-minus.yaml", "--ratio"},
       "xpcorr-plot: published-style.yaml: $x_p$ 0.2 to 0.3 left out: value is not a number "
       "('-')\n" +
           curve + xi},
      {{"a.yaml", "curve.yaml", "-l", "ours"}, ""},
      // The first table's value 0 divides nothing.
      {{"several-variables.yaml", "several-variables.yaml", "-c", "2", "-c", "1", "-r"},
       "xpcorr-plot: several-variables.yaml: $x_E$ 0.4 to 0.6 left out of the ratio: no value to "
       "divide by in "
       "several-variables.yaml\n"},
      {{"json-form.json", "positive-minus.yaml", "-r", "--log"},
       "xpcorr-plot: json-form.json: $x_p$ 0.2 to 0.5 left out: value is not a number ('')\n"
       "xpcorr-plot: positive-minus.yaml: $\\xi = -\\ln z$ 0.5 to 1 left out of the ratio: no bin "
       "with these edges in "
       "json-form.json\n"
       "xpcorr-plot: positive-minus.yaml: $\\xi = -\\ln z$ 1 to 1.5 left out of the ratio: no bin "
       "with these edges in "
       "json-form.json\n"
       "xpcorr-plot: positive-minus.yaml: $\\xi = -\\ln z$ 1.5 to 2 left out of the ratio: no bin "
       "with these edges in "
       "json-form.json\n"
       "xpcorr-plot: positive-minus.yaml: $\\xi = -\\ln z$ 2 to 3 left out of the ratio: no bin "
       "with these edges in "
       "json-form.json\n"
       "xpcorr-plot: positive-minus.yaml: $\\xi = -\\ln z$ 3 to 4.5 left out of the ratio: no bin "
       "with these edges in "
       "json-form.json\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[1]);
    ScratchDir dir;
    copy_examples(dir);
    dir.write("a.yaml", std::string(sample_table));
    std::set<std::string> before = names_in(dir);
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"-o", "f.png"});
    ChildResult r = plot(dir, args);
    EXPECT_TRUE(r.exited(0));
    EXPECT_EQ(r.err, c.err);
    EXPECT_TRUE(dir.read("f.png").starts_with("\x89PNG\r\n\x1a\n"));
    before.insert("f.png");
    EXPECT_EQ(names_in(dir), before);
  }
}

// The table xpcorr writes as YODA reference data reads back to the points
// of its YAML table, on standard output; every example YODA object, one
// of each form, draws over that table with a ratio panel, each of its
// bins on one of the table's.
TEST(XpcorrPlot, YodaTablesReadBackAndDrawOverHepdataTables) {
  ScratchDir dir;
  fs::create_directory(dir.file("fits"));
  for (const auto& e : fs::directory_iterator(SAMPLE_DIR))
    if (e.path().extension() == ".dat")
      dir.write("fits/" + e.path().filename().string(), read_file(e.path()));
  for (const auto& e : fs::directory_iterator(YODA_DIR))
    if (e.path().extension() != ".md") dir.write(e.path().filename(), read_file(e.path()));
  const std::string report = read_file(fs::path(SAMPLE_DIR) / "expected-report.txt");
  for (const char* table : {"t.yaml", "t.yoda"}) {
    ChildResult r =
        run_program(XPCORR_BINARY, {.dir = dir.path(), .args = {"-C", "fits", "--table", table}});
    EXPECT_TRUE(r.exited(0));
    EXPECT_EQ(r.out, report);
    EXPECT_EQ(r.err, "");
  }
  const std::string f = "t.yoda:/REF/XPCORR/d01-x01-y01", rate = "t.yoda:/REF/XPCORR/d01-x01-y02";
  ChildResult yoda = plot(dir, {f, rate, "-l", "f", "-l", "rate", "-o", "-"});
  ChildResult yaml =
      plot(dir, {"t.yaml", "t.yaml", "-c", "1", "-c", "2", "-l", "f", "-l", "rate", "-o", "-"});
  EXPECT_TRUE(yoda.exited(0) && yaml.exited(0));
  EXPECT_EQ(yoda.err + yaml.err, "");
  EXPECT_EQ(yoda.out, yaml.out);
  ASSERT_EQ(lines_of(yoda.out).size(), 13u);
  EXPECT_TRUE(lines_of(yoda.out)[1].starts_with("f\t0.05\t0.1\t0.075\t5.410969\t0.42205557\t"))
      << yoda.out;
  // After the table's comment lines, if any.
  EXPECT_NE(("\n" + dir.read("t.yoda"))
                .find("\nBEGIN YODA_SCATTER2D_V2 /REF/XPCORR/d01-x01-y01\n"
                      "Path: /REF/XPCORR/d01-x01-y01\n"
                      "Title: fragmentation function\n"
                      "Type: Scatter2D\n"),
            std::string::npos);
  ChildResult both = plot(dir, {"t.yoda", "-o", "-"});
  EXPECT_TRUE(both.exited(1));
  EXPECT_EQ(both.out, "");
  EXPECT_EQ(both.err,
            "xpcorr-plot: t.yoda: 2 objects (/REF/XPCORR/d01-x01-y01, /REF/XPCORR/d01-x01-y02): "
            "name the one to read as FILE:PATH\n");

  for (const char* object : {"prediction.yoda", "prediction-2019.yoda.gz",
                             "reference.yoda:/REF/XPCORR_EXAMPLE/d01-x01-y01",
                             "reference-2019.yoda", "reference-2015.yoda"}) {
    SCOPED_TRACE(object);
    ChildResult r = plot(dir, {"t.yaml", object, "-r", "-o", "f.png"});
    EXPECT_TRUE(r.exited(0));
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(dir.read("f.png").starts_with("\x89PNG\r\n\x1a\n"));
  }
}

TEST(XpcorrPlot, LatexNamesBecomePlotTextWithoutDollarsOrBackslashes) {
  struct Case {
    std::string_view latex, text;
  };
  static constexpr Case cases[] = {
      {"x_p", "x#dp#u"},
      {"$x_p$", "x#dp#u"},
      {"fragmentation function", "fragmentation function"},
      {R"($\xi = -\ln z$)", "ξ = -ln z"},
      {R"($\frac{1}{N_{jet}} dN_{ch}/d\xi$)", "1/N#djet#u dN#dch#u/dξ"},
      {R"($1/\sigma \, d\sigma/dx_p$)", "1/σ dσ/dx#dp#u"},
      {R"($p_{T}^{jet}$ [$\mathrm{GeV}^{-1}$])", "p#dT#u#ujet#d [GeV#u-1#d]"},
      {R"($\sqrt{s_{NN}}$)", "√s#dNN#u"},
      {R"($\frac{a+b}{2}\cdot\Delta\Omega$)", "(a+b)/2·ΔΩ"},
      {R"($\bar{p}p \to \Upsilon(1S)$)", "p\u0304p → Υ(1S)"},
      {R"($\left. \frac{dN}{d\eta} \right|_{\eta=0}$)", "dN/dη |#dη=0#u"},
      {R"(trigger $p_T$, \#3 at 50\% of \$)", "trigger p#dT#u, ##3 at 50% of $"},
      {R"($\foo x$ \)", "foo x"},
      {"{unbalanced} }extra{ x_", "unbalanced extra x#d#u"},
      {"a\tb\nc", "a b c"},
  };
  for (const Case& c : cases) EXPECT_EQ(plot::plot_text(c.latex), c.text) << c.latex;
  std::string long_name(300, 'a');
  EXPECT_EQ(plot::plot_text(long_name), std::string(200, 'a') + "…");
}

}  // namespace
