// The picture: x_p from 0 to 1 across, the fragmentation function up on a
// logarithmic axis, each bin's range as a horizontal bar, the statistical
// error as a thick inner bar and the total error as a thin capped one.

#include "draw.hpp"

#include <fcntl.h>
#include <plplot.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace plot {

namespace {

// Colour map 0: white background, black axes, then one colour per table
// (a palette that stays distinct for colour-blind readers).
constexpr PLINT red[] = {255, 0, 0, 213, 0, 204, 230, 86};
constexpr PLINT green[] = {255, 0, 114, 94, 158, 121, 159, 180};
constexpr PLINT blue[] = {255, 0, 178, 0, 115, 167, 0, 233};
constexpr int series = 6;
const char* const markers[series] = {"●", "■", "▲", "◆", "▼", "★"};

// PLplot ends the process on a fatal error; its exit handler sees only the
// message, so the picture's name and the real standard error wait here.
std::string picture_name;
int real_stderr = 2;
std::string plplot_error;

int on_fatal(const char* message) {
  std::string line = "xpcorr-plot: cannot draw " + picture_name + ": " + message + "\n";
  if (write(real_stderr, line.data(), line.size())) {}
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

// The decades the value axis spans: from the lowest bar end above zero to
// the highest, over every drawable point; 1e-3 to 1e2 when there is none.
std::pair<double, double> decades(const std::vector<Table>& tables) {
  double lo = INFINITY, hi = 0;
  for (const Table& t : tables)
    for (const Point& p : t.points)
      if (undrawable(p).empty()) {
        double bottom = p.value - p.total_down, top = p.value + p.total_up;
        lo = std::min(lo, bottom > 0 ? bottom : p.value);
        hi = std::max(hi, std::isfinite(top) ? top : p.value);
      }
  if (lo > hi) return {-3, 2};
  double a = std::floor(std::log10(lo)), b = std::ceil(std::log10(hi));
  return {a, std::max(b, a + 1)};
}

// One point of a table, `dx` aside from its bin's centre so that tables
// drawn together do not hide each other; `floor` is the axis bottom.
void draw_point(const Point& p, double dx, double floor, const char* marker) {
  auto y = [floor](double v) { return v > 0 ? std::max(std::log10(v), floor) : floor; };
  double x = (p.low + p.high) / 2 + dx, yv = std::log10(p.value), cap = 0.006;
  double t0 = y(p.value - p.total_down), t1 = y(p.value + p.total_up);
  plwidth(1.5);
  pljoin(p.low, yv, p.high, yv);
  pljoin(x, t0, x, t1);
  pljoin(x - cap, t0, x + cap, t0);
  pljoin(x - cap, t1, x + cap, t1);
  plwidth(4);
  pljoin(x, y(p.value - p.stat_down), x, y(p.value + p.stat_up));
  plschr(0, 0.6);
  plstring(1, &x, &yv, marker);
  plschr(0, 1.15);
}

// The label as PLplot text: '#' starts its escape sequences.
std::string escaped(const std::string& label) {
  std::string s;
  for (char c : label) s += c == '#' ? std::string("##") : std::string(1, c);
  return s;
}

void draw_legend(const std::vector<Table>& tables) {
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
  pllegend(&w, &h, PL_LEGEND_BACKGROUND | PL_LEGEND_BOUNDING_BOX, PL_POSITION_TOP | PL_POSITION_RIGHT | PL_POSITION_INSIDE,
           0.02, 0.03, 0.08, 0, 1, 1, 0, 0, n, opts.data(), 1.0, 1.0, 2.0, 0, colours.data(), text_ptrs.data(),
           nullptr, nullptr, nullptr, nullptr, colours.data(), styles.data(), widths.data(), colours.data(),
           scales.data(), numbers.data(), symbols.data());
}

void draw_all(const std::vector<Table>& tables) {
  auto [a, b] = decades(tables);
  plscmap0(red, green, blue, std::size(red));
  plspage(0, 0, 900, 650, 0, 0);
  plinit();
  pladv(0);
  plschr(0, 1.15);
  plvpor(0.13, 0.96, 0.13, 0.95);
  plwind(0, 1, a, b);
  plcol0(1);
  plwidth(1);
  plbox("bcnst", 0.1, 2, "bcnstlv", 0, 0);
  pllab("x#dp#u", "fragmentation function", "");
  double n = static_cast<double>(tables.size());
  for (std::size_t i = 0; i < tables.size(); ++i) {
    plcol0(2 + static_cast<PLINT>(i % series));
    double dx = (static_cast<double>(i) - (n - 1) / 2) * 0.01;
    for (const Point& p : tables[i].points)
      if (undrawable(p).empty()) draw_point(p, dx, a, markers[i % series]);
  }
  plcol0(1);
  plwidth(1);
  draw_legend(tables);
  plend();
}

}  // namespace

std::string undrawable(const Point& p) {
  if (!std::isfinite(p.value)) return "value is not finite";
  if (p.value <= 0) return "value is not positive";
  if (!std::isfinite(p.total_down) || !std::isfinite(p.total_up)) return "an error is not finite";
  return "";
}

bool draw(const std::vector<Table>& tables, const char* device, const std::string& name, std::string& bytes,
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
      draw_all(tables);
    }
  }
  if (plplot_error.empty() && size == 0) plplot_error = "PLplot wrote nothing";
  if (plplot_error.empty()) bytes.assign(buffer, size);
  std::free(buffer);
  if (!plplot_error.empty()) return why = {Cause::cannot_draw, name, plplot_error}, false;
  return true;
}

}  // namespace plot
