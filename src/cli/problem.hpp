// The command line's own failures: one enum of causes and one function that
// writes the line naming the cause on standard error and gives the exit
// status. Failures of the fit files and the report keep the four-line
// failure message of the record I/O layer.
#pragma once

#include <cstdint>
#include <string_view>

#include "files/diagnostic.hpp"

namespace cli {

enum class Problem : std::uint8_t {
  none,
  unknown_option,       // subject: the option as written
  missing_argument,     // subject: the option that needs one
  needless_argument,    // subject: a long option given "=value" it does not take
  repeated_option,      // subject: -C or --table given a second time, as written
  stray_argument,       // subject: the argument
  check_with_table,     // subject: --check, given with --table
  table_is_dash,        // subject: --table, given '-'
  cannot_compress,      // subject: the table file, a .gz name in a build without zlib
  cannot_enter,         // subject: the directory of -C; error: why
  table_is_directory,   // subject: the table file
  table_not_regular,    // subject: the table file, an existing device, pipe or socket
  table_is_fit_file,    // subject: the table file; detail: the fit file it is
  table_is_output,      // subject: the table file, which is standard output
  cannot_write_table,   // subject: the table file; error: why
  table_refused,        // subject: the table file; detail: why the results cannot make it
  cannot_write_output,  // help or version text refused by standard output; error: why
};

// A failure of the command line, in the shape both programs share.
using Failure = files::Failure<Problem>;

// The text, exit status and hint of each cause: one switch.
files::Wording wording(Problem p) noexcept;

// Writes the message of `f` on standard error (nothing for Problem::none)
// and returns the exit status: 0 for none, 1 when the table or the help
// text could not be written, 2 for a usage error.
int complain(const Failure& f) noexcept;

// Writes all of `text` on standard output, resuming after partial writes.
Failure print(std::string_view text) noexcept;

}  // namespace cli
