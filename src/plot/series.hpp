// What the plotting program draws of a table: one dependent variable
// against the first independent variable, point by point, each with its
// statistical and total errors.
#pragma once

#include <string>
#include <vector>

#include "plot/failure.hpp"
#include "tables/table.hpp"

namespace plot {

// One point: its x (a bin from low to high, or a single value with
// low = high = x), the value and its errors downwards and upwards as
// magnitudes (those labelled stat*, and all of the point's in quadrature).
struct Point {
  double low = 0, high = 0, x = 0;
  double value = 0;
  bool number = true;  // false: the value is text, shown in `text`
  std::string text;
  bool has_errors = false;
  double stat_down = 0, stat_up = 0, total_down = 0, total_up = 0;
};

struct Series {
  std::string file;   // as given on the command line, for messages
  std::string label;  // the legend entry
  tables::Header x, y;
  std::vector<Point> points;
};

// The series of dependent variable `column` of `t` (1 = the first; 0 = the
// one named "fragmentation function" when there is one, else the first),
// file and label left alone. False with `why` set (its subject empty) when
// the table has no such column.
bool series_of(const tables::Table& t, int column, Series& s, Failure& why);

}  // namespace plot
