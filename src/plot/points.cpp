// Writing the points of the tables read as tab-separated values, one line
// each, numbers in their shortest round-trip form (std::to_chars).

#include "plot/points.hpp"

#include <charconv>
#include <cmath>

namespace plot {

std::string points_text(const std::vector<Series>& tables) {
  std::string out = "# table\tx_low\tx_high\tx\ty\tstat_down\tstat_up\ttotal_down\ttotal_up\n";
  for (const Series& t : tables) {
    // A tab or a line end in the label would shift the columns.
    std::string label = full_label(t);
    for (char& c : label)
      if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    for (const Point& p : t.points) {
      if (!std::isfinite(p.value)) continue;
      out += label;
      for (double v :
           {p.low, p.high, p.x, p.value, p.stat_down, p.stat_up, p.total_down, p.total_up}) {
        char buf[32];
        out += '\t';
        out.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
      }
      out += '\n';
    }
  }
  return out;
}

}  // namespace plot
