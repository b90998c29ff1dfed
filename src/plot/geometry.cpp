// The marks of a figure whose frames are placed: in each panel its bands,
// then its lines and steps, then the measured points' bars and markers;
// on the page the frames with their ticks, the tick labels, the titles,
// the legend and the text label. Every length comes from the table of
// sizes in geometry.hpp.

#include "plot/geometry.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "plot/figure.hpp"
#include "plot/layout.hpp"

namespace plot {

Extent extent_of(const std::string& text) {
  int level = 0, top = 0, bottom = 0;
  for (std::size_t i = 0; i + 1 < text.size(); ++i)
    if (text[i] == '#' && text[i + 1] == '#') {
      ++i;
    } else if (text[i] == '#' && (text[i + 1] == 'u' || text[i + 1] == 'd')) {
      level += text[i + 1] == 'u' ? 1 : -1;
      top = std::max(top, level), bottom = std::min(bottom, level);
      ++i;
    }
  return {em::text_half + em::script * top, em::text_half - em::script * bottom};
}

double slot_of(const std::string& text) {
  Extent e = extent_of(text);
  return std::max(em::legend_line, e.above + e.below);
}

double centre_in_slot(const std::string& text) {
  Extent e = extent_of(text);
  return (slot_of(text) - e.above - e.below) / 2 + e.above;
}

double Title::height() const {
  double h = 0;
  for (const std::string& line : lines) {
    Extent e = extent_of(line);
    h += (e.above + e.below) * size;
  }
  return h;
}

Box box_of(const Mark& m) {
  if (m.kind == Mark::Kind::text) {
    const double w = text_width(m.text) * m.size;
    const Extent e = extent_of(m.text);
    const XY a = m.at.front();
    if (m.up)
      return {a.x - e.above * m.size, a.y - m.just * w, a.x + e.below * m.size,
              a.y + (1 - m.just) * w};
    return {a.x - m.just * w, a.y - e.below * m.size, a.x + (1 - m.just) * w,
            a.y + e.above * m.size};
  }
  Box b{INFINITY, INFINITY, -INFINITY, -INFINITY};
  for (XY p : m.at)
    b = {std::min(b.x0, p.x), std::min(b.y0, p.y), std::max(b.x1, p.x), std::max(b.y1, p.y)};
  const double half = m.kind == Mark::Kind::line ? m.width / 2 : 0;
  return {b.x0 - half, b.y0 - half, b.x1 + half, b.y1 + half};
}

namespace {

// The bins of each series of a panel drawn as points, its arrows' among
// them, as sorted edges: whether a series has a point in a given bin is
// a binary search, so a large table's points are set aside in n log n,
// not n squared. A point without width is no bin and never shares one.
class Bins {
 public:
  explicit Bins(const Panel& panel) : edges_(panel.series.size()) {
    for (std::size_t i = 0; i < panel.series.size(); ++i) {
      if (panel.series[i].draw() != Draw::points) continue;
      for (const Point& q : panel.series[i].points) add(i, q);
      for (const Beyond& b : panel.beyond)
        if (b.style == panel.styles[i]) add(i, b.point);
      std::ranges::sort(edges_[i]);
    }
  }
  bool has(std::size_t i, const Point& p) const {
    return std::ranges::binary_search(edges_[i], std::pair{p.low, p.high});
  }

 private:
  void add(std::size_t i, const Point& q) {
    if (q.high > q.low) edges_[i].emplace_back(q.low, q.high);
  }
  std::vector<std::vector<std::pair<double, double>>> edges_;
};

double aside(const Bins& bins, const Panel& panel, std::size_t k, const Axis& x, const Point& p) {
  if (!(p.high > p.low)) return 0;
  std::size_t n = 0, index = 0;
  for (std::size_t i = 0; i < panel.series.size(); ++i) {
    if (panel.series[i].draw() != Draw::points) continue;
    if (i == k) index = n;
    n += i == k || bins.has(i, p);
  }
  if (n < 2) return 0;
  const double step =
      std::min(0.01 * (x.hi - x.lo), (x.of(p.high) - x.low_of(p)) / static_cast<double>(n));
  return (static_cast<double>(index) - static_cast<double>(n - 1) / 2) * step;
}

}  // namespace

double aside(const Panel& panel, std::size_t k, const Axis& x, const Point& p) {
  return aside(Bins(panel), panel, k, x, p);
}

namespace {

// Page positions in one panel.
struct Spot {
  const Figure& f;
  const Panel& p;
  double X(double at) const { return f.x.along(at, p.frame.x0, p.frame.x1); }
  double Y(double at) const { return p.y.along(at, p.frame.y0, p.frame.y1); }
  double x(double v) const { return X(f.x.clamped(v)); }
  double y(double v) const { return Y(p.y.clamped(v)); }
  double low(const Point& q) const { return X(f.x.low_of(q)); }
  double lw(double w) const { return w * f.font / 11; }
};

Mark line(int ink, double width, std::vector<XY> at) {
  Mark m;
  m.ink = ink, m.width = width, m.at = std::move(at);
  return m;
}

Mark fill(int ink, std::vector<XY> at) {
  Mark m;
  m.kind = Mark::Kind::fill, m.ink = ink, m.at = std::move(at);
  return m;
}

Mark rectangle(int ink, double x0, double y0, double x1, double y1) {
  return fill(ink, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

Mark text(std::string s, double size, XY at, double just, bool up = false) {
  Mark m;
  m.kind = Mark::Kind::text, m.text = std::move(s), m.size = size, m.at = {at}, m.just = just,
  m.up = up;
  return m;
}

// The marker of style k, `r` points in radius, centred on `c`: the first
// five filled (circle, square, triangle up and down, diamond, star), the
// others open; a regular shape's vertices average to its centre.
Mark marker(std::size_t k, XY c, double r, double width) {
  std::vector<XY> v;
  auto ring = [&](int n, double radius, double turn) {
    for (int i = 0; i < n; ++i) {
      double a = turn + 2 * std::numbers::pi * i / n;
      v.push_back({c.x + radius * std::cos(a), c.y + radius * std::sin(a)});
    }
  };
  // The circle's directions, the same for every marker, computed once:
  // a large table draws thousands of circles. Sixteen sides stray from
  // the circle by 2 % of its radius, a fifth of a pixel at 200 an inch.
  static const std::vector<XY> circle = [] {
    std::vector<XY> d;
    for (int i = 0; i < 16; ++i) {
      double a = 2 * std::numbers::pi * i / 16;
      d.push_back({std::cos(a), std::sin(a)});
    }
    return d;
  }();
  const double quarter = std::numbers::pi / 2;
  constexpr int shapes[palette_size] = {0, 1, 2, 3, 4, 5, 0, 1, 2, 4};
  switch (shapes[k % palette_size]) {
    case 0:
      v.reserve(circle.size());
      for (XY d : circle) v.push_back({c.x + r * d.x, c.y + r * d.y});
      break;
    case 1: ring(4, 1.2 * r, quarter / 2); break;
    case 2: ring(3, 1.3 * r, quarter); break;
    case 3: ring(3, 1.3 * r, -quarter); break;
    case 4: ring(4, 1.3 * r, 0); break;
    default:
      for (int i = 0; i < 10; ++i) {
        double a = quarter + std::numbers::pi * i / 5, radius = i % 2 ? 0.55 * r : 1.35 * r;
        v.push_back({c.x + radius * std::cos(a), c.y + radius * std::sin(a)});
      }
  }
  if (k % palette_size < 6) return fill(colour_of(k), v);
  v.push_back(v.front());
  return line(colour_of(k), width, v);
}

// A series' measured points: their bins as bars, their total errors
// capped, their statistical errors thick, then their markers, point k
// `dx[k]` aside on the axis. Layer by layer, so that a series' markers lie
// over all its bars and each layer is a run of alike marks, which a PNG
// paints at once.
void point_marks(const Spot& at, const Series& s, std::size_t style, const std::vector<double>& dx,
                 std::vector<Mark>& out) {
  const double font = at.f.font, cap = em::cap * font;
  const int ink = colour_of(style);
  const std::vector<Point>& points = s.points;
  auto x_of = [&](std::size_t k) { return at.X(at.f.x.of(points[k].x) + dx[k]); };
  auto y_of = [&](const Point& q) { return at.Y(at.p.y.of(q.value)); };
  for (const Point& q : points)
    if (q.high > q.low)
      out.push_back(line(ink, at.lw(width::bin), {{at.low(q), y_of(q)}, {at.x(q.high), y_of(q)}}));
  for (std::size_t k = 0; k < points.size(); ++k) {
    const Point& q = points[k];
    if (!q.has_errors) continue;
    const double x = x_of(k), t0 = at.y(q.value - q.total_down), t1 = at.y(q.value + q.total_up);
    out.push_back(line(ink, at.lw(width::error), {{x, t0}, {x, t1}}));
    out.push_back(line(ink, at.lw(width::error), {{x - cap, t0}, {x + cap, t0}}));
    out.push_back(line(ink, at.lw(width::error), {{x - cap, t1}, {x + cap, t1}}));
  }
  for (std::size_t k = 0; k < points.size(); ++k) {
    const Point& q = points[k];
    if (q.has_errors)
      out.push_back(
          line(ink, at.lw(width::stat),
               {{x_of(k), at.y(q.value - q.stat_down)}, {x_of(k), at.y(q.value + q.stat_up)}}));
  }
  for (std::size_t k = 0; k < points.size(); ++k)
    out.push_back(
        marker(style, {x_of(k), y_of(points[k])}, em::marker * font, at.lw(width::error)));
}

// The band of a prediction: along its line, or a box over each bin.
void band_marks(const Spot& at, const Series& s, std::size_t style, std::vector<Mark>& out) {
  if (!std::ranges::any_of(s.points, &Point::has_errors)) return;
  if (s.curve) {
    std::vector<Point> line = line_of(s, at.f.x.log);
    if (line.size() < 2) return;
    std::vector<XY> v;
    for (const Point& q : line) v.push_back({at.x(q.x), at.y(q.value - q.total_down)});
    for (auto q = line.rbegin(); q != line.rend(); ++q)
      v.push_back({at.x(q->x), at.y(q->value + q->total_up)});
    out.push_back(fill(fill_of(style), v));
  } else {
    for (const Point& q : s.points)
      out.push_back(rectangle(fill_of(style), at.low(q), at.y(q.value - q.total_down), at.x(q.high),
                              at.y(q.value + q.total_up)));
  }
}

// The line of a prediction: through its points, or across each bin and
// up or down to the next where they meet.
void line_marks(const Spot& at, const Series& s, std::size_t style, std::vector<Mark>& out) {
  const int ink = colour_of(style);
  const double w = at.lw(width::line);
  std::vector<Point> line = line_of(s, at.f.x.log);
  if (s.curve) {
    std::vector<XY> v;
    for (const Point& q : line) v.push_back({at.x(q.x), at.Y(at.p.y.of(q.value))});
    if (v.size() > 1) out.push_back(Mark(plot::line(ink, w, v)));
    return;
  }
  std::vector<XY> run;
  double end = NAN;
  for (const Point& q : line) {
    if (q.low != end && run.size() > 1) out.push_back(plot::line(ink, w, run));
    if (q.low != end) run.clear();
    const double y = at.Y(at.p.y.of(q.value));
    run.push_back({at.low(q), y}), run.push_back({at.x(q.high), y});
    end = q.high;
  }
  if (run.size() > 1) out.push_back(plot::line(ink, w, run));
}

// The ratio panel's band around 1, the first series' error, and a dashed
// line at 1.
void unit_band(const Spot& at, std::vector<Mark>& out) {
  const std::vector<Point>& band = at.p.band;
  if (at.p.band_curve && band.size() > 1) {
    std::vector<XY> v;
    for (const Point& b : band) v.push_back({at.x(b.x), at.Y(1 - b.total_down)});
    for (auto b = band.rbegin(); b != band.rend(); ++b)
      v.push_back({at.x(b->x), at.Y(1 + b->total_up)});
    out.push_back(fill(fill_of(0), v));
  } else {
    for (const Point& b : band) {
      if (b.high > b.low)
        out.push_back(rectangle(fill_of(0), at.low(b), at.Y(1 - b.total_down), at.x(b.high),
                                at.Y(1 + b.total_up)));
      else
        out.push_back(
            line(fill_of(0), at.lw(width::band_bar),
                 {{at.x(b.x), at.Y(1 - b.total_down)}, {at.x(b.x), at.Y(1 + b.total_up)}}));
    }
  }
  Mark unit =
      line(black, at.lw(width::unit_line), {{at.p.frame.x0, at.Y(1)}, {at.p.frame.x1, at.Y(1)}});
  unit.dashed = true;
  out.push_back(unit);
}

// An arrow at the frame's edge pointing to a value beyond it, set aside
// as its marker would be.
void arrow_marks(const Spot& at, const Bins& bins, const Beyond& b, std::vector<Mark>& out) {
  std::size_t k = std::ranges::find(at.p.styles, b.style) - at.p.styles.begin();
  const double font = at.f.font, head = em::arrow_head * font;
  const double x = at.X(at.f.x.of(b.point.x) + aside(bins, at.p, k, at.f.x, b.point));
  const double tip = b.above ? at.p.frame.y1 : at.p.frame.y0;
  const double tail = b.above ? tip - em::arrow * font : tip + em::arrow * font;
  const double back = b.above ? tip - head : tip + head;
  const int ink = colour_of(b.style);
  out.push_back(line(ink, at.lw(width::error), {{x, tail}, {x, tip}}));
  out.push_back(
      line(ink, at.lw(width::error), {{x - head / 2, back}, {x, tip}, {x + head / 2, back}}));
}

}  // namespace

void mark_panel(const Figure& f, Panel& p) {
  const Spot at{f, p};
  const Bins bins(p);
  std::vector<Mark>& out = p.marks;
  out.clear();
  if (&p != &f.main) unit_band(at, out);
  for (std::size_t i = 0; i < p.series.size(); ++i)
    if (p.series[i].draw() != Draw::points) band_marks(at, p.series[i], p.styles[i], out);
  for (std::size_t i = 0; i < p.series.size(); ++i)
    if (p.series[i].draw() != Draw::points) line_marks(at, p.series[i], p.styles[i], out);
  for (std::size_t i = 0; i < p.series.size(); ++i) {
    const Series& s = p.series[i];
    if (s.curve && line_of(s, f.x.log).size() == 1)
      out.push_back(marker(p.styles[i], {at.x(s.points.front().x), at.y(s.points.front().value)},
                           em::marker * f.font, at.lw(width::error)));
    if (s.draw() != Draw::points) continue;
    std::vector<double> dx;
    for (const Point& q : s.points) dx.push_back(aside(bins, p, i, f.x, q));
    point_marks(at, s, p.styles[i], dx, out);
  }
  for (const Beyond& b : p.beyond) arrow_marks(at, bins, b, out);
}

namespace {

// A panel's frame with its ticks inside, major and minor, on all four
// sides.
void frame_marks(const Figure& f, const Panel& p, std::vector<Mark>& out) {
  const Spot at{f, p};
  const Box& b = p.frame;
  const double w = at.lw(width::frame), font = f.font;
  out.push_back(
      line(black, w, {{b.x0, b.y0}, {b.x1, b.y0}, {b.x1, b.y1}, {b.x0, b.y1}, {b.x0, b.y0}}));
  auto across = [&](double pos, double length) {
    if (pos < f.x.lo || pos > f.x.hi) return;
    const double x = at.X(pos);
    out.push_back(line(black, w, {{x, b.y0}, {x, b.y0 + length * font}}));
    out.push_back(line(black, w, {{x, b.y1}, {x, b.y1 - length * font}}));
  };
  auto up = [&](double pos, double length) {
    if (pos < p.y.lo || pos > p.y.hi) return;
    const double y = at.Y(pos);
    out.push_back(line(black, w, {{b.x0, y}, {b.x0 + length * font, y}}));
    out.push_back(line(black, w, {{b.x1, y}, {b.x1 - length * font, y}}));
  };
  for (const Tick& t : f.x.ticks.major) across(t.at, em::tick_major);
  for (double pos : f.x.ticks.minor) across(pos, em::tick_minor);
  for (const Tick& t : p.y.ticks.major) up(t.at, em::tick_major);
  for (double pos : p.y.ticks.minor) up(pos, em::tick_minor);
}

// Lines of a title, the first nearest `from` (its top, or its left edge
// when it reads upwards) going away from it, each centred on `middle`.
void title_marks(const Title& t, double from, double middle, bool up, std::vector<Mark>& out) {
  double edge = from;
  for (const std::string& s : t.lines) {
    Extent e = extent_of(s);
    if (up) {
      out.push_back(text(s, t.size, {edge + e.above * t.size, middle}, 0.5, true));
      edge += (e.above + e.below) * t.size;
    } else {
      out.push_back(text(s, t.size, {middle, edge - e.above * t.size}, 0.5));
      edge -= (e.above + e.below) * t.size;
    }
  }
}

// The legend: a white box with a thin frame, and for each entry its
// sample (marker and bars, or line and band) and its text in lines.
void legend_marks(const Figure& f, std::vector<Mark>& out) {
  const Box& b = f.legend_box;
  const double font = f.legend_size;
  out.push_back(rectangle(white, b.x0, b.y0, b.x1, b.y1));
  out.push_back(line(black, width::legend * f.font / 11,
                     {{b.x0, b.y0}, {b.x1, b.y0}, {b.x1, b.y1}, {b.x0, b.y1}, {b.x0, b.y0}}));
  double top = b.y1 - em::legend_pad * font;
  const double lw = f.font / 11;
  for (std::size_t i = 0; i < f.legend.size(); ++i) {
    const LegendEntry& e = f.legend[i];
    const double y = top - centre_in_slot(e.lines.front()) * font;
    const double x0 = b.x0 + em::sample_gap * font, x1 = x0 + em::sample * font;
    if (e.band)
      out.push_back(
          rectangle(fill_of(i), x0, y - em::sample_band * font, x1, y + em::sample_band * font));
    if (e.draw == Draw::points) {
      out.push_back(line(colour_of(i), width::bin * lw, {{x0, y}, {x1, y}}));
      out.push_back(line(colour_of(i), width::error * lw,
                         {{(x0 + x1) / 2, y - em::sample_error * font},
                          {(x0 + x1) / 2, y + em::sample_error * font}}));
      out.push_back(marker(i, {(x0 + x1) / 2, y}, em::marker * font, width::error * lw));
    } else {
      out.push_back(line(colour_of(i), width::line * lw, {{x0, y}, {x1, y}}));
    }
    for (const std::string& s : e.lines) {
      out.push_back(text(s, font, {x1 + em::sample_gap * font, top - centre_in_slot(s) * font}, 0));
      top -= slot_of(s) * font;
    }
  }
}

}  // namespace

void mark_page(Figure& f) {
  std::vector<Mark>& out = f.page;
  out.clear();
  const double font = f.font;
  const Panel& lowest = f.ratio ? *f.ratio : f.main;
  std::vector<const Panel*> panels{&f.main};
  if (f.ratio) panels.push_back(&*f.ratio);
  double titles = 0;
  for (const Panel* p : panels) {
    frame_marks(f, *p, out);
    titles = std::max(titles, p->title.height());
  }
  for (const Tick& t : f.x.ticks.major)
    if (t.at >= f.x.lo && t.at <= f.x.hi)
      out.push_back(text(t.label, font,
                         {f.x.along(t.at, lowest.frame.x0, lowest.frame.x1),
                          lowest.frame.y0 - (em::x_label + t.row * em::x_row) * font},
                         0.5));
  for (const Panel* p : panels) {
    for (const Tick& t : p->y.ticks.major)
      if (t.at >= p->y.lo && t.at <= p->y.hi)
        out.push_back(text(
            t.label, font,
            {p->frame.x0 - em::tick_gap * font, p->y.along(t.at, p->frame.y0, p->frame.y1)}, 1));
    title_marks(p->title, em::pad * font + titles - p->title.height(),
                (p->frame.y0 + p->frame.y1) / 2, true, out);
  }
  title_marks(f.x_title,
              lowest.frame.y0 - (em::x_title + (rows(f.x.ticks.major) - 1) * em::x_row) * font,
              (lowest.frame.x0 + lowest.frame.x1) / 2, false, out);
  if (f.show_legend) legend_marks(f, out);
  double top = f.text_box.y1;
  for (const std::string& t : f.text) {
    double y = top - centre_in_slot(t) * f.text_size;
    out.push_back(text(t, f.text_size, {f.text_right ? f.text_box.x1 : f.text_box.x0, y},
                       f.text_right ? 1 : 0));
    top -= slot_of(t) * f.text_size;
  }
}

}  // namespace plot
