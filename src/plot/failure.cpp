// The messages of the plotting program's failures: one switch from cause to
// text, so every message reads the same way; the line itself is written by
// the writer both programs share.

#include "plot/failure.hpp"

namespace plot {

namespace {

std::string_view text(Cause c) noexcept {
  switch (c) {
    case Cause::none: return "";
    case Cause::unknown_option: return "unknown option '{subject}'";
    case Cause::missing_argument: return "option '{subject}' needs a value";
    case Cause::repeated_option: return "option '{subject}' may be given only once";
    case Cause::no_table: return "no table given";
    case Cause::no_output: return "no picture file given (-o FILE)";
    case Cause::too_many_labels: return "more labels ({detail}) than tables ({subject})";
    case Cause::too_many_columns: return "more columns ({detail}) than tables ({subject})";
    case Cause::bad_column:
      return "column '{subject}' is not a position: 1 is the first dependent variable";
    case Cause::too_many_slices: return "more slices ({detail}) than tables ({subject})";
    case Cause::too_many_styles: return "more styles ({detail}) than tables ({subject})";
    case Cause::bad_style: return "style '{subject}' is not points, line or step";
    case Cause::bad_slice:
      return "slice '{subject}' is not a position: 1 is the first, 0 draws each one";
    case Cause::bad_curve:
      return "curve '{subject}' is not the position of a table (1 to {detail})";
    case Cause::bad_size:
      return "size '{subject}' is not W,H in cm, mm or in (4 cm to 100 cm each), one-column or "
             "two-column";
    case Cause::bad_range: return "option '{subject}' {detail}";
    case Cause::bad_place:
      return "place '{subject}' is not top-right, top-left, bottom-left, bottom-right, outside or "
             "none";
    case Cause::unknown_format:
      return "cannot tell the format of '{subject}': use .svg, .pdf, .png or .tsv";
    case Cause::refused: return "{detail}";
    case Cause::no_column: return "no dependent variable {detail}";
    case Cause::no_slice: return "no slice {detail}";
    case Cause::matrix: return "a matrix, not a function of x: {detail}";
    case Cause::nothing_to_draw: return "nothing to draw: {detail}";
    case Cause::too_many_series: return "{detail}";
    case Cause::empty_ratio: return "nothing to draw in the ratio panel: {detail}";
    case Cause::cannot_draw: return "cannot draw {subject}: {detail}";
    case Cause::cannot_write: return "cannot write {subject}: {detail}";
  }
  return "{detail}";
}

bool usage_error(Cause c) { return c >= Cause::unknown_option && c <= Cause::unknown_format; }

}  // namespace

files::Wording wording(Cause c) noexcept {
  return {text(c), usage_error(c) ? 2 : 1, usage_error(c)};
}

int complain(const Failure& f) noexcept { return files::complain("xpcorr-plot", f); }

}  // namespace plot
