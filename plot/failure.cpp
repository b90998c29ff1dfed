// The messages of the plotting program's failures: one switch from cause to
// text, so every message reads the same way.

#include "failure.hpp"

#include <cstdio>

namespace plot {

namespace {

std::string text(const Failure& f) {
  const std::string& s = f.subject;
  const std::string& d = f.detail;
  switch (f.cause) {
    case Cause::unknown_option: return "unknown option '" + s + "'";
    case Cause::missing_argument: return "option '" + s + "' needs a value";
    case Cause::no_table: return "no table given";
    case Cause::no_output: return "no picture file given (-o FILE)";
    case Cause::too_many_labels: return "more labels (" + d + ") than tables (" + s + ")";
    case Cause::unknown_format: return "cannot tell the format of '" + s + "': use .svg, .pdf or .png";
    case Cause::unreadable: return s + ": cannot read: " + d;
    case Cause::not_yaml: return s + ": not YAML: " + d;
    case Cause::forbidden_key: return s + ": key '" + d + "' is not allowed in a HEPData table";
    case Cause::no_x_p: return s + ": independent variable 'x_p' not found";
    case Cause::no_fragmentation: return s + ": dependent variable 'fragmentation function' not found";
    case Cause::bad_shape: return s + ": " + d + " is not a list";
    case Cause::count_mismatch: return s + ": " + d;
    case Cause::not_number: return s + ": " + d + " is not a number";
    case Cause::cannot_draw: return "cannot draw " + s + ": " + d;
    case Cause::cannot_write: return "cannot write " + s + ": " + d;
  }
  return s + ": " + d;
}

bool usage_error(Cause c) { return c <= Cause::unknown_format; }

}  // namespace

int report(const Failure& f) {
  std::string line = "xpcorr-plot: " + text(f) + "\n";
  if (usage_error(f.cause)) line += "Try 'xpcorr-plot --help' for more information.\n";
  std::fputs(line.c_str(), stderr);
  return usage_error(f.cause) ? 2 : 1;
}

}  // namespace plot
