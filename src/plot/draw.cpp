// The picture of a figure: in each panel its frame and ticks, each bin's
// range as a horizontal bar, the statistical error as a thick inner bar
// and the total error as a thin capped one, each curve as a line in its
// band; the ratio panel's band around 1; then, on the page, the tick
// labels, the titles, the legend and the text label where the layout put
// them.

#include "plot/draw.hpp"

#include <fcntl.h>
#include <plplot.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "files/memory_file.hpp"
#include "files/whole_file.hpp"
#include "plot/latex.hpp"

namespace plot {

namespace {

// Colour map 0: white and black, then the ten colours of the series (a
// sequence that colour-blind readers tell apart), then the same ten as
// light, translucent fills for bands.
// clang-format off
constexpr PLINT palette[palette_size][3] = {
    {63, 144, 218}, {255, 169, 14}, {189, 31, 1}, {148, 164, 162}, {131, 45, 182},
    {169, 107, 89}, {231, 99, 0},   {185, 172, 112}, {113, 117, 129}, {146, 218, 221},
};
const char* const markers[palette_size] = {"●", "■", "▲", "▼", "◆", "★", "○", "□", "△", "◇"};
// clang-format on
constexpr PLINT colour0 = 2, fill0 = colour0 + palette_size;

// PLplot ends the process on a fatal error; its exit handler sees only the
// message, so the picture's name and the real standard error wait here.
std::string picture_name;
int real_stderr = 2;
std::string plplot_error;

int on_fatal(const char* message) {
  std::string line = "xpcorr-plot: cannot draw " + picture_name + ": " + message + "\n";
  files::write_in_full(real_stderr, line);
  std::_Exit(1);
}

void on_error(const char* message) {
  if (plplot_error.empty()) plplot_error = message;
}

// PLplot and the libraries under it may talk on standard error; a
// successful run keeps it clean, so it points to /dev/null meanwhile.
struct Quiet {
  Quiet() {
    std::fflush(stderr);
    real_stderr = dup(2);
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, 2), close(null);
  }
  ~Quiet() {
    std::fflush(stderr);
    if (real_stderr >= 0) dup2(real_stderr, 2), close(real_stderr);
    real_stderr = 2;
  }
};

bool device_exists(const char* device) {
  const char* menu[128];
  const char* names[128];
  int n = 128;
  const char** m = menu;
  const char** d = names;
  plgDevs(&m, &d, &n);
  for (int i = 0; i < n; ++i)
    if (std::strcmp(names[i], device) == 0) return true;
  return false;
}

// Lengths on the device: PLplot counts 72 units an inch (millimetres of
// those), so a PNG of 200 pixels an inch is drawn 200/72 times larger.
struct Device {
  const Figure& f;
  double scale;
  double mm(double points) const { return points * 25.4 / 72 * scale; }
  // Text `size` points high (PLplot sizes its characters' height, about
  // 1/1.3 of the font's size).
  void text_size(double size) const { plschr(mm(size / 1.3), 1); }
  void width(double points) const { plwidth(points * f.font / 11 * scale); }
};

// World coordinates of one panel.
struct Window {
  const Figure& f;
  const Panel& panel;
  double x(double v) const { return f.x.of(v); }
  double y(double v) const { return panel.y.log && v <= 0 ? panel.y.lo : panel.y.of(v); }
  // World length of `points` across and up.
  double across(double points) const {
    return points / (panel.frame.x1 - panel.frame.x0) * (f.x.hi - f.x.lo);
  }
  double up(double points) const {
    return points / (panel.frame.y1 - panel.frame.y0) * (panel.y.hi - panel.y.lo);
  }
};

void enter(const Figure& f, const Box& b, double x0, double x1, double y0, double y1) {
  plvpor(b.x0 / f.width, b.x1 / f.width, b.y0 / f.height, b.y1 / f.height);
  plwind(x0, x1, y0, y1);
}

// A bin or a point of a series drawn as data, `dx` aside from its x.
void draw_point(const Device& d, const Window& w, const Point& p, double dx, const char* marker) {
  double x = w.x(p.x) + dx, y = w.y(p.value), cap = w.across(0.25 * d.f.font);
  d.width(1.2);
  if (p.high > p.low) pljoin(w.x(std::max(p.low, w.f.x.log ? 0.0 : p.low)), y, w.x(p.high), y);
  if (p.has_errors) {
    double t0 = w.y(p.value - p.total_down), t1 = w.y(p.value + p.total_up);
    d.width(1);
    pljoin(x, t0, x, t1);
    pljoin(x - cap, t0, x + cap, t0);
    pljoin(x - cap, t1, x + cap, t1);
    d.width(2.8);
    pljoin(x, w.y(p.value - p.stat_down), x, w.y(p.value + p.stat_up));
  }
  d.text_size(0.75 * d.f.font);
  plstring(1, &x, &y, marker);
}

// A curve: its band (the total error), then its line.
void draw_curve(const Device& d, const Window& w, const Series& s, PLINT style) {
  std::vector<Point> line = line_of(s, w.f.x.log);
  std::vector<PLFLT> xs, ys, band_x, band_y;
  bool band = false;
  for (const Point& p : line) {
    xs.push_back(w.x(p.x)), ys.push_back(w.y(p.value));
    band = band || p.has_errors;
  }
  for (const Point& p : line)
    band_x.push_back(w.x(p.x)), band_y.push_back(w.y(p.value - p.total_down));
  for (auto p = line.rbegin(); p != line.rend(); ++p)
    band_x.push_back(w.x(p->x)), band_y.push_back(w.y(p->value + p->total_up));
  if (band && line.size() > 1) {
    plcol0(fill0 + style);
    plfill(static_cast<PLINT>(band_x.size()), band_x.data(), band_y.data());
  }
  plcol0(colour0 + style);
  d.width(1.8);
  if (line.size() > 1) plline(static_cast<PLINT>(xs.size()), xs.data(), ys.data());
  d.text_size(0.5 * d.f.font);
  if (line.size() == 1) plstring(1, xs.data(), ys.data(), markers[style]);
}

void draw_series(const Device& d, const Window& w) {
  const Panel& panel = w.panel;
  std::size_t n = w.f.main.series.size();
  for (std::size_t i = 0; i < panel.series.size(); ++i) {
    PLINT style = static_cast<PLINT>(panel.styles[i]);
    if (panel.series[i].curve) {
      draw_curve(d, w, panel.series[i], style);
      continue;
    }
    plcol0(colour0 + style);
    for (const Point& p : panel.series[i].points)
      draw_point(d, w, p, aside(panel.styles[i], n, w.f.x, p), markers[style]);
  }
  plcol0(1);
}

// One bin of the band: a box over its width, or a thick bar at a point.
void draw_band_bin(const Device& d, const Window& w, const Point& b) {
  double lo = 1 - b.total_down, hi = 1 + b.total_up;
  if (b.high > b.low) {
    PLFLT x0 = w.x(std::max(b.low, w.f.x.log && b.low <= 0 ? b.x : b.low)), x1 = w.x(b.high);
    PLFLT xs[] = {x0, x1, x1, x0}, ys[] = {lo, lo, hi, hi};
    plfill(4, xs, ys);
  } else {
    d.width(4);
    pljoin(w.x(b.x), lo, w.x(b.x), hi);
  }
}

// The first series' total error as a band around 1, in bins (a point
// without width as a thick bar) or along its curve, and a dashed line at 1.
void draw_band(const Device& d, const Window& w) {
  plcol0(fill0);
  const std::vector<Point>& band = w.panel.band;
  if (w.panel.band_curve && band.size() > 1) {
    std::vector<PLFLT> xs, ys;
    for (const Point& b : band) xs.push_back(w.x(b.x)), ys.push_back(1 - b.total_down);
    for (auto b = band.rbegin(); b != band.rend(); ++b)
      xs.push_back(w.x(b->x)), ys.push_back(1 + b->total_up);
    plfill(static_cast<PLINT>(xs.size()), xs.data(), ys.data());
  } else {
    for (const Point& b : band) draw_band_bin(d, w, b);
  }
  plcol0(1);
  d.width(0.8);
  PLINT dash = static_cast<PLINT>(d.mm(3) * 1000);  // micrometres
  plstyl(1, &dash, &dash);
  pljoin(w.f.x.lo, 1, w.f.x.hi, 1);
  plstyl(0, nullptr, nullptr);
}

// The frame of a panel with its ticks inside, major and minor, on all four
// sides.
void draw_frame(const Device& d, const Window& w) {
  plcol0(1);
  d.width(0.8);
  plbox("bc", 0, 0, "bc", 0, 0);
  const Axis &x = w.f.x, &y = w.panel.y;
  const double font = w.f.font;
  auto across = [&](double at, double length) {
    if (at < x.lo || at > x.hi) return;
    pljoin(at, y.lo, at, y.lo + w.up(length));
    pljoin(at, y.hi, at, y.hi - w.up(length));
  };
  auto up = [&](double at, double length) {
    if (at < y.lo || at > y.hi) return;
    pljoin(x.lo, at, x.lo + w.across(length), at);
    pljoin(x.hi, at, x.hi - w.across(length), at);
  };
  for (const Tick& t : x.ticks.major) across(t.at, 0.55 * font);
  for (double at : x.ticks.minor) across(at, 0.3 * font);
  for (const Tick& t : y.ticks.major) up(t.at, 0.55 * font);
  for (double at : y.ticks.minor) up(at, 0.3 * font);
}

void draw_panel(const Device& d, const Panel& p) {
  const Figure& f = d.f;
  enter(f, p.frame, f.x.lo, f.x.hi, p.y.lo, p.y.hi);
  Window w{f, p};
  if (&p != &f.main) draw_band(d, w);
  draw_series(d, w);
  draw_frame(d, w);
}

// Lines of text at `size`, centred on `x`, `y` (rotated to read upwards
// when `up`), line after line away from the frame.
void draw_lines(const Device& d, const Title& t, double x, double y, bool up) {
  d.text_size(t.size);
  const double step = line_height * t.size;
  for (std::size_t i = 0; i < t.lines.size(); ++i) {
    double k = static_cast<double>(i) - static_cast<double>(t.lines.size() - 1) / 2;
    if (up)
      plptex(x + k * step, y, 0, 1, 0.5, t.lines[i].c_str());
    else
      plptex(x, y - k * step, 1, 0, 0.5, t.lines[i].c_str());
  }
}

// The tick labels and titles of every panel, on the page.
void draw_labels(const Device& d) {
  const Figure& f = d.f;
  const double font = f.font;
  const Panel& lowest = f.ratio ? *f.ratio : f.main;
  double titles = 0;
  for (const Panel* p : {&f.main, f.ratio ? &*f.ratio : nullptr})
    if (p) titles = std::max(titles, p->title.height());
  d.text_size(font);
  for (const Tick& t : f.x.ticks.major) {
    if (t.at < f.x.lo || t.at > f.x.hi) continue;
    double x = f.x.along(t.at, lowest.frame.x0, lowest.frame.x1);
    plptex(x, lowest.frame.y0 - (1.0 + t.row * line_height) * font, 1, 0, 0.5, t.label.c_str());
  }
  for (const Panel* p : {&f.main, f.ratio ? &*f.ratio : nullptr}) {
    if (!p) continue;
    d.text_size(font);
    for (const Tick& t : p->y.ticks.major) {
      if (t.at < p->y.lo || t.at > p->y.hi) continue;
      double y = p->y.along(t.at, p->frame.y0, p->frame.y1);
      plptex(p->frame.x0 - 0.5 * font, y, 1, 0, 1, t.label.c_str());
    }
    draw_lines(d, p->title, 0.5 * font + titles - p->title.height() / 2,
               (p->frame.y0 + p->frame.y1) / 2, true);
  }
  draw_lines(d, f.x_title, (lowest.frame.x0 + lowest.frame.x1) / 2,
             lowest.frame.y0 - (2.0 + (rows(f.x.ticks.major) - 1) * line_height) * font -
                 f.x_title.height() / 2,
             false);
}

// The legend: a white box, each entry's sample (marker and bar, or line
// and band) and its text.
void draw_legend(const Device& d) {
  const Figure& f = d.f;
  const Box& b = f.legend_box;
  const double font = f.font;
  plcol0(0);
  PLFLT xs[] = {b.x0, b.x1, b.x1, b.x0}, ys[] = {b.y0, b.y0, b.y1, b.y1};
  plfill(4, xs, ys);
  plcol0(1);
  d.width(0.6);
  PLFLT lx[] = {b.x0, b.x1, b.x1, b.x0, b.x0}, ly[] = {b.y0, b.y0, b.y1, b.y1, b.y0};
  plline(5, lx, ly);
  for (std::size_t i = 0; i < f.legend.size(); ++i) {
    const LegendEntry& e = f.legend[i];
    PLINT style = static_cast<PLINT>(i);
    double y = b.y1 - 0.2 * font - (static_cast<double>(i) + 0.5) * 1.3 * font;
    double x0 = b.x0 + 0.5 * font, x1 = x0 + 2.0 * font, xm = (x0 + x1) / 2;
    if (e.band) {
      plcol0(fill0 + style);
      PLFLT bx[] = {x0, x1, x1, x0},
            by[] = {y - 0.35 * font, y - 0.35 * font, y + 0.35 * font, y + 0.35 * font};
      plfill(4, bx, by);
    }
    plcol0(colour0 + style);
    d.width(e.curve ? 1.8 : 1.2);
    pljoin(x0, y, x1, y);
    if (!e.curve) {
      d.width(1);
      pljoin(xm, y - 0.4 * font, xm, y + 0.4 * font);
      d.text_size(0.75 * font);
      plstring(1, &xm, &y, markers[style]);
    }
    plcol0(1);
    d.text_size(font);
    plptex(x1 + 0.5 * font, y, 1, 0, 0, e.text.c_str());
  }
}

void draw_text(const Device& d) {
  const Figure& f = d.f;
  d.text_size(f.font);
  for (std::size_t i = 0; i < f.text.size(); ++i) {
    double y = f.text_box.y1 - (static_cast<double>(i) + 0.5) * 1.3 * f.font;
    if (f.text_right)
      plptex(f.text_box.x1, y, 1, 0, 1, f.text[i].c_str());
    else
      plptex(f.text_box.x0, y, 1, 0, 0, f.text[i].c_str());
  }
}

void draw_all(const Figure& f, double scale) {
  Device d{f, scale};
  plscmap0n(static_cast<PLINT>(fill0 + palette_size));
  plscol0(0, 255, 255, 255);
  plscol0(1, 0, 0, 0);
  for (std::size_t i = 0; i < palette_size; ++i) {
    const PLINT* c = palette[i];
    plscol0(colour0 + static_cast<PLINT>(i), c[0], c[1], c[2]);
    plscol0a(fill0 + static_cast<PLINT>(i), c[0], c[1], c[2], 0.3);
  }
  plspage(0, 0, static_cast<PLINT>(std::lround(f.width * scale)),
          static_cast<PLINT>(std::lround(f.height * scale)), 0, 0);
  plinit();
  pladv(0);
  draw_panel(d, f.main);
  if (f.ratio) draw_panel(d, *f.ratio);
  enter(f, {0, 0, f.width, f.height}, 0, f.width, 0, f.height);
  draw_labels(d);
  if (f.show_legend) draw_legend(d);
  if (!f.text.empty()) draw_text(d);
  plend();
}

}  // namespace

bool draw(const Figure& figure, const char* device, const std::string& name, std::string& bytes,
          Failure& why) {
  files::MemoryFile memory;
  if (!memory.stream())
    return why = {Cause::cannot_draw, name, std::strerror(memory.error())}, false;
  picture_name = name;
  plplot_error.clear();
  {
    Quiet quiet;
    plsexit(on_fatal);
    plsabort(on_error);
    if (!device_exists(device)) {
      plplot_error = std::string("PLplot has no device ") + device;
      std::fclose(memory.stream());
    } else {
      plsdev(device);
      plsfile(memory.stream());  // closed by plend
      draw_all(figure, std::strcmp(device, "pngcairo") == 0 ? 200.0 / 72 : 1.0);
    }
  }
  const std::string_view drawn = memory.bytes();
  if (plplot_error.empty() && memory.error() != 0) plplot_error = std::strerror(memory.error());
  if (plplot_error.empty() && drawn.empty()) plplot_error = "PLplot wrote nothing";
  if (plplot_error.empty()) bytes.assign(drawn);
  if (!plplot_error.empty()) return why = {Cause::cannot_draw, name, plplot_error}, false;
  return true;
}

}  // namespace plot
