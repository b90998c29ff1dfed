// Every way a run of the plotting program can fail, and the one line on
// standard error (plus a hint, for a usage error) that each one gives.
#pragma once

#include <string>

namespace plot {

enum class Cause {
  // The command line (status 2).
  unknown_option, missing_argument, no_table, no_output, too_many_labels, too_many_columns, bad_column,
  unknown_format,
  // A file that is not a HEPData data table (status 1).
  unreadable, too_large, not_yaml, no_document, documents, too_deep, too_many_nodes, forbidden_key,
  no_variables, not_list, no_values, count_mismatch, no_column, no_value, low_only, high_only, not_number,
  no_error_kind,
  // The picture or the points file (status 1).
  cannot_draw, cannot_write,
};

struct Failure {
  Cause cause;
  std::string subject;  // the option, table file or output file concerned
  std::string detail;   // the key, place, counts or system text it names
};

// Writes the failure's message on standard error and gives the exit status.
int report(const Failure& f);

}  // namespace plot
