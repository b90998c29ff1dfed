// Writing the points of the tables read as tab-separated values, one line
// each, numbers in their shortest round-trip form (std::to_chars), so that
// no point read is missing from the list.

#include "plot/points.hpp"

#include <charconv>

namespace plot {

namespace {

void field(std::string& out, double v) {
  char buf[32];
  out += '\t';
  out.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

}  // namespace

std::string points_text(const std::vector<Series>& tables) {
  std::string out = "# table\tx_low\tx_high\tx\ty\tstat_down\tstat_up\ttotal_down\ttotal_up\n";
  for (const Series& t : tables) {
    // A tab or a line end in the label would shift the columns.
    std::string label = full_label(t);
    for (char& c : label)
      if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    for (const Point& p : t.points) {
      out += label;
      for (double v : {p.low, p.high, p.x}) field(out, v);
      if (!p.number)
        out += "\t\t\t\t\t";
      else
        for (double v : {p.value, p.stat_down, p.stat_up, p.total_down, p.total_up}) field(out, v);
      out += '\n';
    }
  }
  return out;
}

}  // namespace plot
