// The choices between reading and drawing: the points an axis leaves out,
// the y scale, and the ratio panel's points and band.

#include "plot/view.hpp"

#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

#include "tables/read.hpp"

namespace plot {

namespace {

std::string with(const char* reason, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s (%g)", reason, v);
  return buf;
}

// Point p divided by `by` (not zero): value and errors alike, the errors
// still magnitudes, downwards and upwards exchanged for a negative `by`.
Point divided(Point p, double by) {
  double s = 1 / std::fabs(by);
  p.value /= by;
  p.stat_down *= s, p.stat_up *= s, p.total_down *= s, p.total_up *= s;
  if (by < 0) std::swap(p.stat_down, p.stat_up), std::swap(p.total_down, p.total_up);
  return p;
}

}  // namespace

std::string left_out(const Point& p, bool log) {
  if (!p.number) return "value is not a number ('" + p.text + "')";
  if (!std::isfinite(p.value)) return with("value is not finite", p.value);
  if (!std::isfinite(p.x)) return with("its x is not finite", p.value);
  if (log && p.value <= 0) return with("value is not positive", p.value);
  if (!std::isfinite(p.total_down) || !std::isfinite(p.total_up))
    return with("an error is not finite", p.value);
  return "";
}

bool logarithmic(const std::vector<Series>& tables, Scale scale) {
  if (scale != Scale::automatic) return scale == Scale::log;
  double lo = INFINITY, hi = -INFINITY;
  for (const Series& t : tables)
    for (const Point& p : t.points)
      if (left_out(p, false).empty()) lo = std::min(lo, p.value), hi = std::max(hi, p.value);
  return lo > 0 && hi > 10 * lo;
}

Ratios ratios(const std::vector<Series>& tables) {
  Ratios r;
  if (tables.empty()) return r;
  const Series& first = tables.front();
  std::map<std::pair<double, double>, const Point*> bins;
  for (const Point& p : first.points) {
    bins.emplace(std::pair(p.low, p.high), &p);
    if (left_out(p, false).empty() && p.value != 0) {
      Point b = divided(p, p.value);
      b.value = 1;
      r.band.push_back(b);
    }
  }
  for (std::size_t k = 1; k < tables.size(); ++k) {
    Series& t = r.tables.emplace_back(
        Series{tables[k].file, tables[k].label, tables[k].x, tables[k].y, {}});
    for (std::size_t i = 0; i < tables[k].points.size(); ++i) {
      const Point& q = tables[k].points[i];
      if (!left_out(q, false).empty()) continue;
      auto bin = bins.find(std::pair(q.low, q.high));
      if (bin == bins.end())
        r.misses.push_back({k, i, "no bin with these edges in " + first.file});
      else if (!left_out(*bin->second, false).empty() || bin->second->value == 0)
        r.misses.push_back({k, i, "no value to divide by in " + first.file});
      else
        t.points.push_back(divided(q, bin->second->value));
    }
  }
  return r;
}

std::string where(const Series& t, const Point& p) {
  char buf[80];
  if (p.low == p.high)
    std::snprintf(buf, sizeof buf, " %g", p.x);
  else
    std::snprintf(buf, sizeof buf, " %g to %g", p.low, p.high);
  return (t.x.name.empty() ? "x" : tables::shown(t.x.name)) + buf;
}

}  // namespace plot
