// The results table as the plotting program sees it: the x_p bins and the
// fragmentation function of one HEPData data table, read with yaml-cpp.
#pragma once

#include <string>
#include <vector>

#include "failure.hpp"

namespace plot {

// One bin: its x_p range, the value and its errors downwards and upwards
// (the one labelled stat alone, and all of the point's in quadrature).
struct Point {
  double low = 0, high = 0, value = 0;
  double stat_down = 0, stat_up = 0, total_down = 0, total_up = 0;
};

struct Table {
  std::string label;  // the legend entry
  std::vector<Point> points;
};

// Reads the table in file `path` into `table` (its label left alone);
// false with `why` set when the file is not such a table. Never throws.
bool read_table(const std::string& path, Table& table, Failure& why) noexcept;

}  // namespace plot
