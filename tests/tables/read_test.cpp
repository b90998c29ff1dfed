// The YODA reader on small invented files of every form it reads, plain and
// gzip-compressed, each object read into the numbers worked by hand from
// its lines; and every fault of such a file refused with its reason; and
// the HEPData reader on what YAML 1.1 and HEPData tables allow.

#include <zlib.h>

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/child.hpp"
#include "tables/read.hpp"

namespace {

std::string shortest(double v) {
  char buf[32];
  return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

// The table as one line per point: "LOW..HIGH @X: VALUE LABEL-DOWN+UP ...",
// a single value standing for its bin, after a line with the y name (and
// one with the x name, when it has one); then what the reader noted.
std::string dump(const tables::Table& t) {
  if (t.independent.size() != 1 || t.dependent.size() != 1) return "not one x and one y";
  std::string out = "y: " + t.dependent[0].header.name + "\n";
  if (!t.independent[0].header.name.empty()) out += "x: " + t.independent[0].header.name + "\n";
  for (std::size_t i = 0; i < t.dependent[0].values.size(); ++i) {
    const tables::Coordinate& c = t.independent[0].values[i];
    const tables::Entry& e = t.dependent[0].values[i];
    out += c.bin ? shortest(c.low) + ".." + shortest(c.high) : shortest(c.value);
    if (c.bin && c.has_value) out += " @" + shortest(c.value);
    out += ": " + (e.number ? shortest(e.value) : "'" + e.text + "'");
    for (const tables::Uncertainty& u : e.errors)
      out += " " + u.label + "-" + shortest(u.down) + "+" + shortest(u.up);
    out += "\n";
  }
  for (const std::string& note : t.notes) out += "note: " + note + "\n";
  return out;
}

// A file of gzip members, one per text, as `cat a.gz b.gz` makes.
void write_gzip(const std::string& path, const std::vector<std::string>& members) {
  for (std::size_t i = 0; i < members.size(); ++i) {
    gzFile g = gzopen(path.c_str(), i == 0 ? "wb" : "ab");
    ASSERT_NE(g, nullptr);
    gzwrite(g, members[i].data(), static_cast<unsigned>(members[i].size()));
    gzclose(g);
  }
}

// Old form: '#' markers, key=value lines, %e numbers, tabs, CRLF ends; a
// point with no x errors is a single value.
const std::string old_form =
    "# BEGIN YODA_SCATTER2D /REF/OLD_2014_I1/d01-x01-y01\r\n"
    "Path=/REF/OLD_2014_I1/d01-x01-y01\r\n"
    "Title=$\\sigma$ = 3\r\n"
    "Type=Scatter2D\r\n"
    "# xval\t xerr-\t xerr+\t yval\t yerr-\t yerr+\t\r\n"
    "7.500000e-02\t2.500000e-02\t2.500000e-02\t1.200000e+00\t1.000000e-01\t2.000000e-01\r\n"
    "3.000000e-01 1.000000e-01 1.000000e-01 -2 0.5 0.5\r\n"
    "2.5 0 0 4 0 0\r\n"
    "# END YODA_SCATTER2D\r\n";

// V2 with a breakdown for points 0, 1 and 2, a weight variation and an
// unscaled copy beside it.
const std::string v2_form = R"(BEGIN YODA_SCATTER2D_V2 /REF/NEW_2019_I2/d01-x01-y01
Path: /REF/NEW_2019_I2/d01-x01-y01
Title: ~
Type: Scatter2D
IsRef: 1
Variations: [""]
ErrorBreakdown: {0: {stat: {dn: -0.3, up: 0.3}, sys_1: {dn: -0.4, up: 0.6}}, 1: {stat: {dn: -0.1, up: 0.2}}, 2: {Stat: {dn: -0.75, up: 0.75}}}
---
# xval	 xerr-	 xerr+	 yval	 yerr-	 yerr+	
0.15	0.05	0.05	5	0.5	0.670820393249937
0.3	0.1	0.1	2	0.2	0.2
0.7	0.3	0.3	1	1.25	1.25
END YODA_SCATTER2D_V2

BEGIN YODA_SCATTER2D_V2 /REF/NEW_2019_I2/d01-x01-y01[MUR2]
Path: /REF/NEW_2019_I2/d01-x01-y01[MUR2]
---
0.15	0.05	0.05	9	0	0
END YODA_SCATTER2D_V2
BEGIN YODA_SCATTER2D_V2 /RAW/REF/NEW_2019_I2/d01-x01-y01
Path: /RAW/REF/NEW_2019_I2/d01-x01-y01
---
0.15	0.05	0.05	9	0	0
END YODA_SCATTER2D_V2
)";

// A generator run's file: histograms of both versions, a type not read,
// a profile and the event counter.
const std::string run_first = R"(BEGIN YODA_HISTO1D_V2 /MC/d01-x01-y01
Path: /MC/d01-x01-y01
ScaledBy: 0.5
Title: ~
Type: Histo1D
---
# Mean: 1.0
# Area: 3.0
# ID	 ID	 sumw	 sumw2	 sumwx	 sumwx2	 numEntries
Total   	Total   	10	13.16	0	0	10
Underflow	Underflow	0	0	0	0	0
Overflow	Overflow	0	0	0	0	0
# xlow	 xhigh	 sumw	 sumw2	 sumwx	 sumwx2	 numEntries
0.1	0.3	2	0.16	0	0	2
0.5	1.5	3	4	0	0	3
1.5	3.5	5	9	0	0	5
END YODA_HISTO1D_V2
BEGIN YODA_HISTO2D_V2 /MC/d02-x01-y01
END YODA_HISTO2D_V2
)";
const std::string run_second = R"(BEGIN YODA_HISTO1D_V3 /MC/d03-x01-y01
Path: /MC/d03-x01-y01
Title: 'N_{ch}'
Type: Histo1D
---
Edges(A1): [1.000000e-01, 3.000000e-01, 7.000000e-01]
# sumW	 sumW2	 sumW(A1)	 sumW2(A1)	 numEntries
1	1	0	0	1
2	0.16	0	0	2
1	1	0	0	1
7	7	0	0	7
END YODA_HISTO1D_V3
BEGIN YODA_PROFILE1D_V3 /MC/d04-x01-y01
END YODA_PROFILE1D_V3
BEGIN YODA_COUNTER_V3 /_EVTCOUNT
END YODA_COUNTER_V3
)";

const std::string estimate = R"(BEGIN YODA_ESTIMATE1D_V3 /REF/EST_2024_I3/d01-x01-y01
Path: /REF/EST_2024_I3/d01-x01-y01
ScaledBy: 1.0
Title: 'd\sigma/dx'
Type: Estimate1D
---
Edges(A1): [1.000000e+00, 2.000000e+00, 4.000000e+00, 8.000000e+00]
ErrorLabels: ["stat", "sys_1"]
# value	errDn(1)	errUp(1)	errDn(2)	errUp(2)
nan	---	---	---	---
5.000000e+00	-3.000000e-01	4.000000e-01	-1.2e+00	1.2e+00
nan	---	---	---	---
2.5	---	---	-0.5	0.25
nan	---	---	---	---
END YODA_ESTIMATE1D_V3
)";

// A map of 300 sources given to each of 300 points by an alias: 90,000
// sources from some 16,000 bytes.
std::string alias_bomb() {
  std::string sources, rows, points;
  for (int i = 0; i < 300; ++i) {
    sources += (i ? ", s" : "s") + std::to_string(i) + ": {dn: -1, up: 1}";
    if (i > 0) points += ", " + std::to_string(i) + ": *a";
    rows += "1 0.5 0.5 1 1 1\n";
  }
  return "BEGIN YODA_SCATTER2D_V2 /A/x\nErrorBreakdown: {0: &a {" + sources + "}" + points +
         "}\n---\n" + rows + "END YODA_SCATTER2D_V2\n";
}

std::string object(const std::string& type, const std::string& body) {
  return "BEGIN " + type + " /A/x\nPath: /A/x\n---\n" + body + "END " + type + "\n";
}

// Far more text than the reader takes at a time, of numbers that compress
// badly, with a histogram at the end.
std::string many_objects() {
  std::string out;
  std::uint64_t state = 2024;
  for (int i = 0; i < 20000; ++i) {
    state = state * 6364136223846793005u + 1442695040888963407u;
    out += "BEGIN YODA_COUNTER_V3 /A/n" + std::to_string(i) + "\n" + std::to_string(state) +
           "\nEND YODA_COUNTER_V3\n";
  }
  return out +
         object("YODA_HISTO1D_V3", "Edges(A1): [0.1, 0.3]\n0 0 0 0 0\n2 0.16 0 0 2\n0 0 0 0 0\n");
}

struct Case {
  std::string name;  // as given on the command line, path and all
  std::string expected;
};

TEST(yoda, each_form_reads_into_the_numbers_its_lines_give_or_is_refused) {
  ScratchDir dir;
  dir.write("old.yoda", old_form);
  dir.write("ref.yoda", v2_form);
  write_gzip(dir.file("run.yoda.gz"), {run_first, run_second});
  dir.write("est.yoda", estimate);
  dir.write("est.dat",
            "BEGIN YODA_ESTIMATE1D_V3 /E\n---\nEdges(A1): [0, 1]\n0\n3.5\n0\n"
            "END YODA_ESTIMATE1D_V3\n");
  dir.write("block.yoda",
            "BEGIN YODA_SCATTER2D_V2 /A/x\nTitle: block\nErrorBreakdown:\n  0:\n"
            "    stat: {dn: -1, up: 1}\n---\n1 0.5 0.5 3 1 1\nEND YODA_SCATTER2D_V2\n");
  dir.write("many.yoda", many_objects());
  write_gzip(dir.file("many.yoda.gz"), {many_objects()});
  dir.write("cut.yoda.gz", dir.read("run.yoda.gz").substr(0, 60));
  dir.write("table.yaml", "independent_variables: []\n");
  dir.write("table.yoda", "independent_variables: []\n");
  dir.write("empty.yoda", "# nothing\n\n");
  dir.write("raw.yoda", "BEGIN YODA_HISTO1D_V3 /RAW/A/x\nEND YODA_HISTO1D_V3\n");
  dir.write("v3.yoda", object("YODA_SCATTER2D_V3", "1 0 0 1 0 0\n"));
  dir.write("open.yoda", "BEGIN YODA_HISTO1D_V3 /A/x\nPath: /A/x\n");
  dir.write("inside.yoda", "BEGIN YODA_HISTO1D_V3 /A/x\n# BEGIN YODA_HISTO1D /A/y\n");
  dir.write("end.yoda", "BEGIN YODA_HISTO1D_V3 /A/x\nEND YODA_HISTO1D_V2\n");
  dir.write("end-v.yoda", "BEGIN YODA_HISTO1D_V /A/x\nEND YODA_HISTO1D\n");
  dir.write("doi.yoda",
            "BEGIN YODA_SCATTER2D_V2 /A/x\nTitle: https://doi.org/10.17182/hepdata.1.v1/t1\n---\n"
            "1 0 0 2 0 0\nEND YODA_SCATTER2D_V2\n");
  dir.write("row.yoda", object("YODA_SCATTER2D_V2", "1 0.5 0.5 2 0.1\n"));
  dir.write("none.yoda", object("YODA_SCATTER2D_V2", "# xval\n"));
  dir.write("edges.yoda", object("YODA_HISTO1D_V3",
                                 "Edges(A1): [0, 1, 2]\n1 1 0 0 1\n"
                                 "1 1 0 0 1\n1 1 0 0 1\n"));
  dir.write("text.yoda", object("YODA_HISTO1D_V3", "Edges(A1): [0, one]\n"));
  dir.write("edges2.yoda", object("YODA_HISTO1D_V3",
                                  "Edges(A1): [0, 1]\nEdges(A1): [0, 1]\n0 0 0 0 0\n"
                                  "1 1 0 0 1\n0 0 0 0 0\n"));
  dir.write("labels.yoda", object("YODA_ESTIMATE1D_V3",
                                  "Edges(A1): [0, 1]\nErrorLabels: [\"stat\"]\n0\n1 -0.1\n0\n"));
  dir.write(
      "labels-yaml.yoda",
      object("YODA_ESTIMATE1D_V3", "Edges(A1): [0, 1]\nErrorLabels: \"stat\n0\n1 -0.1 0.1\n0\n"));
  dir.write("head.yoda", "BEGIN YODA_HISTO1D_V2 /A/x\nPath: /A/x\nEND YODA_HISTO1D_V2\n");
  dir.write("yaml.yoda", "BEGIN YODA_HISTO1D_V2 /A/x\nTitle: [x\n---\nEND YODA_HISTO1D_V2\n");
  dir.write("point.yoda",
            "BEGIN YODA_SCATTER2D_V2 /A/x\nErrorBreakdown: {3: {stat: "
            "{dn: -1, up: 1}}}\n---\n1 0 0 1 1 1\nEND YODA_SCATTER2D_V2\n");
  dir.write("source.yoda",
            "BEGIN YODA_SCATTER2D_V2 /A/x\nErrorBreakdown: {0: 0.5}\n---\n1 0 0 1 1 1\nEND "
            "YODA_SCATTER2D_V2\n");
  dir.write("dn.yoda",
            "BEGIN YODA_SCATTER2D_V2 /A/x\nErrorBreakdown: {0: {stat: "
            "{up: 1}}}\n---\n1 0 0 1 1 1\nEND YODA_SCATTER2D_V2\n");
  dir.write("bomb.yoda", alias_bomb());
  // Rows of the forms read that a fault would misread: x errors unequal, a
  // zero error on one side, a '---' for one side of an estimate's error.
  dir.write("sided.yoda", object("YODA_SCATTER2D_V2",
                                 "1 0.25 0.5 2 0 0.3\n3 0 0 4 0.5 0\n5 0 0.5 6 0.1 0.1\n"
                                 "7 1 inf 8 0.1 0.1\n"));
  dir.write("sided-est.yoda", object("YODA_ESTIMATE1D_V3",
                                     "Edges(A1): [0, 1, 2]\nErrorLabels: [\"stat\"]\n"
                                     "nan --- ---\n2.5 --- 0.25\n4 -0.5 ---\nnan --- ---\n"));
  // An END without the version its BEGIN has; profiles of both forms, with
  // a bin of no weight and one of a single entry; axis labels, and a
  // title that is a DOI.
  dir.write("short-end.yoda",
            "BEGIN YODA_HISTO1D_V2 /A/x\nXLabel: $x$\n---\n0.1 0.3 2 0.16 0 0 2\nEND "
            "YODA_HISTO1D\n");
  dir.write("profile.yoda",
            "BEGIN YODA_PROFILE1D_V2 /A/p\nTitle: doi:10.1103/PhysRevD.98.030001\n---\n"
            "Total Total 7 11 0 0 20 114 5\n"
            "# xlow xhigh sumw sumw2 sumwx sumwx2 sumwy sumwy2 numEntries\n"
            "0 1 2 2 0 0 4 10 2\n1 2 0 0 0 0 0 0 0\n2 3 4 8 0 0 16 80 2\n"
            "3 4 1 1 0 0 5 25 1\nEND YODA_PROFILE1D_V2\n");
  dir.write("profile-old.yoda",
            "# BEGIN YODA_PROFILE1D /A/p\nPath=/A/p\nTitle=N\nXLabel=$E$\nYLabel=$\\langle n "
            "\\rangle$\n# xlow xhigh ...\n0 1 2 2 0 0 4 10 2\n# END YODA_PROFILE1D\n");
  // Faults: a breakdown of the point after the last, a header that is a
  // list, a bin whose value is a text, files that cannot be read.
  dir.write("past.yoda",
            "BEGIN YODA_SCATTER2D_V2 /A/x\nErrorBreakdown: {1: {stat: "
            "{dn: -1, up: 1}}}\n---\n1 0 0 1 1 1\nEND YODA_SCATTER2D_V2\n");
  dir.write("list.yoda",
            "BEGIN YODA_SCATTER2D_V2 /A/x\n- Path\n---\n1 0 0 1 1 1\nEND "
            "YODA_SCATTER2D_V2\n");
  dir.write("bin.yaml",
            "independent_variables:\n- header: {name: x}\n  values: [{low: 0, high: 1, value: "
            "abc}]\ndependent_variables:\n- header: {name: y}\n  values: [{value: 1}]\n");
  dir.write("no-x.yaml",
            "independent_variables: []\ndependent_variables:\n- header: {name: y}\n  values: "
            "[{value: 1}]\n");
  // Numbers in YAML 1.1's forms, as HEPData's own tools read them.
  dir.write("yaml11.yaml",
            "independent_variables:\n- header: {name: x}\n  values: [{value: 1_000}, {value: "
            "0x10}, {value: 010}, {value: 1:30}, {value: 1e5}, {value: '2.5'}, {value: yes, "
            "value: -.inf}]\ndependent_variables:\n- header: {name: y}\n  values: [{value: 1}, "
            "{value: 2}, {value: 3}, {value: 4}, {value: 5}, {value: 6}, {value: 7}]\n");
  // A null where a value stands: a point with no number, as a text is.
  dir.write("null.yaml",
            "independent_variables:\n- header: {name: x}\n  values: [{value: ~}, {value: 2}]\n"
            "dependent_variables:\n- header: {name: y}\n  values: [{value: null}, {value: 3}]\n");
  // Numbers with a plus sign, as an error's upper side is often written.
  dir.write("plus.yaml",
            "independent_variables:\n- header: {name: x}\n  values: [{value: +2}]\n"
            "dependent_variables:\n- header: {name: y}\n  values: [{value: 3, errors: "
            "[{asymerror: {minus: -0.25, plus: +0.5}, label: stat}]}]\n");
  // A unit in Latin-1, whose byte B5 (a micro sign) is no UTF-8: told by
  // its byte, as no line can be told.
  dir.write("latin1.yaml", "independent_variables:\n- header: {name: x, units: \xb5m}\n");
  // An alias before any anchor of its name.
  dir.write("alias.yaml", "independent_variables: *x\n");
  std::filesystem::create_directory(dir.file("dir.yoda"));

  // Worked by hand: a scatter bin runs from x - xerr- to x + xerr+ in the
  // decimals written (0.15 - 0.05 is 0.1, where doubles give
  // 0.09999999999999999); a breakdown whose sources make the total in
  // quadrature (0.3, 0.4 and 0.6: roots of 0.25 and 0.45) is taken as it
  // is; one that falls short keeps its statistical part and the rest of
  // the total, root of 1.25^2 - 0.75^2 = 1, or of 0.2^2 - 0.1^2 on the one
  // side where the statistical part falls short. A histogram bin is sumw over
  // the width written (2 over 0.3 - 0.1 = 0.2 is 10, where doubles give
  // 10.000000000000002) with error root of sumw2 over it (0.4 / 0.2 = 2).
  const Case cases[] = {
      {"old.yoda",
       "y: $\\sigma$ = 3\n0.05..0.1 @0.075: 1.2 -0.1+0.2\n0.2..0.4 @0.3: -2 -0.5+0.5\n"
       "2.5: 4\n"},
      {"ref.yoda",
       "y: \n0.1..0.2 @0.15: 5 stat-0.3+0.3 sys_1-0.4+0.6\n"
       "0.2..0.4 @0.3: 2 stat-0.1+0.2 -0.17320508075688776+0\n"
       "0.4..1 @0.7: 1 Stat-0.75+0.75 -1+1\n"},
      {"ref.yoda:/REF/NEW_2019_I2/d01-x01-y01[MUR2]", "y: \n0.1..0.2 @0.15: 9\n"},
      {"run.yoda.gz:/MC/d01-x01-y01",
       "y: \n0.1..0.3: 10 stat-2+2\n0.5..1.5: 3 stat-2+2\n1.5..3.5: 2.5 stat-1.5+1.5\n"},
      {"run.yoda.gz:/MC/d03-x01-y01",
       "y: N_{ch}\n0.1..0.3: 10 stat-2+2\n0.3..0.7: 2.5 stat-2.5+2.5\n"},
      {"est.yoda",
       "y: d\\sigma/dx\n1..2: 5 stat-0.3+0.4 sys_1-1.2+1.2\n2..4: nan\n"
       "4..8: 2.5 sys_1-0.5+0.25\n"},
      {"est.dat", "y: \n0..1: 3.5\n"},
      {"many.yoda:/A/x", "y: \n0.1..0.3: 10 stat-2+2\n"},
      {"many.yoda.gz:/A/x", "y: \n0.1..0.3: 10 stat-2+2\n"},
      {"many.yoda.gz",
       "20001 objects (/A/n0, /A/n1, /A/n2 and 19998 more): name the one to read as FILE:PATH"},
      {"block.yoda", "y: block\n0.5..1.5 @1: 3 stat-1+1\n"},
      {"run.yoda.gz",
       "4 objects (/MC/d01-x01-y01, /MC/d02-x01-y01, /MC/d03-x01-y01 and 1 more): "
       "name the one to read as FILE:PATH"},
      {"run.yoda.gz:/MC/d09-x01-y01",
       "no object /MC/d09-x01-y01 (it holds /MC/d01-x01-y01, /MC/d02-x01-y01, /MC/d03-x01-y01 "
       "and 1 more)"},
      {"run.yoda.gz:/MC/d02-x01-y01",
       "/MC/d02-x01-y01 is a YODA_HISTO2D_V2, which is not read here (Scatter2D old and V2, "
       "Histo1D old, V2 and V3, Profile1D old and V2, Estimate1D V3 are)"},
      {"run.yoda.gz:/MC/d04-x01-y01",
       "/MC/d04-x01-y01 is a YODA_PROFILE1D_V3, which is not read here (Scatter2D old and V2, "
       "Histo1D old, V2 and V3, Profile1D old and V2, Estimate1D V3 are)"},
      {"v3.yoda",
       "/A/x is a YODA_SCATTER2D_V3, which is not read here (Scatter2D old and V2, Histo1D old, "
       "V2 and V3, Profile1D old and V2, Estimate1D V3 are)"},
      {"cut.yoda.gz", "damaged gzip data: it ends before its data do"},
      {"table.yaml:/A/x", "a HEPData table, not a YODA file: it has no object /A/x"},
      {"table.yoda", "line 1 ('independent_variables: []'): text outside every YODA object"},
      {"empty.yoda", "no YODA object in it"},
      {"raw.yoda", "1 object (/RAW/A/x): name the one to read as FILE:PATH"},
      {"open.yoda", "object /A/x has no END line"},
      {"inside.yoda", "line 2: BEGIN inside /A/x"},
      {"end.yoda", "line 2: YODA_HISTO1D_V2 ends a YODA_HISTO1D_V3"},
      {"end-v.yoda", "line 2: YODA_HISTO1D ends a YODA_HISTO1D_V"},
      // A title that is a DOI, as a link, names no quantity.
      {"doi.yoda", "y: \n1: 2\n"},
      {"row.yoda", "line 4 is not a row of 6 numbers ('1 0.5 0.5 2 0.1')"},
      {"none.yoda", "/A/x has no values"},
      {"edges.yoda", "/A/x has 3 rows for 2 bins: a row per bin, an underflow and an overflow"},
      {"text.yoda", "line 4: the Edges are not a list of two numbers or more"},
      {"edges2.yoda", "line 5: Edges again"},
      {"labels.yoda", "line 7 is not a value with 1 pairs of errors ('1 -0.1')"},
      {"labels-yaml.yoda", "line 5: the ErrorLabels are not a list of labels"},
      {"head.yoda", "object /A/x has no '---' line ending its header"},
      {"yaml.yoda", "not YAML: the header of /A/x, line 3: end of sequence flow not found"},
      {"point.yoda", "the ErrorBreakdown names point '3' of 1 (numbered from 0)"},
      {"source.yoda", "the ErrorBreakdown of point 1 is not a map"},
      {"dn.yoda", "the ErrorBreakdown 'stat' of point 1 has no numbers 'dn' and 'up'"},
      {"bomb.yoda", "its aliases repeat nodes too often (over 4 per byte)"},
      // Worked by hand: bin 0.75 to 1.5 around 1, a bin reaching one way
      // only from 5 to 5.5, one open upwards from 6; a profile's bin of
      // entries 1 and 3 has mean 2, weighted variance (10 * 2 - 4^2) /
      // (2^2 - 2) = 2 over 2 effective entries: error 1; of two entries of
      // weight 2 at 2 and 6, mean 4, variance (80 * 4 - 16^2) / (4^2 - 8) =
      // 8 over 4^2 / 8 = 2 entries: error 2.
      {"sided.yoda",
       "y: \n0.75..1.5 @1: 2 -0+0.3\n3: 4 -0.5+0\n5..5.5 @5: 6 -0.1+0.1\n6..inf @7: 8 -0.1+0.1\n"},
      {"sided-est.yoda", "y: \n0..1: 2.5 stat-0+0.25\n1..2: 4 stat-0.5+0\n"},
      {"short-end.yoda", "y: \nx: $x$\n0.1..0.3: 10 stat-2+2\n"},
      {"profile.yoda",
       "y: \n0..1: 2 stat-1+1\n2..3: 4 stat-2+2\n3..4: 5\n"
       "note: 1 bin has at most one effective entry, its mean drawn without an error (first: 3 "
       "to 4)\n"},
      {"profile-old.yoda", "y: $\\langle n \\rangle$\nx: $E$\n0..1: 2 stat-1+1\n"},
      {"past.yoda", "the ErrorBreakdown names point '1' of 1 (numbered from 0)"},
      {"list.yoda", "line 2: the header of /A/x is not a YAML map"},
      {"bin.yaml", "value of point 1 of 'x' is not a number"},
      // YAML 1.1: 1_000 is 1000, 0x10 16, 010 octal 8, 1:30 base 60 90;
      // 1e5 and a quoted '2.5' stay numbers, as this reader always took
      // them; of a repeated key the last counts.
      {"yaml11.yaml", "y: y\nx: x\n1000: 1\n16: 2\n8: 3\n90: 4\n1e+05: 5\n2.5: 6\n-inf: 7\n"},
      {"no-x.yaml", "no independent variables: the table holds no x to draw its values against"},
      {"null.yaml", "y: y\nx: x\nnan: ''\n2: 3\n"},
      {"plus.yaml", "y: y\nx: x\n2: 3 stat-0.25+0.5\n"},
      {"latin1.yaml", "not YAML: byte 51: invalid leading UTF-8 octet"},
      {"alias.yaml", "not YAML: line 1, column 24: the alias names no anchor before it"},
      {"dir.yoda", "cannot read: Is a directory"},
      {"missing.yoda", "cannot read: No such file or directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tables::Table t;
    tables::ReadFailure why;
    const bool read = tables::read_table(dir.file(c.name), t, why);
    EXPECT_EQ(read ? dump(t) : tables::message(why), c.expected);
  }
}

}  // namespace
