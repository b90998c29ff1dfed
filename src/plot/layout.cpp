// The layout of a figure, all in points: text measured, titles fitted,
// margins grown to what the labels and titles need, and the legend and
// text label placed clear of every point, error bar, line and band.

#include "plot/layout.hpp"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace plot {

namespace {

constexpr double smallest = 8;  // points: no text is set smaller

// Advance widths of DejaVu Sans, in thousandths of an em, from ' ' to '~'.
// clang-format off
constexpr short ascii[95] = {
    317, 400, 459, 837, 636, 950, 779, 274, 390, 390, 500, 837, 317, 360, 317, 336,
    636, 636, 636, 636, 636, 636, 636, 636, 636, 636, 336, 336, 837, 837, 837, 530,
    1000, 684, 686, 698, 770, 631, 575, 774, 751, 294, 294, 655, 557, 862, 748, 787,
    603, 787, 694, 634, 610, 731, 684, 988, 685, 610, 685, 390, 336, 390, 837, 500,
    500, 612, 634, 549, 634, 615, 352, 634, 633, 277, 277, 579, 277, 974, 633, 611,
    634, 634, 411, 520, 392, 633, 591, 817, 591, 591, 524, 636, 336, 636, 837,
};
// clang-format on

// The width of one character, in ems: combining marks take none, Greek
// letters about two thirds, superscript digits less than half, other
// symbols most of an em.
double glyph_width(char32_t c) {
  if (c >= 32 && c < 127) return ascii[c - 32] / 1000.0;
  if ((c >= 0x300 && c < 0x370) || (c >= 0x20d0 && c < 0x2100)) return 0;
  if (c >= 0x370 && c < 0x400) return 0.66;
  if (c >= 0x2070 && c < 0x20a0) return 0.53;
  return 0.88;
}

// One UTF-8 character of `s` at `i`, moving `i` past it.
char32_t next(std::string_view s, std::size_t& i) {
  unsigned char b = static_cast<unsigned char>(s[i++]);
  int more = b < 0x80 ? 0 : b < 0xe0 ? 1 : b < 0xf0 ? 2 : 3;
  char32_t c = more == 0 ? b : b & (0x3f >> more);
  for (; more > 0 && i < s.size(); --more)
    c = (c << 6) | (static_cast<unsigned char>(s[i++]) & 0x3f);
  return c;
}

// A title's pieces, each after a place where a line may break: a blank, or
// a slash, outside sub- and superscripts (whose escapes must stay on one
// line).
struct Piece {
  std::string text;
  bool blank_before;
};

std::vector<Piece> pieces(const std::string& text) {
  std::vector<Piece> out{{"", false}};
  int level = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '#' && i + 1 < text.size()) {
      char e = text[i + 1];
      level += e == 'u' ? 1 : e == 'd' ? -1 : 0;
      out.back().text.append(text, i, 2);
      ++i;
    } else if (c == ' ' && level == 0) {
      out.push_back({"", true});
    } else {
      out.back().text += c;
      if (c == '/' && level == 0 && i + 1 < text.size()) out.push_back({"", false});
    }
  }
  std::erase_if(out, [](const Piece& p) { return p.text.empty(); });
  return out;
}

// The pieces in lines of at most `capacity` ems, each line as full as it
// can be (a piece longer than that on a line of its own).
std::vector<std::string> filled(const std::vector<Piece>& ps, double capacity) {
  std::vector<std::string> lines;
  for (const Piece& p : ps) {
    std::string joined = lines.empty() ? "" : lines.back() + (p.blank_before ? " " : "") + p.text;
    if (!lines.empty() && text_width(joined) <= capacity)
      lines.back() = joined;
    else
      lines.push_back(p.text);
  }
  return lines;
}

double widest(const Ticks& t, double font) {
  double w = 0;
  for (const Tick& k : t.major) w = std::max(w, text_width(k.label) * font);
  return w;
}

// Ticks up a panel: labels at least 1.7 ems apart, at most eight.
Ticks y_ticks(const Axis& a, const Box& frame, double font) {
  return ticks(a.lo, a.hi, a.log, [&](const std::vector<Tick>& t) {
    if (t.size() > 8) return false;
    for (std::size_t i = 1; i < t.size(); ++i)
      if (a.along(t[i].at, frame.y0, frame.y1) - a.along(t[i - 1].at, frame.y0, frame.y1) <
          1.7 * font)
        return false;
    return true;
  });
}

// Ticks across: labels at least 1.2 ems apart, at most seven; categories
// all named, in two rows when one does not hold them.
Ticks x_ticks(const Axis& a, const Box& frame, double font) {
  Fits fits = [&](const std::vector<Tick>& t) {
    if (t.size() > 7) return false;
    for (std::size_t i = 1; i < t.size(); ++i) {
      double room = a.along(t[i].at, frame.x0, frame.x1) - a.along(t[i - 1].at, frame.x0, frame.x1);
      double need = (text_width(t[i].label) + text_width(t[i - 1].label)) / 2 * font + 1.2 * font;
      if (room < need) return false;
    }
    return true;
  };
  if (!a.categories.empty()) return named(a.categories, fits);
  return ticks(a.lo, a.hi, a.log, fits);
}

// The room a figure keeps beside its frame for a legend (right of it, or
// above when wide) and a text label (above it) that find no corner inside.
struct Outside {
  double right = 0, above = 0;
};

// One pass of the margins: the frames from the titles and labels of the
// pass before.
void margins(Figure& f, const std::string& x_title, const std::string& y_title,
             const std::string& ratio_title, Outside outside) {
  const double font = f.font, pad = 0.5 * font;
  double bottom = pad + f.x_title.height() + 0.4 * font + font + 0.6 * font +
                  (rows(f.x.ticks.major) - 1) * line_height * font;
  double top = pad + 0.6 * font + outside.above;
  double high = f.height - top - bottom;
  double ratio = f.ratio ? 0.28 * (high - font) : 0;
  Panel* lowest = f.ratio ? &*f.ratio : &f.main;
  f.main.frame.y1 = f.height - top;
  f.main.frame.y0 = f.height - top - (f.ratio ? high - font - ratio : high);
  lowest->frame.y0 = bottom;
  lowest->frame.y1 = bottom + (f.ratio ? ratio : high);
  double labels = 0, titles = 0;
  for (Panel* p : {&f.main, f.ratio ? &*f.ratio : nullptr}) {
    if (!p) continue;
    p->y.ticks = y_ticks(p->y, p->frame, font);
    p->title = fit(p == &f.main ? y_title : ratio_title, font, p->frame.y1 - p->frame.y0);
    labels = std::max(labels, widest(p->y.ticks, font));
    titles = std::max(titles, p->title.height());
  }
  double left = pad + titles + 0.5 * font + labels + 0.5 * font;
  double last = f.x.ticks.major.empty() ? 0 : text_width(f.x.ticks.major.back().label) * font;
  double right = pad + std::max(0.5 * font, last / 2) + outside.right;
  for (Panel* p : {&f.main, f.ratio ? &*f.ratio : nullptr})
    if (p) p->frame.x0 = left, p->frame.x1 = f.width - right;
  f.x.ticks = x_ticks(f.x, f.main.frame, font);
  f.x_title = fit(x_title, font, f.main.frame.x1 - f.main.frame.x0);
}

// The page positions of the main panel: x and y of axis values, the lower
// end of a point's error bar, and a mark's box kept within the frame.
struct Page {
  explicit Page(const Figure& figure) : f(figure), fr(figure.main.frame) {}
  const Figure& f;
  const Box& fr;
  std::vector<Box> marks;
  double X(double at) const { return f.x.along(at, fr.x0, fr.x1); }
  double Y(double v) const { return f.main.y.along(f.main.y.of(v), fr.y0, fr.y1); }
  double bottom(const Point& p) const {
    double b = p.value - p.total_down;
    return f.main.y.log && b <= 0 ? fr.y0 : Y(b);
  }
  void add(Box b) {
    b.x0 = std::max(b.x0, fr.x0), b.x1 = std::min(b.x1, fr.x1);
    b.y0 = std::max(b.y0, fr.y0), b.y1 = std::min(b.y1, fr.y1);
    if (b.x0 <= b.x1 && b.y0 <= b.y1) marks.push_back(b);
  }
};

// A curve with its band, in sixteen pieces between each two of its points.
void curve_marks(Page& page, const Series& s) {
  const Axis& x = page.f.x;
  const double thin = 0.15 * page.f.font;
  std::vector<Point> line = line_of(s, x.log);
  for (std::size_t i = 0; i + 1 < line.size(); ++i)
    for (int j = 0; j < 16; ++j) {
      double u0 = x.of(line[i].x), u1 = x.of(line[i + 1].x);
      double a = u0 + (u1 - u0) * j / 16, b = u0 + (u1 - u0) * (j + 1) / 16;
      std::optional<Point> p = at(line, x.log ? std::pow(10, a) : a);
      std::optional<Point> q = at(line, x.log ? std::pow(10, b) : b);
      if (!p || !q) continue;
      double lo = std::min(page.bottom(*p), page.bottom(*q)) - thin;
      double hi = std::max(page.Y(p->value + p->total_up), page.Y(q->value + q->total_up)) + thin;
      page.add({page.X(a), lo, page.X(b), hi});
    }
  for (const Point& p : line) {
    double at = page.X(x.of(p.x));
    page.add({at - thin, page.bottom(p) - thin, at + thin, page.Y(p.value + p.total_up) + thin});
  }
}

// The page boxes of every mark of the main panel, clipped to its frame:
// markers, bin bars and error bars, and each curve with its band.
std::vector<Box> marks(const Figure& f) {
  Page page(f);
  const Axis& x = f.x;
  const double half = 0.35 * f.font, thin = 0.15 * f.font;
  for (std::size_t k = 0; k < f.main.series.size(); ++k) {
    const Series& s = f.main.series[k];
    if (s.curve) {
      curve_marks(page, s);
      continue;
    }
    for (const Point& p : s.points) {
      double at = page.X(x.of(p.x) + aside(k, f.main.series.size(), x, p)), y = page.Y(p.value);
      page.add({at - half, y - half, at + half, y + half});
      if (p.high > p.low) page.add({page.X(x.low_of(p)), y - thin, page.X(x.of(p.high)), y + thin});
      if (p.has_errors)
        page.add({at - half, page.bottom(p), at + half, page.Y(p.value + p.total_up)});
    }
  }
  return page.marks;
}

// The box of `w` by `h` points in the first corner of `order` inside the
// frame where it meets no mark and no box taken; none when every corner is
// in use.
std::optional<Box> corner(const Figure& f, double w, double h, const std::vector<Place>& order,
                          const std::vector<Box>& marks, const std::vector<Box>& taken) {
  const Box& fr = f.main.frame;
  const double inset = 0.8 * f.font, clear = 0.3 * f.font;
  for (Place p : order) {
    bool right = p == Place::top_right || p == Place::bottom_right;
    bool top = p == Place::top_right || p == Place::top_left;
    Box b{right ? fr.x1 - inset - w : fr.x0 + inset, top ? fr.y1 - inset - h : fr.y0 + inset,
          right ? fr.x1 - inset : fr.x0 + inset + w, top ? fr.y1 - inset : fr.y0 + inset + h};
    Box wide{b.x0 - clear, b.y0 - clear, b.x1 + clear, b.y1 + clear};
    bool free = order.size() == 1 ||
                std::ranges::none_of(marks, [&](const Box& m) { return wide.meets(m); });
    if (free && std::ranges::none_of(taken, [&](const Box& t) { return wide.meets(t); })) return b;
  }
  return std::nullopt;
}

double legend_width(const Figure& f) {
  double w = 0;
  for (const LegendEntry& e : f.legend) w = std::max(w, text_width(e.text));
  return (w + 3.5) * f.font;
}

}  // namespace

double text_width(std::string_view text) {
  double w = 0, scale = 1;
  int level = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == '#' && i + 1 < text.size() && text[i + 1] != '#') {
      level += text[i + 1] == 'u' ? 1 : text[i + 1] == 'd' ? -1 : 0;
      scale = level == 0 ? 1 : 0.8;
      i += 2;
      continue;
    }
    if (text[i] == '#') ++i;
    w += glyph_width(next(text, i)) * scale;
  }
  return w * 1.03;
}

Title fit(const std::string& text, double size, double room) {
  double width = text_width(text);
  for (double s = size; s >= std::max(smallest, 0.8 * size) - 1e-9; s -= 0.25)
    if (width * s <= room) return {{text}, s};
  std::vector<Piece> ps = pieces(text);
  for (std::size_t n = 2; n <= 4; ++n)
    for (double s = size; s >= smallest - 1e-9; s -= 0.5) {
      // The narrowest lines that still come to n: balanced, not ragged.
      double lo = 0, hi = room / s;
      if (filled(ps, hi).size() > n) continue;
      for (int i = 0; i < 30; ++i) {
        double mid = (lo + hi) / 2;
        (filled(ps, mid).size() <= n ? hi : lo) = mid;
      }
      return {filled(ps, hi), s};
    }
  return {filled(ps, room / smallest), smallest};
}

namespace {

// The page's size, and its text's: 9 points up to a journal column's
// width (8.6 cm), growing with the width to 14.
void page(Figure& f, const Settings& s) {
  f.width = s.size.width > 0 ? s.size.width : 16 * cm;
  f.height = s.size.height > 0 ? s.size.height : 12 * cm;
  if (f.ratio && s.size.grows) f.height *= 1.25;
  f.font = std::clamp(9 + 0.27 * (f.width / cm - 8.6), 9.0, 14.0);
}

// Sizes of the legend and text label boxes, and where each one went.
struct Boxes {
  double legend_w = 0, legend_h = 0, text_w = 0, text_h = 0;
  bool wide = false;  // a legend wider than a third of the page goes above the frame
  bool legend_out = false, text_out = false;
  std::optional<Box> legend, text;
};

// The boxes that found no corner, above the frame (the text label, then a
// wide legend) or right of it (a legend).
void outside(const Figure& f, Boxes& b) {
  const Box& fr = f.main.frame;
  const double font = f.font;
  double top = fr.y1 + 0.3 * font;
  if (b.text_out)
    b.text = Box{fr.x0, top, fr.x0 + b.text_w, top + b.text_h}, top += b.text_h + 0.3 * font;
  if (b.legend_out && f.show_legend && b.wide)
    b.legend = Box{fr.x0, top, fr.x0 + b.legend_w, top + b.legend_h};
  else if (b.legend_out && f.show_legend)
    b.legend = Box{fr.x1 + 0.8 * font, fr.y1 - b.legend_h, fr.x1 + 0.8 * font + b.legend_w, fr.y1};
}

}  // namespace

void lay_out(Figure& f, const Settings& s) {
  page(f, s);
  const std::string x_title = f.x_title.lines.front(), y_title = f.main.title.lines.front();
  const std::string ratio_title = f.ratio ? f.ratio->title.lines.front() : "";
  const double font = f.font, line = 1.3 * font;
  Boxes b;
  b.legend_w = legend_width(f);
  b.legend_h = static_cast<double>(f.legend.size()) * line + 0.4 * font;
  b.text_h = static_cast<double>(f.text.size()) * line;
  for (const std::string& t : f.text) b.text_w = std::max(b.text_w, text_width(t) * font);
  b.wide = b.legend_w > f.width / 3;
  f.show_legend = s.legend != Place::none;
  b.legend_out = s.legend == Place::outside;
  std::vector<Place> legend_order{Place::top_right, Place::top_left, Place::bottom_right,
                                  Place::bottom_left};
  if (s.legend != Place::automatic) legend_order = {s.legend};
  // What finds no corner goes outside the frame, which then shrinks; the
  // corners are tried again on the smaller frame.
  for (int round = 0; round < 3; ++round) {
    Outside room{b.legend_out && !b.wide ? b.legend_w + 0.8 * font : 0,
                 (b.text_out ? b.text_h + 0.3 * font : 0) +
                     (b.legend_out && b.wide ? b.legend_h + 0.3 * font : 0)};
    for (int i = 0; i < 3; ++i) margins(f, x_title, y_title, ratio_title, room);
    std::vector<Box> found = marks(f), taken;
    b.legend.reset(), b.text.reset();
    if (f.show_legend && !b.legend_out &&
        (b.legend = corner(f, b.legend_w, b.legend_h, legend_order, found, taken)))
      taken.push_back(*b.legend);
    if (!f.text.empty() && !b.text_out)
      b.text = corner(f, b.text_w, b.text_h,
                      {Place::top_left, Place::top_right, Place::bottom_left, Place::bottom_right},
                      found, taken);
    bool legend_lost = f.show_legend && !b.legend_out && !b.legend;
    bool text_lost = !f.text.empty() && !b.text_out && !b.text;
    if (!legend_lost && !text_lost) break;
    b.legend_out = b.legend_out || legend_lost, b.text_out = b.text_out || text_lost;
  }
  outside(f, b);
  if (b.legend) f.legend_box = *b.legend;
  f.show_legend = f.show_legend && b.legend;
  if (b.text) {
    f.text_box = *b.text;
    f.text_right = !b.text_out && b.text->x1 > (f.main.frame.x0 + f.main.frame.x1) / 2;
  }
}

}  // namespace plot
