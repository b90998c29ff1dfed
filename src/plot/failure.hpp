// Every way a run of the plotting program can fail, and the one line on
// standard error (plus a hint, for a usage error) that each one gives.
#pragma once

#include "files/diagnostic.hpp"

namespace plot {

enum class Cause {
  none,
  // The command line (status 2).
  unknown_option,
  missing_argument,
  repeated_option,
  no_table,
  no_output,
  too_many_labels,
  too_many_columns,
  too_many_slices,
  too_many_styles,
  bad_column,
  bad_slice,
  bad_curve,
  bad_size,
  bad_range,
  bad_place,
  bad_style,
  unknown_format,
  // A table that cannot be read or drawn from (status 1).
  refused,
  no_column,
  no_slice,
  matrix,
  nothing_to_draw,
  too_many_series,
  empty_ratio,
  // The picture, the points file or the help text (status 1).
  cannot_draw,
  cannot_write,
};

// A failure of the plotting program, in the shape both programs share:
// the subject is the option, table file or output file concerned, the
// detail the key, place, counts or PLplot's text it names.
using Failure = files::Failure<Cause>;

// The text, exit status and hint of each cause.
files::Wording wording(Cause c) noexcept;

// Writes the failure's message on standard error (nothing for none) and
// gives the exit status.
int complain(const Failure& f) noexcept;

}  // namespace plot
