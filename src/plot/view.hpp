// What the picture shows of the tables read: which points an axis can
// draw, whether the y axis is logarithmic, and each table's ratio to the
// first, bin by bin or along a curve. No drawing here.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "plot/series.hpp"

namespace plot {

enum class Scale { automatic, log, linear };

// Which axes are logarithmic.
struct Scales {
  bool xlog = false, ylog = false;
};

// A reason to leave a point out, with the number concerned: "value is not
// finite (nan)".
std::string because(const char* reason, double v);

// Why point p cannot be drawn on axes of scales `s` (its value or its x is
// text or not finite, its value or x is not positive on a logarithmic axis,
// an error is not finite); empty when it can.
std::string left_out(const Point& p, Scales s);

// Tables whose every x is a text (channels, sources of uncertainty) as
// categories along x: each text placed at 1, 2, ... in the order first met,
// the same text at the same place in every series, none of them a line.
// The texts in that order; none, and `series` unchanged, when an x is a
// number.
std::vector<std::string> categories(std::vector<Series>& series);

// Whether the y axis is logarithmic: as forced, else when every drawable
// value is positive and they span more than a decade.
bool logarithmic(const std::vector<Series>& series, Scale scale, bool xlog);

// The points of a curve that an axis can draw, in the order of their x.
std::vector<Point> line_of(const Series& curve, bool xlog);

// The curve through `line` (as line_of gives) at x: value and errors
// linearly between the two points around x; none outside its x range.
std::optional<Point> at(const std::vector<Point>& line, double x);

// A point that has no place in the ratio panel: the series whose ratio it
// would be, where it lies, and why.
struct Miss {
  std::size_t series;
  std::string where, why;
};

struct Ratios {
  std::vector<Point> band;     // the first series' total error around 1
  bool band_curve = false;     // the band follows a curve, else it is in bins
  std::vector<Series> series;  // every other series divided by the first
  std::vector<Miss> misses;
};

// Each other series divided by the first, their errors scaled alike: bin
// by the bin of the same edges; a curve at each x of the first, or a series
// by the first where that is a curve, linearly between the curve's points
// and never beyond them. Points that no axis can draw are left to the main
// panel's messages.
Ratios ratios(const std::vector<Series>& series, bool xlog);

// Where point p lies, for messages: "x_p 0.1 to 0.15", "x 0.4" for a point
// without width, "x '-'" for an x given as text (a category too).
std::string where(const Series& t, const Point& p);

// A line on standard error about `file` that is no failure:
// "xpcorr-plot: FILE: TEXT".
std::string note_line(const std::string& file, const std::string& text);

// The line on standard error that names a point left out, of the main
// panel or of the ratio: "xpcorr-plot: FILE: x_p 0.1 to 0.15 left out: WHY".
std::string note(const std::string& file, const std::string& where, bool ratio,
                 const std::string& why);

}  // namespace plot
