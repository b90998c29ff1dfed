// A table's drawable series: the x of each point from the first independent
// variable, the value and the errors, summed, from one dependent variable.

#include "plot/series.hpp"

#include <cctype>
#include <cmath>

#include "tables/decimal.hpp"
#include "tables/read.hpp"

namespace plot {

namespace {

// A bin's x is the value it gives, else its centre: the midpoint of the
// edges as written, rounded once (0.075 for 0.05 to 0.1, where the
// doubles' own midpoint is 0.07500000000000001).
double centre(double low, double high) {
  if (!std::isfinite(low) || !std::isfinite(high)) return (low + high) / 2;
  return tables::rounded(
      tables::half(tables::sum(tables::decimal_of(low), tables::decimal_of(high))));
}

void place(const tables::Coordinate& c, Point& p) {
  if (c.bin) {
    p.low = c.low, p.high = c.high;
    p.x = c.has_value ? c.value : centre(c.low, c.high);
  } else {
    p.low = p.high = p.x = c.value;
  }
}

// The errors of a value: those labelled "stat..." (any case) make the
// statistical pair, all of them in quadrature the total.
void add_errors(const tables::Entry& e, Point& p) {
  for (const tables::Uncertainty& u : e.errors) {
    std::string word = u.label.substr(0, 4);
    for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (word == "stat")
      p.stat_down = std::hypot(p.stat_down, u.down), p.stat_up = std::hypot(p.stat_up, u.up);
    p.total_down = std::hypot(p.total_down, u.down);
    p.total_up = std::hypot(p.total_up, u.up);
    p.has_errors = true;
  }
}

}  // namespace

bool series_of(const tables::Table& t, int column, Series& s, Failure& why) {
  const std::size_t n = t.dependent.size();
  std::size_t y = 0;
  if (column > 0 && static_cast<std::size_t>(column) > n)
    return why = {Cause::no_column, "",
                  std::to_string(column) + " (the table has " + std::to_string(n) + ")"},
           false;
  if (column > 0) {
    y = static_cast<std::size_t>(column) - 1;
  } else {
    for (std::size_t i = 0; i < n; ++i)
      if (t.dependent[i].header.name == "fragmentation function") {
        y = i;
        break;
      }
  }
  const tables::Independent& xs = t.independent.front();
  const tables::Dependent& ys = t.dependent[y];
  s.x = xs.header, s.y = ys.header;
  s.points.assign(xs.values.size(), Point{});
  for (std::size_t i = 0; i < s.points.size(); ++i) {
    Point& p = s.points[i];
    const tables::Entry& e = ys.values[i];
    place(xs.values[i], p);
    p.number = e.number, p.value = e.value;
    if (!e.number) p.text = tables::shown(e.text, 20);
    add_errors(e, p);
  }
  return true;
}

}  // namespace plot
