// The choices between reading and drawing: the points an axis leaves out,
// the y scale, and the ratio panel's points and band.

#include "plot/view.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

#include "files/diagnostic.hpp"
#include "tables/read.hpp"

namespace plot {

namespace {

// Point p divided by `by` (not zero): value and errors alike, the errors
// still magnitudes, downwards and upwards exchanged for a negative `by`.
Point divided(Point p, double by) {
  double s = 1 / std::fabs(by);
  p.value /= by;
  p.stat_down *= s, p.stat_up *= s, p.total_down *= s, p.total_up *= s;
  if (by < 0) std::swap(p.stat_down, p.stat_up), std::swap(p.total_down, p.total_up);
  return p;
}

bool drawable(const Point& p, bool xlog) { return left_out(p, {xlog, false}).empty(); }

// The x range of a curve's line, for messages: " (0.075 to 0.75)".
std::string span(const std::vector<Point>& line) {
  if (line.empty()) return "";
  char buf[80];
  std::snprintf(buf, sizeof buf, " (%g to %g)", line.front().x, line.back().x);
  return buf;
}

// The first series' total error around 1, where it has a value to divide by.
std::vector<Point> band_of(const Series& first, bool xlog) {
  std::vector<Point> band;
  for (const Point& p : first.curve ? line_of(first, xlog) : first.points)
    if (drawable(p, xlog) && p.value != 0) {
      Point b = divided(p, p.value);
      b.value = 1;
      band.push_back(b);
    }
  return band;
}

// Series `t` divided by the curve `first`, at each of its own x.
void by_curve(const Series& first, const Series& t, std::size_t k, bool xlog, Series& out,
              std::vector<Miss>& misses) {
  std::vector<Point> line = line_of(first, xlog);
  for (const Point& q : t.points) {
    if (!drawable(q, xlog)) continue;
    std::optional<Point> r = at(line, q.x);
    if (!r)
      misses.push_back({k, where(t, q), "outside the x range of " + first.file + span(line)});
    else if (r->value == 0)
      misses.push_back({k, where(t, q), "no value to divide by in " + first.file});
    else
      out.points.push_back(divided(q, r->value));
  }
}

// The curve `t` divided by `first`, at each x of the first.
void curve_by(const Series& first, const Series& t, std::size_t k, bool xlog, Series& out,
              std::vector<Miss>& misses) {
  std::vector<Point> line = line_of(t, xlog);
  for (const Point& r : first.points) {
    if (!drawable(r, xlog)) continue;
    std::optional<Point> q = at(line, r.x);
    if (!q) {
      misses.push_back({k, where(first, r), "outside its x range" + span(line)});
    } else if (r.value == 0) {
      misses.push_back({k, where(first, r), "no value to divide by in " + first.file});
    } else {
      q->low = r.low, q->high = r.high, q->x = r.x;
      out.points.push_back(divided(*q, r.value));
    }
  }
}

// Series `t` divided by `first` bin by bin, a bin by the one of the same
// edges, a point by the one at the same x.
void by_bins(const Series& first, const Series& t, std::size_t k, bool xlog, Series& out,
             std::vector<Miss>& misses) {
  std::map<std::pair<double, double>, const Point*> bins;
  for (const Point& p : first.points) bins.emplace(std::pair(p.low, p.high), &p);
  for (const Point& q : t.points) {
    if (!drawable(q, xlog)) continue;
    auto bin = bins.find(std::pair(q.low, q.high));
    if (bin == bins.end())
      misses.push_back(
          {k, where(t, q),
           (q.high > q.low ? "no bin with these edges in " : "no point at this x in ") +
               first.file});
    else if (!drawable(*bin->second, xlog) || bin->second->value == 0)
      misses.push_back({k, where(t, q), "no value to divide by in " + first.file});
    else
      out.points.push_back(divided(q, bin->second->value));
  }
}

}  // namespace

std::string because(const char* reason, double v) {
  char buf[80];
  std::snprintf(buf, sizeof buf, "%s (%g)", reason, v);
  return buf;
}

std::string left_out(const Point& p, Scales s) {
  if (!p.number) return "value is not a number ('" + p.text + "')";
  if (!std::isfinite(p.value)) return because("value is not finite", p.value);
  if (!p.x_number) return "its x is not a number ('" + p.x_text + "')";
  if (!std::isfinite(p.x)) return because("its x is not finite", p.x);
  if (s.xlog && p.x <= 0) return because("its x is not positive", p.x);
  if (s.ylog && p.value <= 0) return because("value is not positive", p.value);
  if (!std::isfinite(p.total_down) || !std::isfinite(p.total_up))
    return because("an error is not finite", p.value);
  return "";
}

std::vector<std::string> categories(std::vector<Series>& series) {
  std::vector<std::string> texts;
  for (const Series& t : series)
    for (const Point& p : t.points)
      if (p.x_number) return {};
  for (Series& t : series) {
    t.curve = false;
    for (Point& p : t.points) {
      auto at = std::ranges::find(texts, p.x_text);
      if (at == texts.end()) at = texts.insert(at, p.x_text);
      p.x_number = true;
      p.low = p.high = p.x = static_cast<double>(at - texts.begin() + 1);
    }
  }
  return texts;
}

bool logarithmic(const std::vector<Series>& series, Scale scale, bool xlog) {
  if (scale != Scale::automatic) return scale == Scale::log;
  double lo = INFINITY, hi = -INFINITY;
  for (const Series& t : series)
    for (const Point& p : t.points)
      if (drawable(p, xlog)) lo = std::min(lo, p.value), hi = std::max(hi, p.value);
  return lo > 0 && hi > 10 * lo;
}

std::vector<Point> line_of(const Series& curve, bool xlog) {
  std::vector<Point> line;
  for (const Point& p : curve.points)
    if (drawable(p, xlog)) line.push_back(p);
  std::ranges::stable_sort(line, {}, &Point::x);
  return line;
}

std::optional<Point> at(const std::vector<Point>& line, double x) {
  if (line.empty() || x < line.front().x || x > line.back().x) return std::nullopt;
  auto b = std::ranges::lower_bound(line, x, {}, &Point::x);
  if (b->x == x) return *b;
  const Point& a = *(b - 1);
  double t = (x - a.x) / (b->x - a.x);
  auto mix = [t](double u, double v) { return u + t * (v - u); };
  Point p = a;
  p.low = p.high = p.x = x;
  p.value = mix(a.value, b->value);
  p.has_errors = a.has_errors || b->has_errors;
  p.stat_down = mix(a.stat_down, b->stat_down), p.stat_up = mix(a.stat_up, b->stat_up);
  p.total_down = mix(a.total_down, b->total_down), p.total_up = mix(a.total_up, b->total_up);
  return p;
}

Ratios ratios(const std::vector<Series>& series, bool xlog) {
  Ratios r;
  if (series.empty()) return r;
  const Series& first = series.front();
  r.band = band_of(first, xlog);
  r.band_curve = first.curve;
  for (std::size_t k = 1; k < series.size(); ++k) {
    const Series& t = series[k];
    Series& out = r.series.emplace_back(t);
    out.points.clear();
    if (t.curve)
      curve_by(first, t, k, xlog, out, r.misses);
    else if (first.curve)
      by_curve(first, t, k, xlog, out, r.misses);
    else
      by_bins(first, t, k, xlog, out, r.misses);
  }
  return r;
}

std::string where(const Series& t, const Point& p) {
  std::string name = t.x.name.empty() ? "x" : tables::shown(t.x.name);
  if (!p.x_text.empty()) return name + " '" + p.x_text + "'";
  char buf[80];
  if (p.low == p.high)
    std::snprintf(buf, sizeof buf, " %g", p.x);
  else
    std::snprintf(buf, sizeof buf, " %g to %g", p.low, p.high);
  return name + buf;
}

// A note is no failure, but reads as one: written by the same line writer.
std::string note_line(const std::string& file, const std::string& text) {
  files::Line line;
  files::failure_line(line, "xpcorr-plot", {"{detail}"}, file, 0, text);
  return std::string(line.view());
}

std::string note(const std::string& file, const std::string& where, bool ratio,
                 const std::string& why) {
  return note_line(file, where + (ratio ? " left out of the ratio: " : " left out: ") + why);
}

}  // namespace plot
