// The picture: the first independent variable across, one dependent
// variable up (logarithmic or linear), each bin's range as a horizontal bar,
// the statistical error as a thick inner bar and the total error as a thin
// capped one; with a ratio panel below, each table divided by the first,
// around the first's total error drawn as a band.

#include "plot/draw.hpp"

#include <fcntl.h>
#include <plplot.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "plot/latex.hpp"

namespace plot {

namespace {

// Colour map 0: white background, black axes, then one colour per table
// (a palette that stays distinct for colour-blind readers), then a light
// shade of the first table's colour for its band in the ratio panel.
constexpr PLINT red[] = {255, 0, 0, 213, 0, 204, 230, 86, 180};
constexpr PLINT green[] = {255, 0, 114, 94, 158, 121, 159, 180, 206};
constexpr PLINT blue[] = {255, 0, 178, 0, 115, 167, 0, 233, 230};
constexpr int series = 6;
constexpr PLINT band_colour = 8;
const char* const markers[series] = {"●", "■", "▲", "◆", "▼", "★"};

// PLplot ends the process on a fatal error; its exit handler sees only the
// message, so the picture's name and the real standard error wait here.
std::string picture_name;
int real_stderr = 2;
std::string plplot_error;

int on_fatal(const char* message) {
  std::string line = "xpcorr-plot: cannot draw " + picture_name + ": " + message + "\n";
  if (write(real_stderr, line.data(), line.size())) {
  }
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

// World coordinates of a panel: y in decades (log10) on a logarithmic axis.
struct Window {
  double x0, x1, y0, y1;
  bool log;
};

struct Range {
  double lo = INFINITY, hi = -INFINITY;
  void add(double v) {
    if (std::isfinite(v)) lo = std::min(lo, v), hi = std::max(hi, v);
  }
};

// A linear axis over `r` with a margin of `margin` of its width each side;
// 0 to 1 when there is nothing to show.
std::pair<double, double> padded(Range r, double margin) {
  if (r.lo > r.hi) return {0, 1};
  double width = r.hi - r.lo;
  double pad = width > 0 ? margin * width : std::max(0.1 * std::fabs(r.lo), 0.5);
  if (!std::isfinite(pad)) return {r.lo, r.hi};
  return {r.lo - pad, r.hi + pad};
}

// The x axis: from the lowest to the highest bin edge or point drawn.
std::pair<double, double> x_axis(const std::vector<Series>& tables, bool log) {
  Range r;
  for (const Series& t : tables)
    for (const Point& p : t.points)
      if (left_out(p, log).empty()) r.add(p.low), r.add(p.high), r.add(p.x);
  return padded(r, 0.02);
}

// The y axis over every bar end of the drawable points of `tables` and of
// `extra`: on a logarithmic axis the whole decades from the lowest end
// above zero to the highest (1e-3 to 1e2 when there is none).
std::pair<double, double> y_axis(const std::vector<Series>& tables, const std::vector<Point>& extra,
                                 bool log) {
  Range r;
  auto add = [&r, log](const Point& p) {
    double bottom = p.value - p.total_down, top = p.value + p.total_up;
    r.add(log && bottom <= 0 ? p.value : bottom);
    r.add(std::isfinite(top) ? top : p.value);
    r.add(p.value);
  };
  for (const Series& t : tables)
    for (const Point& p : t.points)
      if (left_out(p, log).empty()) add(p);
  for (const Point& p : extra) add(p);
  if (!log) return padded(r, 0.05);
  if (r.lo > r.hi) return {-3, 2};
  double a = std::floor(std::log10(r.lo)), b = std::ceil(std::log10(r.hi));
  return {a, std::max(b, a + 1)};
}

// One point; a bin's bars and marker `dx` aside from its x so that tables
// drawn together do not hide each other (a point without width stays at
// its x). A point without errors is its marker alone.
void draw_point(const Point& p, double dx, const Window& w, const char* marker) {
  auto y = [&w](double v) { return !w.log ? v : v > 0 ? std::max(std::log10(v), w.y0) : w.y0; };
  double x = p.high > p.low ? p.x + dx : p.x, yv = y(p.value), cap = 0.006 * (w.x1 - w.x0);
  plwidth(1.5);
  if (p.high > p.low) pljoin(std::max(p.low, w.x0), yv, std::min(p.high, w.x1), yv);
  if (p.has_errors) {
    double t0 = y(p.value - p.total_down), t1 = y(p.value + p.total_up);
    pljoin(x, t0, x, t1);
    pljoin(x - cap, t0, x + cap, t0);
    pljoin(x - cap, t1, x + cap, t1);
    plwidth(4);
    pljoin(x, y(p.value - p.stat_down), x, y(p.value + p.stat_up));
  }
  plschr(0, 0.6);
  plstring(1, &x, &yv, marker);
  plschr(0, 1.15);
}

// Tables `offset` on of `n` in all, each in its colour and marker.
void draw_series(const std::vector<Series>& tables, std::size_t offset, std::size_t n,
                 const Window& w) {
  for (std::size_t i = 0; i < tables.size(); ++i) {
    std::size_t k = offset + i;
    plcol0(2 + static_cast<PLINT>(k % series));
    double dx = (static_cast<double>(k) - static_cast<double>(n - 1) / 2) * 0.01 * (w.x1 - w.x0);
    for (const Point& p : tables[i].points)
      if (left_out(p, w.log).empty()) draw_point(p, dx, w, markers[k % series]);
  }
  plcol0(1);
  plwidth(1);
}

void draw_legend(const std::vector<Series>& tables) {
  std::vector<PLINT> opts, colours, numbers, styles;
  std::vector<PLFLT> widths, scales;
  std::vector<std::string> texts;
  std::vector<const char*> text_ptrs, symbols;
  for (std::size_t i = 0; i < tables.size(); ++i) {
    opts.push_back(PL_LEGEND_LINE | PL_LEGEND_SYMBOL);
    colours.push_back(2 + static_cast<PLINT>(i % series));
    numbers.push_back(1), styles.push_back(1), widths.push_back(1.5), scales.push_back(0.8);
    texts.push_back(escaped(tables[i].label));
    symbols.push_back(markers[i % series]);
  }
  for (const std::string& t : texts) text_ptrs.push_back(t.c_str());
  PLFLT w, h;
  PLINT n = static_cast<PLINT>(tables.size());
  pllegend(&w, &h, PL_LEGEND_BACKGROUND | PL_LEGEND_BOUNDING_BOX,
           PL_POSITION_TOP | PL_POSITION_RIGHT | PL_POSITION_INSIDE, 0.02, 0.03, 0.08, 0, 1, 1, 0,
           0, n, opts.data(), 1.0, 1.0, 2.0, 0, colours.data(), text_ptrs.data(), nullptr, nullptr,
           nullptr, nullptr, colours.data(), styles.data(), widths.data(), colours.data(),
           scales.data(), numbers.data(), symbols.data());
}

// The first table's total error as a shaded band around 1, bin by bin (a
// point without width as a thick bar), and a dashed line at 1.
void draw_band(const std::vector<Point>& band, const Window& w) {
  plcol0(band_colour);
  for (const Point& b : band) {
    double lo = 1 - b.total_down, hi = 1 + b.total_up;
    if (b.high > b.low) {
      PLFLT x0 = std::max(b.low, w.x0), x1 = std::min(b.high, w.x1);
      PLFLT xs[] = {x0, x1, x1, x0}, ys[] = {lo, lo, hi, hi};
      plfill(4, xs, ys);
    } else {
      plwidth(4);
      pljoin(b.x, lo, b.x, hi);
    }
  }
  plcol0(1);
  plwidth(1);
  pllsty(2);
  pljoin(w.x0, 1, w.x1, 1);
  pllsty(1);
}

std::string title(const tables::Header& h) {
  return plot_text(h.units.empty() ? h.name : h.name + " [" + h.units + "]");
}

void draw_all(const Picture& pic) {
  const std::vector<Series>& tables = pic.tables;
  auto [x0, x1] = x_axis(tables, pic.log);
  auto [y0, y1] = y_axis(tables, {}, pic.log);
  std::string x_title = title(tables.front().x), y_title = title(tables.front().y);
  plscmap0(red, green, blue, std::size(red));
  plspage(0, 0, 900, pic.ratios ? 820 : 650, 0, 0);
  plinit();
  pladv(0);
  plschr(0, 1.15);
  plvpor(0.13, 0.96, pic.ratios ? 0.38 : 0.13, 0.95);
  plwind(x0, x1, y0, y1);
  plcol0(1);
  plwidth(1);
  plbox(pic.ratios ? "bcst" : "bcnst", 0, 0, pic.log ? "bcnstlv" : "bcnstv", 0, 0);
  pllab(pic.ratios ? "" : x_title.c_str(), y_title.c_str(), "");
  draw_series(tables, 0, tables.size(), {x0, x1, y0, y1, pic.log});
  draw_legend(tables);
  if (pic.ratios) {
    auto [r0, r1] = y_axis(pic.ratios->tables, pic.ratios->band, false);
    Window w{x0, x1, std::min(r0, 0.95), std::max(r1, 1.05), false};
    plvpor(0.13, 0.96, 0.12, 0.36);
    plwind(w.x0, w.x1, w.y0, w.y1);
    draw_band(pic.ratios->band, w);
    plbox("bcnst", 0, 0, "bcnstv", 0, 0);
    pllab(x_title.c_str(), "ratio", "");
    draw_series(pic.ratios->tables, 1, tables.size(), w);
  }
  plend();
}

}  // namespace

bool draw(const Picture& picture, const char* device, const std::string& name, std::string& bytes,
          Failure& why) {
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* memory = open_memstream(&buffer, &size);
  if (!memory) return why = {Cause::cannot_draw, name, std::strerror(errno)}, false;
  picture_name = name;
  plplot_error.clear();
  {
    Quiet quiet;
    plsexit(on_fatal);
    plsabort(on_error);
    if (!device_exists(device)) {
      plplot_error = std::string("PLplot has no device ") + device;
      std::fclose(memory);
    } else {
      plsdev(device);
      plsfile(memory);  // closed by plend
      draw_all(picture);
    }
  }
  if (plplot_error.empty() && size == 0) plplot_error = "PLplot wrote nothing";
  if (plplot_error.empty()) bytes.assign(buffer, size);
  std::free(buffer);
  if (!plplot_error.empty()) return why = {Cause::cannot_draw, name, plplot_error}, false;
  return true;
}

}  // namespace plot
