// What a figure draws, as one list of marks in page points: lines, fills
// and text runs with their colour, width, size and anchor. Layout measures
// these marks to place its boxes; drawing replays them and decides nothing.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace plot {

// The sizes of everything drawn, in ems of the figure's font (line widths
// in points at an 11-point font, growing with it): one table, read by the
// layout that measures and by the marks that are drawn.
namespace em {
constexpr double pad = 0.5;            // page edge to the nearest text
constexpr double tick_major = 0.55;    // tick lengths inside the frame
constexpr double tick_minor = 0.3;     //
constexpr double tick_gap = 0.5;       // frame to a y tick label
constexpr double x_label = 1.0;        // frame to the centre of an x tick label
constexpr double x_row = 1.25;         // a second row of x tick labels below the first
constexpr double title_gap = 0.5;      // tick labels to an axis title
constexpr double x_title = 2.0;        // frame to the top of the x title
constexpr double marker = 0.3;         // a marker's radius
constexpr double cap = 0.25;           // half an error bar's cap
constexpr double arrow = 1.0;          // an off-scale arrow's length
constexpr double arrow_head = 0.35;    //   and its head's
constexpr double panel_gap = 1.5;      // main panel to ratio panel
constexpr double y_ticks_apart = 1.7;  // least distance of y tick labels
constexpr double x_ticks_gap = 1.2;    // least blank between x tick labels
constexpr double legend_line = 1.3;    // legend and text label lines apart
constexpr double legend_pad = 0.2;     // legend frame to its first line
constexpr double sample = 2.0;         // a legend sample's length
constexpr double sample_gap = 0.5;     // legend frame to sample, sample to text
constexpr double sample_band = 0.35;   // half a legend band's height
constexpr double sample_error = 0.4;   // half a legend error bar's
constexpr double inset = 0.8;          // frame to a box in its corner
constexpr double clear = 0.3;          // a box to the nearest mark
constexpr double text_half = 0.6;      // half a line of text, without scripts
constexpr double script = 0.45;        // each sub- or superscript level adds this: a
                                       // superscript's top, a subscript's descender
                                       // reach about 0.9 and 1.05 em from the centre
}  // namespace em

namespace width {
constexpr double bin = 1.2, error = 1, stat = 2.8, line = 1.8, frame = 0.8, legend = 0.6,
                 band_bar = 4, unit_line = 0.8;
}

// A colour of the picture: white, black, the line colour of style k, or
// its light translucent fill.
constexpr int white = 0, black = 1;
constexpr int colour_of(std::size_t style) { return 2 + static_cast<int>(style); }
constexpr int fill_of(std::size_t style) { return 12 + static_cast<int>(style); }

// A rectangle on the page, in points from its lower left corner.
struct Box {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool meets(const Box& b) const { return x0 < b.x1 && b.x0 < x1 && y0 < b.y1 && b.y0 < y1; }
  bool within(const Box& b) const { return x0 >= b.x0 && x1 <= b.x1 && y0 >= b.y0 && y1 <= b.y1; }
};

struct XY {
  double x = 0, y = 0;
};

// One thing drawn: a line through `at`, a filled polygon, or a text run
// anchored at at[0] (`just` 0 at its left end, 1 at its right; reading
// upwards when `up`). Dashed lines have dashes 3 points long.
struct Mark {
  enum class Kind { line, fill, text };
  Kind kind = Kind::line;
  int ink = black;
  double width = 0;  // points, lines only
  bool dashed = false;
  std::vector<XY> at;
  std::string text;  // PLplot text
  double size = 0;   // points, text only
  double just = 0;
  bool up = false;
};

// The page box a mark covers: a line's or a polygon's extent (a line
// widened by half its width), a text run's advance width by its height
// with scripts.
Box box_of(const Mark& m);

// Above and below the centre of a line of PLplot text, in ems: half a line
// and a little more for each level of sub- or superscript.
struct Extent {
  double above = em::text_half, below = em::text_half;
};
Extent extent_of(const std::string& text);

// The height, in ems, of a line of the legend or the text label: the
// lines' pitch, more for one whose scripts reach further; and how far
// below the line's top its centre lies, its extent centred in it.
double slot_of(const std::string& text);
double centre_in_slot(const std::string& text);

}  // namespace plot
