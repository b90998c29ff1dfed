// The figure before its layout: the points each panel shows and those it
// leaves out, the axes' ranges, the ratios, the titles and legend entries;
// and every reason why there would be nothing to draw.

#include "plot/figure.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "plot/latex.hpp"

namespace plot {

namespace {

struct Range {
  double lo = INFINITY, hi = -INFINITY;
  void add(double v) {
    if (std::isfinite(v)) lo = std::min(lo, v), hi = std::max(hi, v);
  }
};

// An axis over `r` with a margin of `margin` of its width each side; 0 to
// 1 when there is nothing to show.
std::pair<double, double> padded(Range r, double margin) {
  if (r.lo > r.hi) return {0, 1};
  double width = r.hi - r.lo;
  double pad = width > 0 ? margin * width : std::max(0.1 * std::fabs(r.lo), 0.5);
  if (!std::isfinite(pad)) return {r.lo, r.hi};
  // Wide enough that the two ends differ, however large the values.
  pad = std::max(pad, (std::fabs(r.lo) + std::fabs(r.hi)) * 1e-12);
  return {r.lo - pad, r.hi + pad};
}

// The ends the user gave in place of those of the data.
void limit(Axis& a, const Limits& l) {
  if (!std::isnan(l.lo)) a.lo = a.of(l.lo);
  if (!std::isnan(l.hi)) a.hi = a.of(l.hi);
}

bool out_of(double v, const Limits& l) { return v < l.lo || v > l.hi; }

// The x axis: over every bin edge and x shown, and those of every arrow
// (an edge at or below 0 is left to the frame on a logarithmic axis), or
// half a place beyond the first and last of its categories; the y range
// asked has no part in it.
Axis x_axis(const std::vector<Series>& series, const std::vector<Beyond>& beyond, const Settings& s,
            const std::vector<std::string>& categories) {
  Axis a;
  a.log = s.xlog;
  a.categories = categories;
  Range r;
  for (const Series& t : series)
    for (const Point& p : t.points)
      for (double v : {p.low, p.high, p.x})
        if (!a.log || v > 0) r.add(a.of(v));
  for (const Beyond& b : beyond)
    for (double v : {b.point.low, b.point.high, b.point.x})
      if (!a.log || v > 0) r.add(a.of(v));
  // A measured point's marker at the end of the data, with no bin around
  // it, stays clear of the frame.
  bool points = std::ranges::any_of(series, [](const Series& t) {
    return t.draw() == Draw::points &&
           std::ranges::any_of(t.points, [](const Point& p) { return !(p.high > p.low); });
  });
  std::tie(a.lo, a.hi) = padded(r, points ? 0.05 : 0.02);
  if (!categories.empty())
    a.lo = a.of(0.5), a.hi = a.of(categories.size() + 0.5);  // half a place spare
  limit(a, s.x_range);
  return a;
}

// A y axis over every bar end of `series` and `band`, a twentieth of its
// height to spare each side (of its decades on a logarithmic axis, from the
// lowest end above zero to the highest).
Axis y_axis(const std::vector<Series>& series, const std::vector<Point>& band, bool log,
            const Limits& limits) {
  Axis a;
  a.log = log;
  Range r;
  auto add = [&r, &a](const Point& p) {
    double bottom = p.value - p.total_down, top = p.value + p.total_up;
    r.add(a.of(a.log && bottom <= 0 ? p.value : bottom));
    r.add(a.of(std::isfinite(top) ? top : p.value));
    r.add(a.of(p.value));
  };
  for (const Series& t : series)
    for (const Point& p : t.points) add(p);
  for (const Point& p : band) add(p);
  if (log && r.lo > r.hi)
    a.lo = -3, a.hi = 2;
  else
    std::tie(a.lo, a.hi) = padded(r, 0.05);
  limit(a, limits);
  return a;
}

std::string title(const tables::Header& h) {
  return plot_text(h.units.empty() ? h.name : h.name + " [" + h.units + "]");
}

std::string entry(const Series& s) {
  return s.slice.empty() ? plot_text(s.label) : plot_text(s.label) + ", " + plot_text(s.slice);
}

// The line on standard error that names a measured point drawn as an
// arrow at the edge of the y range it lies beyond.
std::string arrow_note(const Series& t, const Point& p, bool ratio, const char* range) {
  return note_line(t.file, where(t, p) + (ratio ? " in the ratio" : "") +
                               " drawn as an arrow at the edge: " + because(range, p.value));
}

// Each series' points that the main panel shows, the others named: a
// measured point beyond the y range as an arrow at the frame's edge, a
// prediction whole (the frame clips it); false when a table keeps none.
// `divided` keeps the series with the points beyond the y range too, for
// the ratio panel.
bool shown(const std::vector<Series>& series, const Settings& s, bool ylog, Panel& panel,
           std::vector<Series>& divided, std::vector<std::string>& notes, Failure& why) {
  std::vector<Series>& out = panel.series;
  std::string first;  // the table's first point left out, and why
  std::size_t points = 0;
  bool any = false;
  for (std::size_t k = 0; k < series.size(); ++k) {
    const Series& t = series[k];
    if (k == 0 || series[k - 1].table != t.table) first.clear(), points = 0, any = false;
    Series kept = t;
    kept.points.clear();
    Series all = kept;
    const bool measured = t.draw() == Draw::points;
    std::size_t beyond = 0;
    for (const Point& p : t.points) {
      std::string reason = left_out(p, {s.xlog, ylog});
      if (reason.empty() && measured && out_of(p.x, s.x_range))
        reason = because("outside the x range", p.x);
      if (reason.empty() && measured && out_of(p.value, s.y_range)) {
        panel.beyond.push_back({out.size(), p, p.value > s.y_range.hi});
        notes.push_back(arrow_note(t, p, false, "outside the y range"));
        ++beyond;
        all.points.push_back(p);
        continue;
      }
      if (reason.empty()) {
        kept.points.push_back(p);
        all.points.push_back(p);
        continue;
      }
      if (first.empty()) first = where(t, p) + ": " + reason;
      notes.push_back(note(t.file, where(t, p), false, reason));
    }
    points += t.points.size();
    any = any || !kept.points.empty() || beyond > 0;
    if (!kept.points.empty() || beyond > 0)
      out.push_back(std::move(kept)), divided.push_back(std::move(all));
    bool last_of_table = k + 1 == series.size() || series[k + 1].table != t.table;
    if (last_of_table && !any)
      return why = {Cause::nothing_to_draw, t.file,
                    points == 1 ? "its one point left out (" + first + ")"
                                : "all " + std::to_string(points) +
                                      " points left out (first: " + first + ")"},
             false;
  }
  return true;
}

// No more series than the palette tells apart; a table of several slices
// is named with the option that picks one.
bool within_palette(const std::vector<Series>& series, Failure& why) {
  if (series.size() <= palette_size) return true;
  std::size_t most = 0, count = 0;
  for (std::size_t k = 0; k < series.size(); ++k) {
    std::size_t n = std::ranges::count(series, series[k].table, &Series::table);
    if (n > count) most = k, count = n;
  }
  std::string total = std::to_string(series.size()), limit = std::to_string(palette_size);
  if (count < 2)
    return why = {Cause::too_many_series, "",
                  total + " tables, more than the " + limit + " a picture tells apart"},
           false;
  std::string slices = std::to_string(count) + " slices";
  if (count < series.size()) slices += " make " + total + " series";
  return why = {Cause::too_many_series, series[most].file,
                slices + ", more than the " + limit +
                    " a picture tells apart: draw one with --slice N (1 to " +
                    std::to_string(count) + ")"},
         false;
}

// The ratio panel, its points outside a ratio range the user gave named;
// false when it would show no point.
bool ratio_panel(const std::vector<Series>& series, const Settings& s, Panel& panel,
                 std::vector<std::string>& notes, Failure& why) {
  if (series.size() < 2)
    return why = {Cause::empty_ratio, "", series.front().file + " is the only table"}, false;
  Ratios r = ratios(series, s.xlog);
  for (const Miss& m : r.misses) notes.push_back(note(series[m.series].file, m.where, true, m.why));
  bool any = false;
  for (std::size_t k = 0; k < r.series.size(); ++k) {
    Series& t = r.series[k];
    std::erase_if(t.points, [&](const Point& p) {
      if (t.draw() != Draw::points || !out_of(p.value, s.ratio_range)) return false;
      panel.beyond.push_back({k + 1, p, p.value > s.ratio_range.hi});
      notes.push_back(arrow_note(t, p, true, "outside the ratio range"));
      return true;
    });
    any = any || !t.points.empty() || !panel.beyond.empty();
    panel.series.push_back(t);
    panel.styles.push_back(k + 1);
  }
  if (!any)
    return why = {Cause::empty_ratio, "",
                  "no point of another table can be divided by one of " + series.front().file},
           false;
  panel.band = r.band;
  panel.band_curve = r.band_curve;
  panel.y = y_axis(panel.series, panel.band, false, s.ratio_range);
  if (std::isnan(s.ratio_range.lo)) panel.y.lo = std::min(panel.y.lo, 0.95);
  if (std::isnan(s.ratio_range.hi)) panel.y.hi = std::max(panel.y.hi, 1.05);
  panel.name = "ratio to " + entry(series.front());
  return true;
}

}  // namespace

double Axis::of(double v) const { return log ? std::log10(v) : v; }

bool compose(const std::vector<Series>& given, const Settings& s, Figure& f,
             std::vector<std::string>& notes, Failure& why) {
  std::vector<Series> series = given;
  std::vector<std::string> names;  // of the x categories, as picture text
  for (const std::string& name : categories(series)) names.push_back(plot_text(name));
  Scale scale = s.y_scale == Scale::automatic && s.y_range.lo <= 0 ? Scale::linear : s.y_scale;
  bool ylog = logarithmic(series, scale, s.xlog);
  std::vector<Series> divided;  // the series with their points beyond the y range
  if (!shown(series, s, ylog, f.main, divided, notes, why) || !within_palette(f.main.series, why))
    return false;
  const std::vector<Series>& main = f.main.series;
  for (std::size_t k = 0; k < main.size(); ++k) {
    f.main.styles.push_back(k);
    bool band = false;
    for (const Point& p : main[k].points) band = band || p.has_errors;
    f.legend.push_back(
        {entry(main[k]), main[k].draw(), main[k].draw() != Draw::points && band, {}});
  }
  f.x = x_axis(main, f.main.beyond, s, names);
  f.main.y = y_axis(main, {}, ylog, s.y_range);
  for (const Axis* a : {&f.x, &f.main.y})
    if (!std::isfinite(a->hi - a->lo))
      return why = {Cause::nothing_to_draw, main.front().file,
                    "its values span more than an axis can hold"},
             false;
  f.x_name = s.x_title ? plot_text(*s.x_title) : title(main.front().x);
  f.main.name = s.y_title ? plot_text(*s.y_title) : title(main.front().y);
  if (s.ratio && !ratio_panel(divided, s, f.ratio.emplace(), notes, why)) return false;
  for (const std::string& line : s.text) f.text_lines.push_back(plot_text(line));
  return true;
}

}  // namespace plot
