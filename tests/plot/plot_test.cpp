// Runs of xpcorr-plot in a scratch directory on hand-written results
// tables and on copies of the example HEPData tables: the picture's format
// by its first bytes, the points as read, the exact messages and exit
// statuses, and nothing but a complete output ever left behind.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>
#include <string_view>

#ifdef XPCORR_ZLIB
#include <zlib.h>
#endif

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

// Table `t` with the first `from` replaced by `to`.
std::string edited(std::string t, std::string_view from, std::string_view to) {
  size_t at = t.find(from);
  if (at == std::string::npos) throw std::logic_error("no " + std::string(from) + " in the table");
  return t.replace(at, from.size(), to);
}

// The sample table with the first `from` replaced by `to`.
std::string edited(std::string_view from, std::string_view to) {
  return edited(std::string(sample_table), from, to);
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

#ifdef XPCORR_ZLIB
// The pixels of a PNG file of 8-bit RGB, read by the format's own rules:
// each chunk's CRC checked, the IDAT chunks inflated, each row unfiltered
// (none, sub, up, average, Paeth). Empty pixels when any of that fails.
struct Pixels {
  std::uint32_t width = 0, height = 0;
  std::string rgb;
  std::string at(std::size_t x, std::size_t y) const { return rgb.substr(3 * (y * width + x), 3); }
};

Pixels pixels_of(const std::string& png) {
  auto u32 = [&](std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(png[at + i]);
    return v;
  };
  Pixels p;
  std::string idat;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    const std::uint32_t n = u32(at);
    const std::string type = png.substr(at + 4, 4);
    const auto* bytes = reinterpret_cast<const Bytef*>(png.data() + at + 4);
    if (crc32(0, bytes, n + 4) != u32(at + 8 + n)) return {};
    if (type == "IHDR") {
      p.width = u32(at + 8), p.height = u32(at + 12);
      if (png.compare(at + 16, 5, std::string("\x08\x02\x00\x00\x00", 5)) != 0) return {};
    }
    if (type == "IDAT") idat += png.substr(at + 8, n);
    at += 12 + n;
  }
  const std::size_t row = 3 * std::size_t{p.width};
  std::string raw((row + 1) * p.height, '\0');
  uLongf size = raw.size();
  if (uncompress(reinterpret_cast<Bytef*>(raw.data()), &size,
                 reinterpret_cast<const Bytef*>(idat.data()), idat.size()) != Z_OK ||
      size != raw.size())
    return {};
  p.rgb.assign(row * p.height, '\0');
  auto out = [&](std::size_t y, std::size_t i) -> int {  // a pixel byte already read, or 0
    return static_cast<unsigned char>(p.rgb[y * row + i]);
  };
  for (std::size_t y = 0; y < p.height; ++y)
    for (std::size_t i = 0; i < row; ++i) {
      const int a = i >= 3 ? out(y, i - 3) : 0, b = y > 0 ? out(y - 1, i) : 0,
                c = i >= 3 && y > 0 ? out(y - 1, i - 3) : 0;
      const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
      const int paeth = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      const int filter = static_cast<unsigned char>(raw[y * (row + 1)]);
      const int before[5] = {0, a, b, (a + b) / 2, paeth};
      if (filter > 4) return {};
      p.rgb[y * row + i] = static_cast<char>(raw[y * (row + 1) + 1 + i] + before[filter]);
    }
  return p;
}
#endif

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
#ifdef XPCORR_ZLIB
      // 16 by 12 cm at 200 pixels an inch, white at the corner, and the
      // series in their first and second colours.
      if (c.picture == std::string_view("f.png")) {
        const Pixels p = pixels_of(bytes);
        EXPECT_EQ(p.width, 1260u);
        EXPECT_EQ(p.height, 945u);
        ASSERT_EQ(p.rgb.size(), 3u * 1260 * 945);
        EXPECT_EQ(p.at(0, 0), "\xff\xff\xff");
        EXPECT_NE(p.rgb.find("\x3f\x90\xda"), std::string::npos);
        EXPECT_EQ(p.rgb.find("\xff\xa9\x0e") != std::string::npos, two);
      }
#endif
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
      {{"a.yaml", "-o", "f.png", "--slice", "1", "--slice=0"},
       "xpcorr-plot: more slices (2) than tables (1)\n"},
      {{"a.yaml", "-o", "f.png", "--slice", "-1"},
       "xpcorr-plot: slice '-1' is not a position: 1 is the first, 0 draws each one\n"},
      {{"a.yaml", "-o", "f.png", "--curve", "2"},
       "xpcorr-plot: curve '2' is not the position of a table (1 to 1)\n"},
      {{"a.yaml", "-o", "f.png", "--xrange", "5,1"},
       "xpcorr-plot: option '--xrange' needs LO,HI with LO below HI (either may be empty), not "
       "'5,1'\n"},
      {{"a.yaml", "-o", "f.png", "--ratio-range=1"},
       "xpcorr-plot: option '--ratio-range' needs LO,HI with LO below HI (either may be empty), "
       "not '1'\n"},
      {{"a.yaml", "-o", "f.png", "--yrange", "0,", "--log"},
       "xpcorr-plot: option '--yrange' needs values above 0 on a logarithmic axis\n"},
      {{"a.yaml", "-o", "f.png", "--legend", "middle"},
       "xpcorr-plot: place 'middle' is not top-right, top-left, bottom-left, bottom-right, "
       "outside or none\n"},
      {{"a.yaml", "-o", "f.png", "--size", "8.6,6"},
       "xpcorr-plot: size '8.6,6' is not W,H in cm, mm or in (4 cm to 100 cm each), one-column "
       "or two-column\n"},
      {{"a.yaml", "-o", "f.png", "--size", "3cm,5cm"},
       "xpcorr-plot: size '3cm,5cm' is not W,H in cm, mm or in (4 cm to 100 cm each), "
       "one-column or two-column\n"},
      {{"a.yaml", "-o", "f.png", "-s", "bars"},
       "xpcorr-plot: style 'bars' is not points, line or step\n"},
      {{"a.yaml", "-o", "f.png", "-s", "line", "--style=step"},
       "xpcorr-plot: more styles (2) than tables (1)\n"},
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
  // Every option is in the help, within 80 columns.
  for (const char* option :
       {"--output", "--label",  "--column", "--slice",  "--style",  "--curve",       "--ratio",
        "--log",    "--linear", "--logx",   "--xrange", "--yrange", "--ratio-range", "--xlabel",
        "--ylabel", "--text",   "--legend", "--size",   "--help",   "--version"})
    EXPECT_NE(help.out.find(std::string(option) + " "), std::string::npos) << option;
  for (const std::string& line : lines_of(help.out)) EXPECT_LE(line.size(), 81u) << line;
  EXPECT_TRUE(version.exited(0) && version.err.empty());
  EXPECT_EQ(version.out, "xpcorr-plot " XPCORR_VERSION "\n");
}

// Tables and options in any order, and a table whose name starts with '-'
// after "--", read the same whether or not the C library's getopt moves
// operands after the options (POSIXLY_CORRECT stops glibc's from doing so).
TEST(XpcorrPlot, TablesAndOptionsComeInAnyOrderOnEveryGetopt) {
  ScratchDir dir;
  dir.write("a.yaml", std::string(sample_table));
  dir.write("-b.yaml", edited("value: 3.3", "value: 3.5"));
  const std::vector<std::string> orders[] = {
      {"a.yaml", "-l", "a", "-o", "f.tsv", "-c", "1", "--", "-b.yaml"},
      {"-o", "f.tsv", "a.yaml", "-la", "-c1", "--", "-b.yaml"},
      {"-c", "1", "--label=a", "a.yaml", "--output", "f.tsv", "--", "-b.yaml"},
  };
  std::string first;
  for (const char* env : {"POSIXLY_CORRECT=1", "XPCORR_NOTHING=1"})
    for (const std::vector<std::string>& order : orders) {
      std::vector<std::string> args{env, PLOT_BINARY};
      args.insert(args.end(), order.begin(), order.end());
      std::string what;
      for (const std::string& a : args) what += a + " ";
      SCOPED_TRACE(what);
      fs::remove(dir.file("f.tsv"));
      ChildResult r = run_program("/usr/bin/env", {.dir = dir.path(), .args = args});
      EXPECT_TRUE(r.exited(0)) << r.err;
      EXPECT_EQ(r.err, "");
      const std::string points = dir.read("f.tsv");
      EXPECT_NE(points.find("\na\t0.1\t0.15\t0.125\t3.3\t"), std::string::npos) << points;
      EXPECT_NE(points.find("\n-b.yaml\t0.1\t0.15\t0.125\t3.5\t"), std::string::npos) << points;
      if (first.empty()) first = points;
      EXPECT_EQ(points, first);
    }
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
  // A table of x and |y|, with `slices` values of |y| for each of x's two.
  auto two_variables = [](int slices, std::string_view y = "$|y|$") {
    std::string t = "independent_variables:\n- header: {name: x}\n  values:\n";
    for (int i = 0; i < 2 * slices; ++i)
      t += "  - {low: " + std::to_string(i % 2) + ", high: " + std::to_string(i % 2 + 1) + "}\n";
    t += "- header: {name: '" + std::string(y) + "'}\n  values:\n";
    for (int i = 0; i < 2 * slices; ++i) t += "  - {value: " + std::to_string(i / 2) + "}\n";
    t += "dependent_variables:\n- header: {name: y}\n  values:\n";
    for (int i = 0; i < 2 * slices; ++i) t += "  - {value: 1}\n";
    return t;
  };
  const std::string nothing =
      "independent_variables:\n- header: {name: x}\n  values: [{low: 0, high: 1}, {low: 1, "
      "high: 2}]\ndependent_variables:\n- header: {name: y}\n  values: [{value: '-'}, {value: "
      "-1}]\n";
  // A curve beside the sample's bins, from x 2 to 3: it is never extended.
  const std::string apart =
      "independent_variables:\n- header: {name: x}\n  values: [{value: 2}, {value: 3}]\n"
      "dependent_variables:\n- header: {name: y}\n  values: [{value: 1}, {value: 2}]\n";
  struct Case {
    std::string table, err;
    std::vector<std::string> more = {};
    bool of_all = false;        // the message names no table
    const char* out = "f.png";  // the output file
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
      {edited("{low: 0.1, high: 0.15}", "{value: [1]}"), "point 2 of 'x_p' is not a number"},
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
      // Tables with no picture to give: a matrix, nothing drawable, more
      // series than colours, a slice or ratio panel that is not there.
      {two_variables(2, "x"), "a matrix, not a function of x: both independent variables are 'x'"},
      {edited(two_variables(2), "name: y}", "name: Stat. correlation}"),
       "a matrix, not a function of x: 'Stat. correlation' over 'x' and '$|y|$'"},
      {nothing,
       "nothing to draw: all 2 points left out (first: x 0 to 1: value is not a number ('-'))",
       {"--log"}},
      {edited(nothing, "{value: -1}", "{value: ''}"),
       "nothing to draw: no point has a value that is a number",
       {},
       false,
       "f.tsv"},
      {two_variables(11),
       "11 slices make 12 series, more than the 10 a picture tells apart: draw one with "
       "--slice N (1 to 11)"},
      {two_variables(2), "no slice 3 (the table has 2)", {"--slice", "0", "--slice", "3"}},
      {apart,
       "nothing to draw in the ratio panel: no point of another table can be divided by one "
       "of good.yaml",
       {"-r"},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.err);
    ScratchDir dir;
    dir.write("good.yaml", std::string(sample_table));
    dir.write("bad.yaml", c.table);
    std::vector<std::string> args{"good.yaml", "bad.yaml", "-o", c.out};
    args.insert(args.end(), c.more.begin(), c.more.end());
    ChildResult r = plot(dir, args);
    EXPECT_TRUE(r.exited(1));
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, (c.of_all ? "xpcorr-plot: " : "xpcorr-plot: bad.yaml: ") + c.err + "\n");
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
  // An x given as text or not finite, quoted, and points outside the
  // ranges asked (beyond the y range, an arrow at its edge); the others
  // are drawn.
  const std::string xs =
      "independent_variables:\n- header: {name: E}\n  values: [{value: 1}, {value: '-'}, "
      "{value: .inf}, {value: 3}, {value: 0}]\ndependent_variables:\n- header: {name: y}\n"
      "  values: [{value: 1}, {value: 2}, {value: 3}, {value: 4}, {value: 5}]\n";
  const std::string dash = "xpcorr-plot: xs.yaml: E '-' left out: its x is not a number ('-')\n",
                    infinite = "xpcorr-plot: xs.yaml: E inf left out: its x is not finite (inf)\n";
  const Case more[] = {
      {{}, dash + infinite},
      {{"--xrange", "0.5,"},
       dash + infinite + "xpcorr-plot: xs.yaml: E 0 left out: outside the x range (0)\n"},
      {{"--logx", "--yrange", ",3.5"},
       dash + infinite +
           "xpcorr-plot: xs.yaml: E 3 drawn as an arrow at the edge: outside the y range (4)\n"
           "xpcorr-plot: xs.yaml: E 0 left out: its x is not positive (0)\n"},
  };
  for (const Case& c : more) {
    SCOPED_TRACE(c.err);
    ScratchDir dir;
    dir.write("xs.yaml", xs);
    std::vector<std::string> args{"xs.yaml", "-o", "f.svg"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ChildResult r = plot(dir, args);
    EXPECT_TRUE(r.exited(0));
    EXPECT_EQ(r.err, c.err);
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
  auto no_bin = [](const std::string& file, const std::string& where, const char* first) {
    return "xpcorr-plot: " + file + ": " + where +
           " left out of the ratio: no bin with these edges in " + first + "\n";
  };
  std::string xi, published;
  for (const char* x : {"1 to 1.5", "1.5 to 2", "2 to 3", "3 to 4.5"})
    xi += no_bin("positive-minus.yaml", "$\\xi = -\\ln z$ " + std::string(x), "a.yaml");
  for (const char* x : {"0.1 to 0.15", "0.15 to 0.2", "0.3 to 0.5", "0.5 to 1"})
    published += no_bin("published-style.yaml", "$x_p$ " + std::string(x), "json-form.json");
  const std::string dash =
      "xpcorr-plot: published-style.yaml: $x_p$ 0.2 to 0.3 left out: value is not a number "
      "('-')\n";
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const Case cases[] = {
      // Only the bin 0.5 to 1 of xi has edges of the first table's; the
      // curve (a prediction, so marked) spans the first table's x, from
      // 0.075 to 0.75.
      {{"a.yaml", "published-style.yaml", "curve.yaml", "positive-minus.yaml", "--ratio", "--style",
        "points", "--style", "points", "--style", "line"},
       dash + xi},
      {{"a.yaml", "curve.yaml", "-l", "ours"}, ""},
      // The first table as a curve: each bin's x is within its range.
      {{"a.yaml", "published-style.yaml", "--curve", "1", "-r"}, dash},
      // The first table's value 0 divides nothing.
      {{"several-variables.yaml", "several-variables.yaml", "-c", "2", "-c", "1", "-r"},
       "xpcorr-plot: several-variables.yaml: $x_E$ 0.4 to 0.6 left out of the ratio: no value to "
       "divide by in several-variables.yaml\n"},
      {{"json-form.json", "published-style.yaml", "positive-minus.yaml", "-r", "--log"},
       "xpcorr-plot: json-form.json: $x_p$ 0.2 to 0.5 left out: value is not a number ('')\n" +
           dash + published +
           no_bin("positive-minus.yaml", "$\\xi = -\\ln z$ 0.5 to 1", "json-form.json") +
           no_bin("positive-minus.yaml", "$\\xi = -\\ln z$ 1 to 1.5", "json-form.json") +
           no_bin("positive-minus.yaml", "$\\xi = -\\ln z$ 1.5 to 2", "json-form.json") +
           no_bin("positive-minus.yaml", "$\\xi = -\\ln z$ 2 to 3", "json-form.json") +
           no_bin("positive-minus.yaml", "$\\xi = -\\ln z$ 3 to 4.5", "json-form.json")},
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

// A table of one dependent variable at the given x values.
std::string at_points(const std::vector<std::string>& xs, const std::vector<std::string>& ys) {
  std::string t = "independent_variables:\n- header: {name: x}\n  values:\n";
  for (const std::string& x : xs) t += "  - {value: " + x + "}\n";
  t += "dependent_variables:\n- header: {name: y}\n  values:\n";
  for (const std::string& y : ys) t += "  - {value: " + y + "}\n";
  return t;
}

// A text element of an SVG picture: what it reads, and its font size.
struct SvgText {
  std::string text;
  double size;
};

// Every text element of `svg`, its markup dropped and its character
// references (&#x3b1;) written as UTF-8.
std::vector<SvgText> texts_of(const std::string& svg) {
  std::vector<SvgText> out;
  for (std::size_t at = svg.find("<text"); at != std::string::npos;
       at = svg.find("<text", at + 1)) {
    std::size_t size = svg.find("font-size=\"", at), open = svg.find('>', at);
    std::size_t end = svg.find("</text>", open);
    SvgText t{"", std::stod(svg.substr(size + 11))};
    for (std::size_t i = open + 1; i < end; ++i) {
      if (svg[i] == '<') {
        i = svg.find('>', i);
      } else if (svg.compare(i, 3, "&#x") == 0) {
        std::size_t semi = svg.find(';', i);
        unsigned long c = std::stoul(svg.substr(i + 3, semi - i - 3), nullptr, 16);
        if (c < 0x80)
          t.text += static_cast<char>(c);
        else if (c < 0x800)
          t.text += {static_cast<char>(0xc0 | c >> 6), static_cast<char>(0x80 | (c & 0x3f))};
        else
          t.text += {static_cast<char>(0xe0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3f)),
                     static_cast<char>(0x80 | (c & 0x3f))};
        i = semi;
      } else {
        t.text += svg[i];
      }
    }
    out.push_back(t);
  }
  return out;
}

// The texts of `texts` from the first that is `first`, `n` of them.
std::vector<std::string> run_from(const std::vector<SvgText>& texts, const std::string& first,
                                  std::size_t n) {
  for (std::size_t i = 0; i < texts.size(); ++i)
    if (texts[i].text == first) {
      std::vector<std::string> out;
      for (std::size_t k = i; k < texts.size() && out.size() < n; ++k) out.push_back(texts[k].text);
      return out;
    }
  return {};
}

// A polyline of an SVG picture (PLplot draws every line and fill as one):
// its stroke and fill colours and its points, on the page the picture's
// transform gives (y upwards, in points).
struct SvgLine {
  std::string stroke, fill;
  std::vector<std::pair<double, double>> at;
  // The mean of its points, the closing point that repeats the first not
  // counted twice.
  std::pair<double, double> centre() const {
    std::size_t n = at.size() - (at.size() > 1 && at.front() == at.back());
    double x = 0, y = 0;
    for (std::size_t i = 0; i < n; ++i) x += at[i].first, y += at[i].second;
    return {x / static_cast<double>(n), y / static_cast<double>(n)};
  }
};

std::vector<SvgLine> lines_of_svg(const std::string& svg) {
  auto attribute = [&](std::size_t from, std::size_t to, const char* name) {
    std::size_t at = svg.find(std::string(name) + "=\"", from);
    if (at == std::string::npos || at > to) return std::string();
    at += std::strlen(name) + 2;
    return svg.substr(at, svg.find('"', at) - at);
  };
  std::vector<SvgLine> out;
  for (std::size_t at = svg.find("<polyline"); at != std::string::npos;
       at = svg.find("<polyline", at + 1)) {
    std::size_t end = svg.find("/>", at);
    SvgLine l{attribute(at, end, "stroke"), attribute(at, end, "fill"), {}};
    std::string points = attribute(at, end, "points");
    std::ranges::replace(points, ',', ' ');
    std::istringstream in(points);
    for (double x = 0, y = 0; in >> x >> y;) l.at.emplace_back(x, y);
    out.push_back(l);
  }
  return out;
}

// A measurement drawn over two predictions of the same bins (steps, and a
// line through points): in the frame the bands come first, then the
// predictions' lines, then the measurement, whose markers (filled circles
// of its colour) sit on their values: each on its bin's bar and in its
// middle, on its error bar, and apart in proportion to the values. Nothing
// sets them aside, for no other series draws markers in their bins.
TEST(XpcorrPlot, MarkersSitOnTheirValuesOverTheBandsAndLines) {
  const std::string bins =
      "independent_variables:\n- header: {name: x}\n  values: [{low: 0, high: 1}, {low: 1, high: "
      "2}, {low: 2, high: 3}]\ndependent_variables:\n- header: {name: y}\n  values:\n  - {value: "
      "1, errors: [{symerror: 0.2}]}\n  - {value: 2, errors: [{symerror: 0.5}]}\n  - {value: 4, "
      "errors: [{symerror: 0.3}]}\n";
  for (const char* size : {"16cm,12cm", "one-column"}) {
    SCOPED_TRACE(size);
    ScratchDir dir;
    dir.write("m.yaml", bins);
    dir.write("p.yaml", at_points({"0.5", "1.5", "2.5"}, {"1.1", "2.2", "3.9"}));
    std::vector<std::string> args{"m.yaml",  "m.yaml", "p.yaml",  "--style", "points",
                                  "--style", "step",   "--style", "line",    "--linear",
                                  "--size",  size,     "-r",      "-o",      "f.svg"};
    ChildResult r = plot(dir, args);
    ASSERT_TRUE(r.exited(0)) << r.err;
    std::vector<SvgLine> all = lines_of_svg(dir.read("f.svg"));
    // The main panel is drawn first, up to the ratio panel's band.
    auto ratio = std::ranges::find_if(
        all, [](const SvgLine& l) { return l.stroke == "none" && l.fill == "#3F90DA"; });
    std::vector<SvgLine> main(all.begin(), ratio);
    const std::string data = "#3F90DA", step = "#FFA90E", line = "#BD1F01";
    std::size_t first_data = main.size(), last_prediction = 0;
    std::vector<std::pair<double, double>> markers;
    std::vector<SvgLine> bars, errors;
    for (std::size_t i = 0; i < main.size(); ++i) {
      const SvgLine& l = main[i];
      if (l.stroke == data || l.fill == data) first_data = std::min(first_data, i);
      if (l.stroke == step || l.fill == step || l.stroke == line || l.fill == line)
        last_prediction = i;
      if (l.fill == data && l.at.size() >= 16) markers.push_back(l.centre());
      if (l.stroke == data && l.at.size() == 2 && l.at[0].second == l.at[1].second)
        bars.push_back(l);
      if (l.stroke == data && l.at.size() == 2 && l.at[0].first == l.at[1].first)
        errors.push_back(l);
    }
    EXPECT_LT(last_prediction, first_data);
    ASSERT_EQ(markers.size(), 3u);
    const double values[] = {1, 2, 4};
    for (std::size_t k = 0; k < 3; ++k) {
      const double x = markers[k].first, y = markers[k].second;
      EXPECT_TRUE(std::ranges::any_of(bars,
                                      [&](const SvgLine& b) {
                                        return std::fabs(b.at[0].second - y) < 0.02 &&
                                               std::fabs((b.at[0].first + b.at[1].first) / 2 - x) <
                                                   0.02;
                                      }))
          << "marker " << k << " at " << x << ", " << y;
      EXPECT_TRUE(std::ranges::any_of(errors,
                                      [&](const SvgLine& e) {
                                        return std::fabs(e.at[0].first - x) < 0.02 &&
                                               std::fabs((e.at[0].second + e.at[1].second) / 2 -
                                                         y) < 0.02;
                                      }))
          << "marker " << k;
      double expected = (values[k] - values[0]) / (values[2] - values[0]);
      EXPECT_NEAR((y - markers[0].second) / (markers[2].second - markers[0].second), expected,
                  1e-3);
    }
#ifdef XPCORR_ZLIB
    // The PNG paints the same marks: each marker's centre, scaled from
    // the SVG's page (y upwards) to the PNG's pixels (rows downwards), is
    // of the measurement's colour.
    const std::string svg = dir.read("f.svg");
    const double width = std::stod(svg.substr(svg.find("width=\"") + 7)),
                 height = std::stod(svg.substr(svg.find("height=\"") + 8));
    args.back() = "f.png";
    ASSERT_TRUE(plot(dir, args).exited(0));
    const Pixels png = pixels_of(dir.read("f.png"));
    ASSERT_FALSE(png.rgb.empty());
    for (auto [x, y] : markers)
      EXPECT_EQ(png.at(std::lround(x / width * png.width),
                       std::lround((height - y) / height * png.height)),
                "\x3f\x90\xda")
          << "marker at " << x << ", " << y << " points";
#endif
  }
}

TEST(XpcorrPlot, AxisLabelsStateTheirNumbersWhole) {
  struct Case {
    std::vector<std::string> x, y, args, labels;
  };
  const Case cases[] = {
      // Values a hundred thousand times larger than their digits: each
      // label states its magnitude.
      {{"1", "2", "3", "4", "5", "6"},
       {"1.2e5", "2.5e5", "3.1e5", "4.4e5", "5.2e5", "6e5"},
       {},
       {"1×10⁵", "2×10⁵", "3×10⁵", "4×10⁵", "5×10⁵", "6×10⁵"}},
      {{"1", "2", "3"},
       {"2e-6", "5e-6", "9e-6"},
       {"--size", "8.6cm,6cm"},
       {"2×10⁻⁶", "3×10⁻⁶", "4×10⁻⁶", "5×10⁻⁶", "6×10⁻⁶", "7×10⁻⁶", "8×10⁻⁶", "9×10⁻⁶"}},
      {{"1", "2", "3"}, {"-3", "0.5", "5"}, {}, {"−2", "0", "2", "4"}},
      {{"1", "2", "3"},
       {"0.001", "0.0022", "0.004"},
       {"--linear"},
       {"0.0010", "0.0015", "0.0020", "0.0025", "0.0030", "0.0035", "0.0040"}},
      {{"1", "2", "3"}, {"0.04", "0.5", "60"}, {}, {"10⁻¹", "10⁰", "10¹"}},
      {{"0.004", "0.5", "10"}, {"1", "2", "3"}, {"--logx"}, {"10⁻²", "10⁻¹", "10⁰", "10¹"}},
      {{"1", "2", "3"},
       {"1", "2", "3"},
       {"--xrange", "0,4e4", "--size", "one-column"},
       {"0", "10000", "20000", "30000", "40000"}},
      {{"1", "2", "3"},
       {"1", "2", "3"},
       {"--xrange", "0,4e5", "--size", "one-column"},
       {"0", "1×10⁵", "2×10⁵", "3×10⁵", "4×10⁵"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.labels.front());
    ScratchDir dir;
    dir.write("t.yaml", at_points(c.x, c.y));
    std::vector<std::string> args{"t.yaml", "-o", "f.svg"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ChildResult r = plot(dir, args);
    ASSERT_TRUE(r.exited(0)) << r.err;
    EXPECT_EQ(run_from(texts_of(dir.read("f.svg")), c.labels.front(), c.labels.size()), c.labels);
  }
}

// A logarithmic y axis reaches a twentieth of its decades beyond the data
// and no further: fewer than three whole decades on it are labelled at 1, 2
// and 5 times the powers of ten (1 and 3 where those do not fit), narrower
// ones at linear steps, longer ones at whole decades. The labels read are
// all those between the x axis's (1.0 to 3.0) and the y title.
TEST(XpcorrPlot, LogAxesEndCloseToTheDataShortOnesLabelledAtOneTwoFive) {
  struct Case {
    std::vector<std::string> y, args, labels;
  };
  const Case cases[] = {
      {{"0.05", "0.3", "0.75"}, {"--log"}, {"0.05", "0.1", "0.2", "0.5"}},
      {{"0.04", "0.5", "6"}, {}, {"0.05", "0.1", "0.2", "0.5", "1", "2", "5"}},
      {{"0.04", "0.5", "6"}, {"--size", "8.6cm,5cm"}, {"0.1", "0.3", "1", "3"}},
      {{"0.09", "1", "13"}, {}, {"10⁻¹", "10⁰", "10¹"}},
      {{"0.001", "1", "30"}, {}, {"10⁻³", "10⁻²", "10⁻¹", "10⁰", "10¹"}},
      {{"0.51", "0.52", "0.53"}, {"--log"}, {"0.510", "0.515", "0.520", "0.525", "0.530"}},
      {{"2e5", "5e5", "9e5"}, {"--log"}, {"2×10⁵", "5×10⁵"}},
      {{"0.05", "0.3", "0.75"},
       {"--log", "--size", "one-column", "--yrange", "0.01,1"},
       {"10⁻²", "10⁻¹", "10⁰"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.labels.front());
    ScratchDir dir;
    dir.write("t.yaml", at_points({"1", "2", "3"}, c.y));
    std::vector<std::string> args{"t.yaml", "-o", "f.svg"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ChildResult r = plot(dir, args);
    ASSERT_TRUE(r.exited(0)) << r.err;
    std::vector<std::string> texts;
    for (const SvgText& t : texts_of(dir.read("f.svg"))) texts.push_back(t.text);
    auto x_end = std::ranges::find(texts, "3.0"), title = std::ranges::find(texts, "y");
    ASSERT_TRUE(x_end < title);
    EXPECT_EQ(std::vector<std::string>(x_end + 1, title), c.labels);
  }
}

TEST(XpcorrPlot, PagesHaveTheSizeAskedAndTextOfEightPointsOrMore) {
  // Points and PNG pixels (200 an inch) of a length in centimetres.
  auto pt = [](double cm) { return std::to_string(std::lround(cm / 2.54 * 72)); };
  auto px = [](double cm) { return std::lround(cm / 2.54 * 200); };
  struct Case {
    std::vector<std::string> args;
    double width, height;  // cm
  };
  const Case cases[] = {
      {{}, 16, 12},
      {{"-r"}, 16, 15},
      {{"--size", "one-column"}, 8.6, 6.45},
      {{"--size", "one-column", "-r"}, 8.6, 6.45 * 1.25},
      {{"--size", "two-column", "--ratio"}, 17.8, 11 * 1.25},
      {{"--size", "3.4,2.5in", "-r"}, 3.4 * 2.54, 2.5 * 2.54},
      {{"--size", "100mm,8cm"}, 10, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(pt(c.width) + " by " + pt(c.height));
    ScratchDir dir;
    dir.write("a.yaml", std::string(sample_table));
    dir.write("b.yaml", edited("value: 3.3", "value: 3.5"));
    for (const char* picture : {"f.pdf", "f.svg", "f.png"}) {
      std::vector<std::string> args{"a.yaml", "b.yaml", "-o", picture, "--text", "Experiment"};
      args.insert(args.end(), c.args.begin(), c.args.end());
      ChildResult r = plot(dir, args);
      ASSERT_TRUE(r.exited(0)) << r.err;
      std::string bytes = dir.read(picture);
      if (picture == std::string("f.pdf")) {
        EXPECT_NE(bytes.find("/MediaBox [ 0 0 " + pt(c.width) + " " + pt(c.height) + " ]"),
                  std::string::npos);
      } else if (picture == std::string("f.svg")) {
        EXPECT_NE(bytes.find("viewBox=\"0 0 " + pt(c.width) + " " + pt(c.height) + "\""),
                  std::string::npos);
        // Every text but the markers' glyphs is 8 points or more.
        for (const SvgText& t : texts_of(bytes)) {
          if (t.text != "●" && t.text != "■") {
            EXPECT_GE(t.size, 8) << t.text;
          }
        }
      } else {
        // The PNG header's width and height, big-endian, at bytes 16 to 23.
        auto at = [&](std::size_t i) {
          long v = 0;
          for (std::size_t k = i; k < i + 4; ++k) v = v << 8 | static_cast<unsigned char>(bytes[k]);
          return v;
        };
        EXPECT_EQ(at(16), px(c.width));
        EXPECT_EQ(at(20), px(c.height));
      }
    }
  }
}

TEST(XpcorrPlot, EachSliceOfTheOtherIndependentVariablesIsASeries) {
  // p_T in two bins for each of three |y| bins, the last |y| open-ended;
  // a third variable, sqrt(s), the same for all.
  const std::string table =
      "independent_variables:\n"
      "- header: {name: '$p_T$', units: GeV}\n"
      "  values: [{low: 20, high: 30}, {low: 30, high: 50}, {low: 20, high: 30}, {low: 30, "
      "high: 50}, {low: 20, high: 30}, {low: 30, high: 50}]\n"
      "- header: {name: '$|y|$'}\n"
      "  values: [{low: 0, high: 0.5}, {low: 0, high: 0.5}, {low: 0.5, high: 1}, {low: 0.5, "
      "high: 1}, {low: 1, high: .inf}, {low: 1, high: .inf}]\n"
      "- header: {name: '$\\sqrt{s}$', units: TeV}\n"
      "  values: [{value: 13}, {value: 13}, {value: 13}, {value: 13}, {value: 13}, {value: 13}]\n"
      "dependent_variables:\n- header: {name: '$d\\sigma/dp_T$'}\n"
      "  values: [{value: 8}, {value: 4}, {value: 7}, {value: 3}, {value: 5}, {value: 2}]\n";
  const std::string all = ", $\\sqrt{s}$ = 13 TeV\t";
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> rows;  // label and first numbers of each point
  };
  const Case cases[] = {
      {{},
       {"t, 0 < $|y|$ < 0.5" + all + "20\t30\t25\t8", "t, 0 < $|y|$ < 0.5" + all + "30\t50\t40\t4",
        "t, 0.5 < $|y|$ < 1" + all + "20\t30\t25\t7", "t, 0.5 < $|y|$ < 1" + all + "30\t50\t40\t3",
        "t, $|y|$ > 1" + all + "20\t30\t25\t5", "t, $|y|$ > 1" + all + "30\t50\t40\t2"}},
      {{"--slice", "3"},
       {"t, $|y|$ > 1" + all + "20\t30\t25\t5", "t, $|y|$ > 1" + all + "30\t50\t40\t2"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rows.front());
    ScratchDir dir;
    dir.write("t.yaml", table);
    std::vector<std::string> args{"t.yaml", "-l", "t", "-o", "f.tsv"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ChildResult r = plot(dir, args);
    ASSERT_TRUE(r.exited(0)) << r.err;
    std::vector<std::string> lines = lines_of(dir.read("f.tsv"));
    ASSERT_EQ(lines.size(), c.rows.size() + 1);
    for (std::size_t i = 0; i < c.rows.size(); ++i)
      EXPECT_TRUE(lines[i + 1].starts_with(c.rows[i] + "\t")) << lines[i + 1];
    // The picture's legend names each slice, its LaTeX drawn.
    args[4] = "f.svg";
    ASSERT_TRUE(plot(dir, args).exited(0));
    std::vector<SvgText> texts = texts_of(dir.read("f.svg"));
    EXPECT_TRUE(std::ranges::any_of(
        texts, [](const SvgText& t) { return t.text == "t, |y| > 1, √s = 13 TeV"; }));
  }
}

// Forms published often that a picture can show: a structure function
// against x, each x at its own mean Q2 and y (eleven one-point slices, one
// series, the other variables named in the legend; the points as text keep
// their slices); cross-sections per channel, each x a text, drawn at named
// places along x (a value that is no number named by its channel); and the
// two ways a correlation matrix shows itself, refused as a matrix.
TEST(XpcorrPlot, PerPointVariablesAndCategoriesDrawMatricesAreRefused) {
  std::string g1 = "independent_variables:\n- header: {name: x}\n  values:\n";
  std::string q2 = "- header: {name: Q2, units: GeV$^2$}\n  values:\n";
  std::string y = "- header: {name: y}\n  values:\n";
  std::string values;
  for (int i = 1; i <= 11; ++i) {
    std::string n = std::to_string(i);
    g1 += "  - {low: " + n + "0, high: " + n + "5}\n";
    q2 += "  - {value: 1." + n + "1}\n";
    y += "  - {value: 0." + n + "2}\n";
    values += "  - {value: 0." + n + "3, errors: [{symerror: 0.05}]}\n";
  }
  g1 += q2 + y + "dependent_variables:\n- header: {name: '$g_1$'}\n  values:\n" + values;
  const std::string channels =
      "independent_variables:\n- header: {name: Channel}\n"
      "  values: [{value: '$ee$'}, {value: '$\\mu\\mu$'}, {value: combined}, {value: '$ee$'}]\n"
      "dependent_variables:\n- header: {name: '$\\sigma$', units: pb}\n"
      "  values: [{value: 812}, {value: 798}, {value: 826}, {value: '-'}]\n";
  const std::string rows =
      "independent_variables:\n- header: {name: column}\n"
      "  values: [{value: 1}, {value: 2}, {value: 1}, {value: 2}]\n"
      "- header: {name: row}\n  values: [{value: 1}, {value: 1}, {value: 2}, {value: 2}]\n"
      "dependent_variables:\n- header: {name: '$\\rho$'}\n"
      "  values: [{value: 1}, {value: 0.3}, {value: 0.3}, {value: 1}]\n";
  const std::string diagonal = edited(edited(edited(rows, "column", "i"), "row", "j"),
                                      "0.3}, {value: 0.3", "-0.2}, {value: -0.2");
  ScratchDir dir;
  dir.write("g1.yaml", g1);
  dir.write("channels.yaml", channels);
  dir.write("rows.yaml", rows);
  dir.write("diagonal.yaml", diagonal);

  ChildResult r = plot(dir, {"g1.yaml", "-o", "f.svg"});
  EXPECT_TRUE(r.exited(0)) << r.err;
  std::vector<SvgText> texts = texts_of(dir.read("f.svg"));
  EXPECT_EQ(
      std::ranges::count_if(texts, [](const SvgText& t) { return t.text.starts_with("g1.yaml"); }),
      1);
  EXPECT_EQ(run_from(texts, "g1.yaml, Q2, y per point", 1).size(), 1u);
  r = plot(dir, {"g1.yaml", "-o", "-"});
  EXPECT_EQ(lines_of(r.out).size(), 12u);
  EXPECT_TRUE(
      lines_of(r.out)[1].starts_with("g1.yaml, Q2 = 1.11 GeV$^2$, y = 0.12\t10\t15\t12.5\t0.13\t"));

  for (const char* size : {"16cm,12cm", "one-column"}) {
    r = plot(dir, {"channels.yaml", "-o", "f.svg", "--size", size});
    EXPECT_TRUE(r.exited(0));
    EXPECT_EQ(r.err,
              "xpcorr-plot: channels.yaml: Channel '$ee$' left out: value is not a number ('-')\n");
    EXPECT_EQ(run_from(texts_of(dir.read("f.svg")), "ee", 3),
              (std::vector<std::string>{"ee", "μμ", "combined"}));
  }

  for (const auto& [table, why] :
       {std::pair{"rows.yaml", "the independent variables are 'column' and 'row'"},
        std::pair{"diagonal.yaml", "'$\\rho$' is 1 wherever 'i' equals 'j'"}}) {
    r = plot(dir, {table, "-o", "f.png"});
    EXPECT_TRUE(r.exited(1));
    EXPECT_EQ(r.err, "xpcorr-plot: " + std::string(table) +
                         ": a matrix, not a function of x: " + why + "\n");
  }
}

// Columns of one file, which its name does not tell apart, are labelled
// by the qualifiers they do not share, else by their names; labels given
// stay as given, and tell the others apart; their LaTeX is drawn. A YODA title that is a DOI, or
// none, gives way to the last part of the object's path as the y title.
TEST(XpcorrPlot, DefaultLabelsAndTitlesNameWhatTellsTablesApart) {
  const std::string rapidity =
      "independent_variables:\n- header: {name: '$p_T$', units: GeV}\n"
      "  values: [{low: 20, high: 30}]\n"
      "dependent_variables:\n"
      "- header: {name: '$d\\sigma/dp_T$'}\n"
      "  qualifiers: [{name: RE, value: P P --> JET X}, {name: '$|y|$', value: 0.0-0.5}]\n"
      "  values: [{value: 8}]\n"
      "- header: {name: '$d\\sigma/dp_T$'}\n"
      "  qualifiers: [{name: RE, value: P P --> JET X}, {name: '$|y|$', value: 0.5-1.0}]\n"
      "  values: [{value: 7}]\n";
  const std::string doi =
      "BEGIN YODA_SCATTER2D_V2 /REF/A/d02-x01-y03\nPath: /REF/A/d02-x01-y03\n"
      "Title: 10.17182/hepdata.12345.v1/t2\nType: Scatter2D\n---\n"
      "1 0.5 0.5 5 1 1\n2 0.5 0.5 3 1 1\nEND YODA_SCATTER2D_V2\n";
  struct Case {
    std::vector<std::string> args, labels;
  };
  const Case cases[] = {
      {{"y.yaml", "y.yaml", "-c", "1", "-c", "2"},
       {"y.yaml, $|y|$ = 0.0-0.5", "y.yaml, $|y|$ = 0.5-1.0"}},
      {{"t.yaml", "t.yaml", "-c", "1", "-c", "2"},
       {"t.yaml, fragmentation function", "t.yaml, rate"}},
      {{"t.yaml", "t.yaml", "-c", "1", "-c", "2", "-l", "f"}, {"f", "t.yaml"}},
      {{"t.yaml", "y.yaml"}, {"t.yaml", "y.yaml"}},
  };
  ScratchDir dir;
  dir.write("t.yaml", std::string(sample_table));
  dir.write("y.yaml", rapidity);
  dir.write("a.yoda", doi);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.labels.front());
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"-o", "-"});
    ChildResult r = plot(dir, args);
    ASSERT_TRUE(r.exited(0)) << r.err;
    std::vector<std::string> labels;
    for (const std::string& line : lines_of(r.out))
      if (std::string label = line.substr(0, line.find('\t'));
          label != "# table" && (labels.empty() || labels.back() != label))
        labels.push_back(label);
    EXPECT_EQ(labels, c.labels);
  }
  // A label's LaTeX is drawn, in the legend and the ratio panel's title.
  ASSERT_TRUE(
      plot(dir, {"t.yaml", "t.yaml", "-l", "$\\pi^{\\pm}$ d_1", "-r", "-o", "f.svg"}).exited(0));
  std::vector<SvgText> drawn = texts_of(dir.read("f.svg"));
  EXPECT_EQ(std::ranges::count_if(drawn, [](const SvgText& t) { return t.text == "π± d_1"; }), 1);
  EXPECT_EQ(run_from(drawn, "ratio to π± d_1", 1).size(), 1u);
  for (const char* object : {"a.yoda", "a.yoda:/REF/A/d02-x01-y03"}) {
    ASSERT_TRUE(plot(dir, {object, "-o", "f.svg"}).exited(0));
    std::vector<SvgText> texts = texts_of(dir.read("f.svg"));
    EXPECT_FALSE(std::ranges::any_of(
        texts, [](const SvgText& t) { return t.text.find("hepdata") != std::string::npos; }));
    EXPECT_EQ(
        std::ranges::count_if(texts, [](const SvgText& t) { return t.text == "d02-x01-y03"; }),
        std::string_view(object).ends_with("y03") ? 1 : 0);
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
  std::vector<const char*> tables{"t.yaml", "t.yoda"};
#ifdef XPCORR_ZLIB
  tables.push_back("t.yoda.gz");
#endif
  for (const char* table : tables) {
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
#ifdef XPCORR_ZLIB
  // The compressed YODA table reads as the plain one.
  ChildResult gz =
      plot(dir, {"t.yoda.gz:/REF/XPCORR/d01-x01-y01", "t.yoda.gz:/REF/XPCORR/d01-x01-y02", "-l",
                 "f", "-l", "rate", "-o", "-"});
  EXPECT_EQ(gz.err, "");
  EXPECT_EQ(gz.out, yoda.out);
#endif
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

// With no --column the fragmentation function is drawn, wherever it stands
// among the dependent variables; a table without one draws its first.
TEST(XpcorrPlot, DefaultColumnIsTheFragmentationFunctionWhereverItStands) {
  const std::string table(sample_table);
  const std::size_t dependent = table.find("\ndependent_variables:\n") + 22;
  const std::size_t rate = table.find("- header: {name: rate}");
  const std::string swapped =
      table.substr(0, dependent) + table.substr(rate) + table.substr(dependent, rate - dependent);
  ScratchDir dir;
  dir.write("a.yaml", table);
  dir.write("b.yaml", swapped);
  dir.write("c.yaml", edited(swapped, "fragmentation function", "D(x_p)"));
  auto points = [&dir](const char* file, std::vector<std::string> more) {
    std::vector<std::string> args{file, "-l", "t", "-o", "-"};
    args.insert(args.end(), more.begin(), more.end());
    ChildResult r = plot(dir, args);
    EXPECT_TRUE(r.exited(0)) << r.err;
    return r.out;
  };
  const std::string fragmentation = points("a.yaml", {"-c", "1"});
  const std::string rates = points("a.yaml", {"-c", "2"});
  ASSERT_NE(fragmentation, rates);
  EXPECT_NE(fragmentation.find("\nt\t0.05\t0.1\t0.075\t6.4157896\t"), std::string::npos)
      << fragmentation;
  EXPECT_EQ(points("a.yaml", {}), fragmentation);
  EXPECT_EQ(points("b.yaml", {}), fragmentation);
  EXPECT_EQ(points("b.yaml", {"-c", "2"}), fragmentation);
  EXPECT_EQ(points("c.yaml", {}), rates);
}

// Math between `$` signs is set as LaTeX sets it; the rest, and a name
// without any `$` (old HEPData names, file names), is drawn as written,
// but a number's sign is a minus sign.
TEST(XpcorrPlot, LatexNamesBecomePlotTextPlainNamesStayAsWritten) {
  struct Case {
    std::string_view latex, text;
  };
  static constexpr Case cases[] = {
      {"x_p", "x_p"},
      {"T1_PT", "T1_PT"},
      {"DT1_PT/DN_JETS", "DT1_PT/DN_JETS"},
      {"v2{2}", "v2{2}"},
      {"E^2 in \\GeV #1", "E^2 in \\GeV ##1"},
      {"-0.5 < y < 0, (-.5), anti-kT, 1-2, x=-3", "−0.5 < y < 0, (−.5), anti-kT, 1-2, x=−3"},
      {"$x_p$", "x#dp#u"},
      {"fragmentation function", "fragmentation function"},
      {R"($\pi^{\pm}$)", "π#u±#d"},
      {R"($\langle Q^2  \rangle$ [GeV$^2$])", "⟨Q#u2#d⟩ [GeV#u2#d]"},
      {R"(my_file.yaml, $p_T$ > 5 GeV)", "my_file.yaml, p#dT#u > 5 GeV"},
      {R"($\xi = -\ln z$)", "ξ = −ln z"},
      {R"($\frac{1}{N_{jet}} dN_{ch}/d\xi$)", "1/N#djet#u dN#dch#u/dξ"},
      {R"($1/\sigma \, d\sigma/dx_p$)", "1/σ dσ/dx#dp#u"},
      {R"($p_{T}^{jet}$ [$\mathrm{GeV}^{-1}$])", "p#dT#u#ujet#d [GeV#u−1#d]"},
      {R"($\sqrt{s_{NN}}$)", "√s#dNN#u"},
      {R"($\frac{a+b}{2}\cdot\Delta\Omega$)", "(a+b)/2·ΔΩ"},
      {R"($\frac{1}{\sigma}\frac{d\sigma}{dx_p}$)", "1/σ dσ/dx#dp#u"},
      {R"($\bar{p}p \to \Upsilon(1S)$)", "p\u0304p → Υ(1S)"},
      {R"($\left. \frac{dN}{d\eta} \right|_{\eta=0}$)", "dN/dη |#dη=0#u"},
      {R"(trigger $p_T$, \#3 at 50\% of \$, a_b)", "trigger p#dT#u, ##3 at 50% of $, a_b"},
      {R"($H_\mathrm{T}$ and $p_\text{T}$)", "H#dT#u and p#dT#u"},
      {R"($\frac{\mu{\rm b}}{\rm GeV}$)", "μb/GeV"},
      {R"($\frac{d^{2}\sigma}{dp_{\mathrm{T}}\,d{\eta}}$)", "d#u2#dσ/(dp#dT#u dη)"},
      {R"($\foo x$ \)", "foo x"},
      {"${unbalanced} }extra{ x_", "unbalanced extra x#d#u"},
      {"a\tb\nc", "a b c"},
  };
  for (const Case& c : cases) EXPECT_EQ(plot::plot_text(c.latex), c.text) << c.latex;
  std::string long_name(300, 'a');
  EXPECT_EQ(plot::plot_text(long_name), std::string(200, 'a') + "…");
}

}  // namespace
