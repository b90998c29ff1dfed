// A HEPData data table as the plotting program sees it: the first
// independent variable across, one dependent variable up, read with yaml-cpp.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "failure.hpp"

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

// A variable's header: the name and the units, as written (LaTeX and all).
struct Header {
  std::string name, units;
};

struct Table {
  std::string file;   // as given on the command line, for messages
  std::string label;  // the legend entry
  Header x, y;
  std::vector<Point> points;
};

// The file sizes and nesting the reader takes: a table from the internet
// cannot make it grow without bound.
constexpr std::size_t max_table_bytes = 8 << 20;
constexpr int max_depth = 32;

// Reads the table in `text` into `table` (file and label left alone),
// drawing dependent variable `column` (1 = the first; 0 = the one named
// "fragmentation function" when there is one, else the first). False with
// `why` set, its subject empty, when the text is not such a table.
bool parse_table(std::string_view text, int column, Table& table, Failure& why) noexcept;

// The same for the file at `path`; the failure's subject is the path.
bool read_table(const std::string& path, int column, Table& table, Failure& why) noexcept;

}  // namespace plot
