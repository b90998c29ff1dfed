// The picture of a figure: its marks replayed, those of each panel clipped
// by its frame, then those of the page: through PLplot for SVG and PDF; for
// PNG lines and fills go to cairo directly and text through PLplot. Every
// position, length and size comes from the marks; here are only the
// colours, the device's units and PLplot's handling.

#include "plot/draw.hpp"

#include <cairo.h>
#include <fcntl.h>
#include <plplot.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "files/memory_file.hpp"
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
constexpr double fill_opacity = 0.3;
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

// The red, green and blue of colour `ink` from 0 to 1, and its opacity.
struct Rgba {
  double r, g, b, a;
};
Rgba rgba_of(int ink) {
  if (ink == white || ink == black)
    return {1.0 * (ink == white), 1.0 * (ink == white), 1.0 * (ink == white), 1};
  const bool fill = ink >= fill_of(0);
  const PLINT* c = palette[ink - (fill ? fill_of(0) : colour_of(0))];
  return {c[0] / 255.0, c[1] / 255.0, c[2] / 255.0, fill ? fill_opacity : 1};
}

// Dashes of a dashed line, on and off, in points.
constexpr double dash = 3;

// Marks in page points replayed on a device that counts 72 units an inch
// (millimetres of those), so a PNG of 200 pixels an inch is `scale` 200/72.
// A PNG's lines and fills go to `cairo`, whose pixels are `height` rows.
struct Device {
  double scale;
  cairo_t* cairo = nullptr;
  double height = 0;
  double mm(double points) const { return points * 25.4 / 72 * scale; }
  // PLplot sizes text by its characters' height, about 1/1.3 of the font's.
  void text_size(double size) const { plschr(mm(size / 1.3), 1); }
};

// Twice the area of polygon `v`, positive when it runs anticlockwise.
double twice_area(const std::vector<XY>& v) {
  double a = 0;
  for (std::size_t k = 0; k < v.size(); ++k) {
    const XY p = v[k], q = v[(k + 1) % v.size()];
    a += p.x * q.y - q.x * p.y;
  }
  return a;
}

// A run of lines or fills alike (kind, colour, width, dashes) from marks[i]
// painted by cairo as one path: one stroke or fill where PLplot would
// stroke each line and outline each polygon, which made a large table's
// thousands of bars and markers the larger part of its drawing. Each
// polygon is added anticlockwise, so that overlapping ones join and none
// cuts a hole in another. Returns the index after the run.
std::size_t paint_run(const Device& d, const std::vector<Mark>& marks, std::size_t i) {
  cairo_t* cr = d.cairo;
  const Mark& first = marks[i];
  auto alike = [&](const Mark& m) {
    return m.kind == first.kind && m.ink == first.ink && m.width == first.width &&
           m.dashed == first.dashed;
  };
  cairo_save(cr);
  cairo_identity_matrix(cr);
  cairo_new_path(cr);
  auto to = [&](XY p) { cairo_line_to(cr, p.x * d.scale, d.height - p.y * d.scale); };
  for (; i < marks.size() && alike(marks[i]); ++i) {
    const std::vector<XY>& v = marks[i].at;
    if (v.empty()) continue;
    cairo_new_sub_path(cr);
    // A line back to its start (an open marker) is closed, so that its
    // corner there is joined like the others.
    const bool fill = first.kind == Mark::Kind::fill;
    const bool closed =
        fill || (v.size() > 2 && v.front().x == v.back().x && v.front().y == v.back().y);
    if (fill && twice_area(v) < 0)
      std::for_each(v.rbegin(), v.rend(), to);
    else
      std::for_each(v.begin(), v.end() - (closed && !fill), to);
    if (closed) cairo_close_path(cr);
  }
  const Rgba c = rgba_of(first.ink);
  cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
  if (first.kind == Mark::Kind::fill) {
    cairo_fill(cr);
  } else {
    const double on_off[2] = {dash * d.scale, dash * d.scale};
    cairo_set_line_width(cr, first.width * d.scale);
    if (first.dashed) cairo_set_dash(cr, on_off, 2, 0);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
  return i;
}

void replay(const Device& d, const std::vector<Mark>& marks) {
  std::vector<PLFLT> xs, ys;
  for (std::size_t i = 0; i < marks.size();) {
    const Mark& m = marks[i];
    if (d.cairo && m.kind != Mark::Kind::text) {
      i = paint_run(d, marks, i);
      continue;
    }
    ++i;
    plcol0(m.ink);
    xs.clear(), ys.clear();
    for (XY p : m.at) xs.push_back(p.x), ys.push_back(p.y);
    const PLINT n = static_cast<PLINT>(xs.size());
    switch (m.kind) {
      case Mark::Kind::fill: plwidth(0), plfill(n, xs.data(), ys.data()); break;
      case Mark::Kind::line: {
        plwidth(m.width * d.scale);
        PLINT mark = static_cast<PLINT>(d.mm(dash) * 1000);  // micrometres
        if (m.dashed) plstyl(1, &mark, &mark);
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

// On a PNG's cairo, the marks that follow are clipped by box `b` of the
// page, until the next cairo_restore; PLplot clips its own.
void clip(const Device& d, const Box& b) {
  if (!d.cairo) return;
  cairo_matrix_t plplot;
  cairo_save(d.cairo);
  cairo_get_matrix(d.cairo, &plplot);
  cairo_identity_matrix(d.cairo);
  cairo_rectangle(d.cairo, b.x0 * d.scale, d.height - b.y1 * d.scale, (b.x1 - b.x0) * d.scale,
                  (b.y1 - b.y0) * d.scale);
  cairo_clip(d.cairo);
  cairo_set_matrix(d.cairo, &plplot);
}

void draw_all(const Figure& f, const Device& d) {
  plscmap0n(fill_of(palette_size));
  plscol0(white, 255, 255, 255);
  plscol0(black, 0, 0, 0);
  for (std::size_t i = 0; i < palette_size; ++i) {
    const PLINT* c = palette[i];
    plscol0(colour_of(i), c[0], c[1], c[2]);
    plscol0a(fill_of(i), c[0], c[1], c[2], fill_opacity);
  }
  plspage(0, 0, across(f, d.scale), up(f, d.scale), 0, 0);
  plinit();
  if (d.cairo) pl_cmd(PLESC_DEVINIT, d.cairo);
  pladv(0);
  for (const Panel* p : {&f.main, f.ratio ? &*f.ratio : nullptr})
    if (p) {
      enter(f, p->frame), clip(d, p->frame), replay(d, p->marks);
      if (d.cairo) cairo_restore(d.cairo);
    }
  enter(f, {0, 0, f.width, f.height});
  replay(d, f.page);
  plend();
}

// A PNG at 200 pixels an inch, drawn on a white cairo image of our own
// (PLplot's external-context device sets the text on it), then its pixels
// taken as red, green and blue bytes for the encoder.
void draw_png(const Figure& f, std::vector<unsigned char>& pixels, Rgb& picture) {
  const double scale = 200.0 / 72;
  picture.width = across(f, scale), picture.height = up(f, scale);
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, picture.width, picture.height);
  cairo_t* cr = cairo_create(surface);
  if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
    plplot_error = cairo_status_to_string(cairo_status(cr));
  } else {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    plsdev("extcairo");
    draw_all(f, {scale, cr, static_cast<double>(picture.height)});
    cairo_surface_flush(surface);
    // Each cairo pixel is a native 32-bit word, 0xXXRRGGBB.
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    pixels.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
    unsigned char* out = pixels.data();
    for (int y = 0; y < picture.height; ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(data + std::size_t(y) * stride);
      for (int x = 0; x < picture.width; ++x) {
        const std::uint32_t p = row[x];
        *out++ = static_cast<unsigned char>(p >> 16);
        *out++ = static_cast<unsigned char>(p >> 8);
        *out++ = static_cast<unsigned char>(p);
      }
    }
    picture.bytes = pixels.data();
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

}  // namespace

bool draw(const Figure& figure, const char* device, const std::string& name, std::string& bytes,
          Failure& why) {
  picture_name = name;
  plplot_error.clear();
  // A PNG is painted on a cairo image of our own and encoded here; the
  // other formats are PLplot's own files, written to memory.
  const bool png = std::strcmp(device, "pngcairo") == 0;
  const char* used = png ? "extcairo" : device;
  std::optional<files::MemoryFile> memory;
  if (!png && !memory.emplace().stream())
    return why = {Cause::cannot_draw, name, memory->error()}, false;
  std::vector<unsigned char> pixels;
  Rgb picture;
  {
    Quiet quiet;
    plsexit(on_fatal);
    plsabort(on_error);
    if (!device_exists(used)) {
      plplot_error = std::string("PLplot has no device ") + used;
      if (memory) std::fclose(memory->stream());
    } else if (png) {
      draw_png(figure, pixels, picture);
    } else {
      plsdev(device);
      plsfile(memory->stream());  // closed by plend
      draw_all(figure, {1.0});
    }
  }
  if (plplot_error.empty() && png) {
    encode_png(picture, bytes, plplot_error);
  } else if (plplot_error.empty()) {
    const std::string_view drawn = memory->bytes();
    if (memory->error() != 0) return why = {Cause::cannot_draw, name, memory->error()}, false;
    if (drawn.empty())
      plplot_error = "PLplot wrote nothing";
    else
      bytes.assign(drawn);
  }
  if (!plplot_error.empty()) return why = {Cause::cannot_draw, name, plplot_error}, false;
  return true;
}

}  // namespace plot
