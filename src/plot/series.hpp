// What the plotting program draws of a table: one dependent variable
// against the first independent variable, point by point, each with its
// statistical and total errors; one series for each combination of the
// values of the other independent variables, if there are any.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "plot/failure.hpp"
#include "tables/table.hpp"

namespace plot {

// One point: its x (a bin from low to high, or a single value with
// low = high = x; a text, kept in `x_text`, when the table gives one), the
// value and its errors downwards and upwards as magnitudes (those labelled
// stat*, and all of the point's in quadrature).
struct Point {
  double low = 0, high = 0, x = 0;
  bool x_number = true;
  std::string x_text;
  double value = 0;
  bool number = true;  // false: the value is text, shown in `text`
  std::string text;
  bool has_errors = false;
  double stat_down = 0, stat_up = 0, total_down = 0, total_up = 0;
};

// How a series is drawn: a measurement's markers with error bars, a
// prediction's line through its points or steps over its bins, each in
// its band.
enum class Draw { points, line, step };

struct Series {
  std::string file;   // as given on the command line, for messages
  std::string label;  // the legend entry
  // The values of the other independent variables that the points share,
  // as names with LaTeX ("5 < $p_T$ < 7 GeV"); empty for a table of one.
  std::string slice;
  std::string others;  // the other independent variables' names: "$Q^2$, $y$"
  tables::Header x, y;
  std::vector<std::string> qualifiers;  // of y's column: "$\sqrt{s}$ = 13 TeV"
  std::vector<Point> points;
  bool curve = false;  // a line through its points, read between them too
  bool step = false;   // steps over its bins
  Draw draw() const { return curve ? Draw::line : step ? Draw::step : Draw::points; }
  std::size_t table = 0;  // the table's place on the command line
};

// What to take of a table: dependent variable `column` (1 = the first; 0 =
// the one named "fragmentation function" when there is one, else the
// first) and combination `slice` of the other independent variables' values
// (1 = the first in the table's order; 0 = each one its own series).
struct Pick {
  int column = 0;
  int slice = 0;
};

// The series `pick` takes of `t`, appended to `out` with file and label
// left empty. False
// with `why` set (its subject empty) when the table has no such column or
// slice.
bool series_of(const tables::Table& t, const Pick& pick, std::vector<Series>& out, Failure& why);

// Why table `t`, of dependent variable `column` as in Pick, is a matrix (a
// correlation or covariance: two independent variables alike or named
// `column` and `row`, a name that says so, or values of 1 wherever the two
// are equal) rather than a function of x; empty when it is not one.
std::string matrix(const tables::Table& t, int column);

// The slices of a table that are each a single point, every one at an x of
// its own (a structure function against x, each x bin at its own mean Q²),
// joined into one series of that table's points: the other variables go
// with x, and the slice names them ("$Q^2$, $y$ per point").
void join_single_points(std::vector<Series>& series);

// Whether `name` names no quantity, so that it is no axis title: empty, or
// a DOI ("10.17182/hepdata.1.v1/t1", "doi:10...."), as YODA titles often are.
bool no_title(std::string_view name);

// Labels of series from several columns (or objects) of one file, which
// its name does not tell apart, each followed by what does: the qualifiers
// of its column that the others do not share, else its column's name. The
// series of tables before `labelled` have labels of the user's, kept.
void tell_apart(std::vector<Series>& series, std::size_t labelled);

// The series' legend entry as plain text with the slice's LaTeX: "label,
// 5 < $p_T$ < 7 GeV".
std::string full_label(const Series& s);

}  // namespace plot
