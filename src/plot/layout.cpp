// The layout of a figure, all in points: text measured, titles fitted,
// margins grown to what the labels and titles need, and the legend and
// text label placed clear of every point, error bar, line and band.

#include "plot/layout.hpp"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>

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

// Ticks up a panel: labels far enough apart, at most eight.
Ticks y_ticks(const Axis& a, const Box& frame, double font) {
  return ticks(a.lo, a.hi, a.log, [&](const std::vector<Tick>& t) {
    if (t.size() > 8) return false;
    for (std::size_t i = 1; i < t.size(); ++i)
      if (a.along(t[i].at, frame.y0, frame.y1) - a.along(t[i - 1].at, frame.y0, frame.y1) <
          em::y_ticks_apart * font)
        return false;
    return true;
  });
}

// Ticks across: labels with a blank between, at most seven; categories
// all named, in two rows when one does not hold them.
Ticks x_ticks(const Axis& a, const Box& frame, double font) {
  Fits fits = [&](const std::vector<Tick>& t) {
    if (t.size() > 7) return false;
    for (std::size_t i = 1; i < t.size(); ++i) {
      double room = a.along(t[i].at, frame.x0, frame.x1) - a.along(t[i - 1].at, frame.x0, frame.x1);
      double need =
          (text_width(t[i].label) + text_width(t[i - 1].label)) / 2 * font + em::x_ticks_gap * font;
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
  double left = 0, bottom = 0, top = 0;  // more, for what the marks show beyond the page
};

// One pass of the margins: the frames from the titles and labels of the
// pass before. A ratio panel sits a line and a half below the main one, so
// that the tick labels at their facing ends stay apart.
void margins(Figure& f, Outside outside) {
  const double font = f.font, pad = em::pad * font;
  double bottom = pad + f.x_title.height() + em::x_title * font + outside.bottom +
                  (rows(f.x.ticks.major) - 1) * em::x_row * font;
  double top = pad + (outside.above > 0 ? outside.above : em::text_half * font) + outside.top;
  double high = f.height - top - bottom, gap = em::panel_gap * font;
  double ratio = f.ratio ? 0.28 * (high - gap) : 0;
  Panel* lowest = f.ratio ? &*f.ratio : &f.main;
  f.main.frame.y1 = f.height - top;
  f.main.frame.y0 = f.height - top - (f.ratio ? high - gap - ratio : high);
  lowest->frame.y0 = bottom;
  lowest->frame.y1 = bottom + (f.ratio ? ratio : high);
  double labels = 0, titles = 0;
  for (Panel* p : {&f.main, f.ratio ? &*f.ratio : nullptr}) {
    if (!p) continue;
    p->y.ticks = y_ticks(p->y, p->frame, font);
    p->title = fit(p->name, font, p->frame.y1 - p->frame.y0);
    // A ratio's title that would take more than two lines says only that.
    if (p != &f.main && p->title.lines.size() > 2)
      p->title = fit("ratio", font, p->frame.y1 - p->frame.y0);
    labels = std::max(labels, widest(p->y.ticks, font));
    titles = std::max(titles, p->title.height());
  }
  double left = pad + titles + em::title_gap * font + labels + em::tick_gap * font + outside.left;
  double last = f.x.ticks.major.empty() ? 0 : text_width(f.x.ticks.major.back().label) * font;
  double right = pad + std::max(em::pad * font, last / 2) + outside.right;
  for (Panel* p : {&f.main, f.ratio ? &*f.ratio : nullptr})
    if (p) p->frame.x0 = left, p->frame.x1 = f.width - right;
  f.x.ticks = x_ticks(f.x, f.main.frame, font);
  f.x_title = fit(f.x_name, font, f.main.frame.x1 - f.main.frame.x0);
}

// The page boxes a mark covers, in pieces about an em long, so that a
// slanting line or a band along a curve leaves free the corners it only
// passes by: each segment of a line; each strip of a band whose second
// half of points runs back over the x of its first; else the whole box.
void pieces_of(const Mark& m, double step, std::vector<Box>& out) {
  auto lerp = [](XY a, XY b, double t) { return XY{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)}; };
  // Clamped before the conversion: a line to an open bin edge is infinite.
  auto parts = [step](XY a, XY b) {
    const double n = std::ceil(std::hypot(b.x - a.x, b.y - a.y) / step);
    return n >= 1 && n <= 64 ? static_cast<int>(n) : n < 1 ? 1 : 64;
  };
  const std::vector<XY>& v = m.at;
  const std::size_t n = v.size();
  bool strips = m.kind == Mark::Kind::fill && n >= 4 && n % 2 == 0;
  for (std::size_t i = 0; strips && i < n / 2; ++i) strips = v[i].x == v[n - 1 - i].x;
  if (m.kind == Mark::Kind::line) {
    for (std::size_t i = 0; i + 1 < n; ++i)
      for (int k = parts(v[i], v[i + 1]), j = 0; j < k; ++j) {
        Mark piece = m;
        piece.at = {lerp(v[i], v[i + 1], double(j) / k), lerp(v[i], v[i + 1], double(j + 1) / k)};
        out.push_back(box_of(piece));
      }
  } else if (strips) {
    for (std::size_t i = 0; i + 1 < n / 2; ++i) {
      XY a = v[i], b = v[i + 1], c = v[n - 1 - i], d = v[n - 2 - i];
      for (int k = parts(a, b), j = 0; j < k; ++j) {
        double t0 = double(j) / k, t1 = double(j + 1) / k;
        Mark piece = m;
        piece.at = {lerp(a, b, t0), lerp(a, b, t1), lerp(c, d, t0), lerp(c, d, t1)};
        out.push_back(box_of(piece));
      }
    }
  } else {
    out.push_back(box_of(m));
  }
}

// The page boxes of every mark in a panel's frame, clipped to it.
std::vector<Box> covered(const Figure& f, const Panel& p) {
  std::vector<Box> all, out;
  for (const Mark& m : p.marks) pieces_of(m, f.font, all);
  const Box& fr = p.frame;
  for (Box b : all) {
    b.x0 = std::max(b.x0, fr.x0), b.x1 = std::min(b.x1, fr.x1);
    b.y0 = std::max(b.y0, fr.y0), b.y1 = std::min(b.y1, fr.y1);
    if (b.x0 <= b.x1 && b.y0 <= b.y1) out.push_back(b);
  }
  return out;
}

// The box of `w` by `h` points in the first corner of `order` inside the
// frame where it meets no mark and no box taken; none when every corner is
// in use or the box is wider than the frame.
std::optional<Box> corner(const Figure& f, double w, double h, const std::vector<Place>& order,
                          const std::vector<Box>& marks, const std::vector<Box>& taken) {
  const Box& fr = f.main.frame;
  const double inset = em::inset * f.font, clear = em::clear * f.font;
  if (w > fr.x1 - fr.x0 - 2 * inset || h > fr.y1 - fr.y0 - 2 * inset) return std::nullopt;
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

// Texts set in at most `room` points (less `extra` ems of each line's
// size for what goes beside them): at `size`, else somewhat smaller (never
// under 8 points), else each broken into lines; the size, and the lines
// of each text.
double set_in(const std::vector<std::string>& texts, double size, double room, double extra,
              std::vector<std::vector<std::string>>& lines) {
  double widest = 0;
  for (const std::string& t : texts) widest = std::max(widest, text_width(t));
  double s = size;
  for (; s > std::max(smallest, 0.8 * size) && (widest + extra) * s > room; s -= 0.25) {
  }
  lines.clear();
  for (const std::string& t : texts)
    lines.push_back((widest + extra) * s <= room ? std::vector<std::string>{t}
                                                 : filled(pieces(t), room / s - extra));
  return s;
}

// Sizes of the legend and text label boxes, and where each one went.
struct Boxes {
  double legend_w = 0, legend_h = 0, text_w = 0, text_h = 0;
  bool wide = false;  // a legend wider than a fifth of the page goes above the frame
  bool legend_out = false, text_out = false;
  std::optional<Box> legend, text;
};

constexpr double legend_extra = 3 * em::sample_gap + em::sample;  // ems beside the text

// A legend that finds no corner goes right of the frame only when it takes
// less than this part of the page's width; a wider one would leave the
// frame narrow (a column's figure would lose a third of it) and goes
// above, where the page grows instead.
constexpr double wide_legend = 5;

// The legend's and text label's lines and sizes, fitted to `room` points.
void set_boxes(Figure& f, Boxes& b, double room) {
  std::vector<std::string> texts;
  for (const LegendEntry& e : f.legend) texts.push_back(e.text);
  std::vector<std::vector<std::string>> lines;
  f.legend_size = set_in(texts, f.font, room, legend_extra, lines);
  b.legend_w = 0;
  double rows = 0;  // ems
  for (std::size_t i = 0; i < f.legend.size(); ++i) {
    f.legend[i].lines = lines[i];
    for (const std::string& l : lines[i])
      b.legend_w = std::max(b.legend_w, text_width(l)), rows += slot_of(l);
  }
  b.legend_w = (b.legend_w + legend_extra) * f.legend_size;
  b.legend_h = (rows + 2 * em::legend_pad) * f.legend_size;
  f.text_size = set_in(f.text_lines, f.font, room, 0, lines);
  f.text.clear();
  for (const auto& l : lines) f.text.insert(f.text.end(), l.begin(), l.end());
  b.text_h = 0, b.text_w = 0;
  for (const std::string& t : f.text)
    b.text_w = std::max(b.text_w, text_width(t) * f.text_size),
    b.text_h += slot_of(t) * f.text_size;
}

// How far the top tick label of the y axis may reach above the frame, in
// ems: half a line and a superscript.
constexpr double lift = em::text_half + em::script;

// The boxes that found no corner, above the frame (the text label, then a
// wide legend) or right of it (a legend).
void outside(const Figure& f, Boxes& b) {
  const Box& fr = f.main.frame;
  const double font = f.font, pad = em::pad * font;
  // Over the frame's left end, or further left as far as the page needs.
  auto left = [&](double w) { return std::max(pad, std::min(fr.x0, f.width - pad - w)); };
  double top = fr.y1 + (lift + em::clear) * font;
  if (b.text_out) {
    double x = left(b.text_w);
    b.text = Box{x, top, x + b.text_w, top + b.text_h}, top += b.text_h + em::clear * font;
  }
  if (b.legend_out && f.show_legend && b.wide)
    b.legend = Box{left(b.legend_w), top, left(b.legend_w) + b.legend_w, top + b.legend_h};
  else if (b.legend_out && f.show_legend)
    b.legend = Box{fr.x1 + em::inset * font, fr.y1 - b.legend_h,
                   fr.x1 + em::inset * font + b.legend_w, fr.y1};
}

void mark_panels(Figure& f) {
  mark_panel(f, f.main);
  if (f.ratio) mark_panel(f, *f.ratio);
}

// How far the texts of the page reach beyond it, less its pad, on each
// side.
Outside overhang(const Figure& f) {
  const double pad = em::pad * f.font;
  Outside o;
  for (const Mark& m : f.page) {
    if (m.kind != Mark::Kind::text) continue;
    Box b = box_of(m);
    o.left = std::max(o.left, pad - b.x0), o.right = std::max(o.right, b.x1 - (f.width - pad));
    o.bottom = std::max(o.bottom, pad - b.y0), o.top = std::max(o.top, b.y1 - (f.height - pad));
  }
  return o;
}

// The frames, the legend and text label, and the marks, on a page of
// `height` before anything goes above its frame, with `extra` margins.
void place(Figure& f, const Settings& s, double height, const Outside& extra) {
  const double font = f.font;
  Boxes b;
  f.show_legend = s.legend != Place::none;
  b.legend_out = s.legend == Place::outside;
  set_boxes(f, b, f.width - 2 * em::pad * font);
  b.wide = b.legend_w > f.width / wide_legend;
  std::vector<Place> legend_order{Place::top_right, Place::top_left, Place::bottom_right,
                                  Place::bottom_left};
  if (s.legend != Place::automatic) legend_order = {s.legend};
  // What finds no corner goes outside the frame, which then shrinks; the
  // corners are tried again on the smaller frame, the boxes set again to
  // the room they have.
  for (int round = 0; round < 4; ++round) {
    const bool out = b.legend_out || b.text_out;
    if (out) set_boxes(f, b, f.width - 2 * em::pad * font);
    Outside room{b.legend_out && !b.wide ? b.legend_w + em::inset * font : 0,
                 (b.text_out ? b.text_h + em::clear * font : 0) +
                     (b.legend_out && b.wide ? b.legend_h + em::clear * font : 0)};
    if (room.above > 0) room.above += lift * font;
    room.right += extra.right, room.left = extra.left, room.bottom = extra.bottom,
                               room.top = extra.top;
    // A page of the default or a journal's size grows by what goes above
    // its frame, which keeps its height; a page of the size given does not.
    if (s.size.grows) f.height = height + room.above;
    for (int i = 0; i < 3; ++i) margins(f, room);
    const Box& fr = f.main.frame;
    if (!out) set_boxes(f, b, fr.x1 - fr.x0 - 2 * em::inset * font);
    mark_panels(f);
    std::vector<Box> found = covered(f, f.main), taken;
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
    b.wide = b.wide || b.legend_w > f.width / wide_legend;
  }
  outside(f, b);
  if (b.legend) f.legend_box = *b.legend;
  f.show_legend = f.show_legend && b.legend;
  f.text_right = false;
  if (b.text) {
    f.text_box = *b.text;
    f.text_right = !b.text_out && b.text->x1 > (f.main.frame.x0 + f.main.frame.x1) / 2;
  }
  mark_panels(f);
  mark_page(f);
}

}  // namespace

// The margins are reckoned from the sizes of what goes in them; what the
// marks then show beyond the page widens its margin, and all is placed
// again.
void lay_out(Figure& f, const Settings& s) {
  page(f, s);
  const double height = f.height;
  Outside extra;
  for (int pass = 0; pass < 3; ++pass) {
    place(f, s, height, extra);
    Outside o = overhang(f);
    if (std::max({o.left, o.right, o.bottom, o.top}) <= 1e-9) break;
    extra.left += std::max(o.left, 0.0), extra.right += std::max(o.right, 0.0);
    extra.bottom += std::max(o.bottom, 0.0), extra.top += std::max(o.top, 0.0);
  }
}

}  // namespace plot
