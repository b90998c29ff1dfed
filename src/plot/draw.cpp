// The picture of a figure: its marks replayed through PLplot, those of each
// panel clipped by its frame, then those of the page. Every position,
// length and size comes from the marks; here are only the colours, the
// device's units and PLplot's handling.

#include "plot/draw.hpp"

#include <fcntl.h>
#include <plplot.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "files/memory_file.hpp"
#include "files/whole_file.hpp"
#include "plot/png.hpp"

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
// clang-format on
static_assert(colour_of(0) == 2 && fill_of(0) == colour_of(palette_size));

// PLplot ends the process on a fatal error; its exit handler sees only the
// message, so the picture's name and the real standard error wait here.
// The message goes through the program's one complain, on the real
// standard error put back.
std::string picture_name;
int real_stderr = 2;
std::string plplot_error;

int on_fatal(const char* message) {
  if (real_stderr != 2) dup2(real_stderr, 2);
  std::_Exit(complain({Cause::cannot_draw, picture_name, message}));
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

// Marks in page points replayed on a device that counts 72 units an inch
// (millimetres of those), so a PNG of 200 pixels an inch is `scale` 200/72.
struct Device {
  double scale;
  double mm(double points) const { return points * 25.4 / 72 * scale; }
  // PLplot sizes text by its characters' height, about 1/1.3 of the font's.
  void text_size(double size) const { plschr(mm(size / 1.3), 1); }
};

void replay(const Device& d, const std::vector<Mark>& marks) {
  std::vector<PLFLT> xs, ys;
  for (const Mark& m : marks) {
    plcol0(m.ink);
    xs.clear(), ys.clear();
    for (XY p : m.at) xs.push_back(p.x), ys.push_back(p.y);
    const PLINT n = static_cast<PLINT>(xs.size());
    switch (m.kind) {
      case Mark::Kind::fill: plwidth(0), plfill(n, xs.data(), ys.data()); break;
      case Mark::Kind::line: {
        plwidth(m.width * d.scale);
        PLINT dash = static_cast<PLINT>(d.mm(3) * 1000);  // micrometres
        if (m.dashed) plstyl(1, &dash, &dash);
        plline(n, xs.data(), ys.data());
        if (m.dashed) plstyl(0, nullptr, nullptr);
        break;
      }
      case Mark::Kind::text:
        d.text_size(m.size);
        plptex(xs[0], ys[0], m.up ? 0 : 1, m.up ? 1 : 0, m.just, m.text.c_str());
        break;
    }
  }
}

// A region of the page whose world coordinates are page points.
void enter(const Figure& f, const Box& b) {
  plvpor(b.x0 / f.width, b.x1 / f.width, b.y0 / f.height, b.y1 / f.height);
  plwind(b.x0, b.x1, b.y0, b.y1);
}

// The page's size in the device's units.
PLINT across(const Figure& f, double scale) {
  return static_cast<PLINT>(std::lround(f.width * scale));
}
PLINT up(const Figure& f, double scale) {
  return static_cast<PLINT>(std::lround(f.height * scale));
}

void draw_all(const Figure& f, double scale) {
  Device d{scale};
  plscmap0n(fill_of(palette_size));
  plscol0(white, 255, 255, 255);
  plscol0(black, 0, 0, 0);
  for (std::size_t i = 0; i < palette_size; ++i) {
    const PLINT* c = palette[i];
    plscol0(colour_of(i), c[0], c[1], c[2]);
    plscol0a(fill_of(i), c[0], c[1], c[2], 0.3);
  }
  plspage(0, 0, across(f, scale), up(f, scale), 0, 0);
  plinit();
  pladv(0);
  for (const Panel* p : {&f.main, f.ratio ? &*f.ratio : nullptr})
    if (p) enter(f, p->frame), replay(d, p->marks);
  enter(f, {0, 0, f.width, f.height});
  replay(d, f.page);
  plend();
}

// A PNG at 200 pixels an inch: PLplot's memory device draws the pixels
// of its PNG device on a white page of our own, which is then encoded at
// a fast setting (the PNG device's encoder took longer than the drawing).
void draw_png(const Figure& f, std::vector<unsigned char>& pixels, Rgb& picture) {
  const double scale = 200.0 / 72;
  picture.width = across(f, scale), picture.height = up(f, scale);
  pixels.assign(static_cast<std::size_t>(picture.width) * picture.height * 3, 255);
  picture.bytes = pixels.data();
  plsdev("memcairo");
  plsmem(picture.width, picture.height, pixels.data());
  draw_all(f, scale);
}

}  // namespace

bool draw(const Figure& figure, const char* device, const std::string& name, std::string& bytes,
          Failure& why) {
  files::MemoryFile memory;
  if (!memory.stream()) return why = {Cause::cannot_draw, name, memory.error()}, false;
  picture_name = name;
  plplot_error.clear();
  // A PNG's pixels come from PLplot's memory device and are encoded here;
  // the other formats are PLplot's own files.
  const bool png = std::strcmp(device, "pngcairo") == 0;
  const char* used = png ? "memcairo" : device;
  std::vector<unsigned char> pixels;
  Rgb picture;
  {
    Quiet quiet;
    plsexit(on_fatal);
    plsabort(on_error);
    if (!device_exists(used)) {
      plplot_error = std::string("PLplot has no device ") + used;
      std::fclose(memory.stream());
    } else if (png) {
      std::fclose(memory.stream());
      draw_png(figure, pixels, picture);
    } else {
      plsdev(device);
      plsfile(memory.stream());  // closed by plend
      draw_all(figure, 1.0);
    }
  }
  if (plplot_error.empty() && png) {
    encode_png(picture, bytes, plplot_error);
  } else if (plplot_error.empty()) {
    const std::string_view drawn = memory.bytes();
    if (memory.error() != 0)
      return why = {Cause::cannot_draw, name, memory.error()}, false;
    if (drawn.empty())
      plplot_error = "PLplot wrote nothing";
    else
      bytes.assign(drawn);
  }
  if (!plplot_error.empty()) return why = {Cause::cannot_draw, name, plplot_error}, false;
  return true;
}

}  // namespace plot
