// Every way a run of the plotting program can fail, and the one line on
// standard error (plus a hint, for a usage error) that each one gives.
#pragma once

#include <string>

namespace plot {

enum class Cause {
  // The command line (status 2).
  unknown_option, missing_argument, no_table, no_output, too_many_labels, unknown_format,
  // A table that is not a results table (status 1).
  unreadable, not_yaml, forbidden_key, no_x_p, no_fragmentation, bad_shape, count_mismatch,
  not_number,
  // The picture (status 1).
  cannot_draw, cannot_write,
};

struct Failure {
  Cause cause;
  std::string subject;  // the option, table file or picture file concerned
  std::string detail;   // the key, place, counts or system text it names
};

// Writes the failure's message on standard error and gives the exit status.
int report(const Failure& f);

}  // namespace plot
