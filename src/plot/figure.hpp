// The picture as decided before any drawing: the page and its font, the
// axes with their ticks, the panels with the points they show, the titles
// set to fit, the legend and the text label placed where they cover no
// mark. Positions on the page are in points (1/72 inch) from its lower left
// corner; along the axes, in values (their log10 on a logarithmic axis).
#pragma once

#include <cmath>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "plot/failure.hpp"
#include "plot/geometry.hpp"
#include "plot/series.hpp"
#include "plot/ticks.hpp"
#include "plot/view.hpp"

namespace plot {

// Where a legend or text label goes: a corner inside the frame, right of
// the frame, nowhere, or the first free one.
enum class Place { automatic, top_right, top_left, bottom_left, bottom_right, outside, none };

// An interval that may be given at either end (a range option); NaN leaves
// that end to the data.
struct Limits {
  double lo = NAN, hi = NAN;
};

// The page: its size in points (0: the default size), and whether the
// ratio panel adds to the height (a preset size) or fits within it.
// Points in a centimetre: page sizes are given in points.
constexpr double cm = 72 / 2.54;

struct PageSize {
  double width = 0, height = 0;
  bool grows = true;
};

// What the command line asks of the picture.
struct Settings {
  Scale y_scale = Scale::automatic;
  bool xlog = false;
  bool ratio = false;
  Limits x_range, y_range, ratio_range;
  std::optional<std::string> x_title, y_title;  // LaTeX, as table names
  std::vector<std::string> text;                // lines of the label
  Place legend = Place::automatic;
  PageSize size;
};

// A title in PLplot text, in one or more lines, at a size in points.
struct Title {
  std::vector<std::string> lines;
  double size = 0;
  // The lines' height together, each with its sub- and superscripts.
  double height() const;
};

struct Axis {
  double lo = 0, hi = 1;
  bool log = false;
  Ticks ticks;
  std::vector<std::string> categories;  // PLplot text of those at 1, 2, ...; none: numbers
  // The axis position of value v (its log10 on a logarithmic axis).
  double of(double v) const;
  // The axis position of the low edge of bin `p`: the axis start for an
  // edge of 0 or below on a logarithmic axis.
  double low_of(const Point& p) const { return log && p.low <= 0 ? lo : of(p.low); }
  // The axis position of value v, the axis start for a value of 0 or below
  // on a logarithmic axis.
  double clamped(double v) const { return log && v <= 0 ? lo : of(v); }
  // The page position of axis position `at` on an axis drawn from `from`
  // to `to`.
  double along(double at, double from, double to) const {
    return from + (at - lo) / (hi - lo) * (to - from);
  }
};

// A measured point beyond the y range, drawn as an arrow at the frame's
// edge: the style of its series, the point, which edge.
struct Beyond {
  std::size_t style;
  Point point;
  bool above;
};

struct Panel {
  Box frame;
  Axis y;
  std::string name;  // the y title in PLplot text, before it is fitted
  Title title;
  std::vector<Series> series;  // only the points it shows; style k = series k
  std::vector<std::size_t> styles;
  std::vector<Point> band;  // the ratio panel's band around 1
  bool band_curve = false;
  std::vector<Beyond> beyond;
  std::vector<Mark> marks;  // what is drawn in the frame, clipped by it, in order
};

struct LegendEntry {
  std::string text;  // PLplot text; entry k has style k
  Draw draw;
  bool band;
  std::vector<std::string> lines;  // as set, in one line or more
};

struct Figure {
  double width = 0, height = 0, font = 10;  // points
  Axis x;
  std::string x_name;  // the x title in PLplot text, before it is fitted
  Title x_title;
  Panel main;
  std::optional<Panel> ratio;
  std::vector<LegendEntry> legend;
  Box legend_box;
  bool show_legend = true;
  std::vector<std::string> text_lines;  // the text label in PLplot text, as given
  std::vector<std::string> text;        // its lines as set
  Box text_box;
  bool text_right = false;                // the text label is set flush right
  double legend_size = 0, text_size = 0;  // points
  std::vector<Mark> page;                 // what is drawn on the page outside the frames, in order
};

// The colours and markers a picture tells apart.
constexpr std::size_t palette_size = 10;

// How far, along the axis, the marker of bin `p` of series `k` of `panel`
// is set aside from its x so that the series sharing that bin (the same
// edges, drawn or beyond the y range) do not hide each other: symmetrically, a hundredth of the
// axis a series, less in a bin too narrow for them, so that every marker stays inside its bin; none
// for a point or a bin of one series.
double aside(const Panel& panel, std::size_t k, const Axis& x, const Point& p);

// The figure of `series` as `settings` ask, before its layout, with a line
// for each point it leaves out in `notes`; false with `why` set when it has
// nothing to draw, in a panel or of a table, or more series than the
// palette.
bool compose(const std::vector<Series>& series, const Settings& settings, Figure& figure,
             std::vector<std::string>& notes, Failure& why);

}  // namespace plot
