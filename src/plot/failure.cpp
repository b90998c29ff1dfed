// The messages of the plotting program's failures: one switch from cause to
// text, so every message reads the same way.

#include "plot/failure.hpp"

#include "files/whole_file.hpp"

namespace plot {

namespace {

std::string text(const Failure& f) {
  const std::string& s = f.subject;
  const std::string& d = f.detail;
  switch (f.cause) {
    case Cause::none: return "";
    case Cause::unknown_option: return "unknown option '" + s + "'";
    case Cause::missing_argument: return "option '" + s + "' needs a value";
    case Cause::repeated_option: return "option '" + s + "' may be given only once";
    case Cause::no_table: return "no table given";
    case Cause::no_output: return "no picture file given (-o FILE)";
    case Cause::too_many_labels: return "more labels (" + d + ") than tables (" + s + ")";
    case Cause::too_many_columns: return "more columns (" + d + ") than tables (" + s + ")";
    case Cause::bad_column:
      return "column '" + s + "' is not a position: 1 is the first dependent variable";
    case Cause::too_many_slices: return "more slices (" + d + ") than tables (" + s + ")";
    case Cause::too_many_styles: return "more styles (" + d + ") than tables (" + s + ")";
    case Cause::bad_style: return "style '" + s + "' is not points, line or step";
    case Cause::bad_slice:
      return "slice '" + s + "' is not a position: 1 is the first, 0 draws each one";
    case Cause::bad_curve:
      return "curve '" + s + "' is not the position of a table (1 to " + d + ")";
    case Cause::bad_size:
      return "size '" + s +
             "' is not W,H in cm, mm or in (4 cm to 100 cm each), one-column or two-column";
    case Cause::bad_range: return "option '" + s + "' " + d;
    case Cause::bad_place:
      return "place '" + s +
             "' is not top-right, top-left, bottom-left, bottom-right, outside or none";
    case Cause::unknown_format:
      return "cannot tell the format of '" + s + "': use .svg, .pdf, .png or .tsv";
    case Cause::refused: return s + ": " + d;
    case Cause::no_column: return s + ": no dependent variable " + d;
    case Cause::no_slice: return s + ": no slice " + d;
    case Cause::matrix: return s + ": a matrix, not a function of x: " + d;
    case Cause::nothing_to_draw: return s + ": nothing to draw: " + d;
    case Cause::too_many_series: return (s.empty() ? "" : s + ": ") + d;
    case Cause::empty_ratio: return "nothing to draw in the ratio panel: " + d;
    case Cause::cannot_draw: return "cannot draw " + s + ": " + d;
    case Cause::cannot_write: return "cannot write " + s + ": " + d;
  }
  return s + ": " + d;
}

bool usage_error(Cause c) { return c >= Cause::unknown_option && c <= Cause::unknown_format; }

}  // namespace

int complain(const Failure& f) {
  if (!f) return 0;
  std::string line = "xpcorr-plot: " + text(f) + "\n";
  if (usage_error(f.cause)) line += "Try 'xpcorr-plot --help' for more information.\n";
  files::write_in_full(2, line);
  return usage_error(f.cause) ? 2 : 1;
}

}  // namespace plot
