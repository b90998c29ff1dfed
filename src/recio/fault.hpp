// The faults of the record I/O layer: one enum of causes, and one function
// that writes the four-line failure message and ends the process.
#pragma once

#include <cstdint>
#include <string_view>

namespace recio {

// Every way a statement of this layer can fail. The text of each cause is
// given by one switch in fault.cpp; the message is
// assembled by the line writer both programs share.
enum class Fault : std::uint8_t {
  none,
  open_failed,           // the system refused to open a file
  end_of_file,           // the input ended before every item was read
  invalid_number,        // no number where a value was expected
  exponent_field,        // an exponent with no digit, or above 99999999
  bad_repetition_count,  // a repeat count missing, zero or negative
  read_failed,           // the system reported a read error
  write_failed,          // the system refused the report's bytes
};

// Writes the failure message on standard error, closes every unit (so the
// records already written reach standard output) and raises the abort
// signal.
[[noreturn]] void fail(Fault cause, int error = 0) noexcept;

}  // namespace recio
