// Where the parts of a figure go on its page: the margins that its tick
// labels and titles need, titles set smaller or in lines to fit their
// axis, and the legend and text label in a corner where they cover none of
// the marks drawn there, else beside the frame; then the marks themselves
// (geometry.hpp), which drawing replays. Text is measured by the advance
// widths of DejaVu Sans, the font the pictures are drawn in.
#pragma once

#include <string>
#include <string_view>

#include "plot/figure.hpp"

namespace plot {

// The width of PLplot text (sub- and superscripts smaller), in ems.
double text_width(std::string_view text);

// `text` as a title at most `room` points long: at `size`, else somewhat
// smaller (never under 8 points), else in as few lines as fit, broken at
// blanks and after slashes outside sub- and superscripts.
Title fit(const std::string& text, double size, double room);

// The marks of panel `p` of `f`, whose frames and axes are set: bands,
// then lines and steps, then measured points and arrows to those beyond
// the y axis, in page points.
void mark_panel(const Figure& f, Panel& p);

// The marks of `f` outside its frames: the frames with their ticks, tick
// labels, titles, legend and text label, in page points.
void mark_page(Figure& f);

// The page, the frames, the ticks, the titles and the boxes of `f`, whose
// axes' ranges, series and texts are set, as `s` asks.
void lay_out(Figure& f, const Settings& s);

}  // namespace plot
