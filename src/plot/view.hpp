// What the picture shows of the tables read: which points an axis can
// draw, whether the y axis is logarithmic, and each table's ratio to the
// first, bin by bin. No drawing here.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "plot/series.hpp"

namespace plot {

enum class Scale { automatic, log, linear };

// Why point p cannot be drawn on a y axis, logarithmic or not (its value is
// text or not finite, its x is not finite, its value is not positive on a
// logarithmic axis, an error is not finite); empty when it can.
std::string left_out(const Point& p, bool log);

// Whether the y axis is logarithmic: as forced, else when every drawable
// value is positive and they span more than a decade.
bool logarithmic(const std::vector<Series>& tables, Scale scale);

// A point of another table that has no place in the ratio panel, and why.
struct Miss {
  std::size_t table, point;
  std::string why;
};

struct Ratios {
  std::vector<Point> band;     // the first table's total error around 1
  std::vector<Series> tables;  // every other table divided by the first
  std::vector<Miss> misses;
};

// Each other table's values divided by the first table's value in the bin
// of the same low and high edges, their errors scaled alike. Points that
// no axis can draw are left to the main panel's messages.
Ratios ratios(const std::vector<Series>& tables);

// Where point p lies, for messages: "x_p 0.1 to 0.15", or "x 0.4" for a
// point without width.
std::string where(const Series& t, const Point& p);

}  // namespace plot
