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
    case Cause::too_many_columns: return "more columns (" + d + ") than tables (" + s + ")";
    case Cause::bad_column: return "column '" + s + "' is not a position: 1 is the first dependent variable";
    case Cause::unknown_format: return "cannot tell the format of '" + s + "': use .svg, .pdf, .png or .tsv";
    case Cause::unreadable: return s + ": cannot read: " + d;
    case Cause::too_large: return s + ": too large for a data table (over " + d + ")";
    case Cause::not_yaml: return s + ": not YAML: " + d;
    case Cause::no_document: return s + ": empty: no YAML document";
    case Cause::documents: return s + ": " + d + " YAML documents: a data table is one";
    case Cause::too_deep: return s + ": nested deeper than " + d + " levels";
    case Cause::too_many_nodes: return s + ": its aliases repeat nodes too often (over " + d + " per byte)";
    case Cause::forbidden_key: return s + ": key '" + d + "' is not allowed in a HEPData table";
    case Cause::no_variables: return s + ": no " + d + " variables: not a HEPData data table";
    case Cause::not_list: return s + ": " + d + " is not a list";
    case Cause::no_values: return s + ": " + d + " has no values";
    case Cause::count_mismatch: return s + ": " + d;
    case Cause::no_column: return s + ": no dependent variable " + d;
    case Cause::no_value: return s + ": " + d + " has no value";
    case Cause::low_only: return s + ": " + d + " has 'low' but no 'high'";
    case Cause::high_only: return s + ": " + d + " has 'high' but no 'low'";
    case Cause::not_number: return s + ": " + d + " is not a number";
    case Cause::no_error_kind: return s + ": " + d + " has neither 'symerror' nor 'asymerror'";
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
