// The findings of --check, shared by the rules of a fit file's text
// (check.cpp) and of its physics (physics.cpp): one enum of them, and
// what a finding holds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/fit_set.hpp"
#include "recio/list_input.hpp"

namespace cli {

// What --check can find in a fit file. The errors end the run with its
// failure message; the warnings are values the run takes, but that rarely
// say what was meant.
enum class Finding : std::uint8_t {
  missing,                       // a: the directory looked in
  dangling_link,                 // a: the link's target, quoted
  unreadable,                    // a: the system's reason
  directory,                     //
  utf16,                         //
  compressed,                    // a: the compressor's name
  empty,                         //
  byte_order_mark,               //
  too_few_values,                // a: how many values were found
  not_a_number,                  // a: the text, quoted
  foreign_character,             // a: the text, quoted; b: the character in words
  overflowed_field,              // a: the text, quoted
  exponent_without_digits,       // a: the text, quoted
  exponent_too_large,            // a: the text, quoted
  bad_repeat_count,              // a: the text, quoted
  carriage_return,               //
  carriage_return_alone,         //
  thousands_separator,           // a: the two texts as one, quoted; b: each, quoted
  unset_value,                   // a: the value's name; b: "a null" or "a slash"
  yield_not_positive,            // a: the text, quoted; b: the rate and its bin
  matched_count_not_positive,    // a: the text, quoted; b: the bin and what its rates are
  beyond_single_precision,       // a: the text, quoted
  below_single_precision,        // a: the text, quoted
  decimal_comma,                 // a: the two texts as one, quoted; b: each, quoted
  run_together,                  // a: the two texts as one, quoted; b: each, quoted
  text_after_values,             // a: the text, quoted
  values_after_carriage_return,  // a: the text, quoted
  later_line,                    // a: the text, quoted
  mass_far,                      // a: the text, quoted
  width_out_of_range,            // a: the text, quoted
  error_not_positive,            // a: the text, quoted
  error_not_below_yield,         // a: the error's text, quoted; b: the yield's
  fitted_over_matched,           // a: the ratio; b: the yield and count
  above_generated,               // a: the text, quoted; b: the generated count and bin
  efficiency_jump,               // a: the efficiency and its bin; b: the rule and the neighbours'
  data_over_matched,             // a: the ratio and its bin; b: the median
  same_bytes,                    // a: the other file's name
  never_read,                    // a: the name of the file read in its place
};

constexpr bool is_error(Finding f) noexcept { return f <= Finding::carriage_return_alone; }

// Those that concern the file as a whole have no line and column.
constexpr bool is_placed(Finding f) noexcept {
  switch (f) {
    case Finding::missing:
    case Finding::dangling_link:
    case Finding::unreadable:
    case Finding::directory:
    case Finding::utf16:
    case Finding::compressed:
    case Finding::same_bytes:
    case Finding::never_read: return false;
    default: return true;
  }
}

// One finding: where it lies, when it is placed, and the parts its text
// names.
struct Found {
  Finding what;
  recio::Place place{};
  std::string a{}, b{};
};

// A text as findings quote it: in single quotes, a byte that is not
// printable ASCII as \r or \xHH, and "..." where the text was cut.
std::string quoted(std::string_view text, bool cut = false);
std::string quoted(const recio::ItemText& t);

// A ratio as messages show it: three significant digits.
std::string shown(double x);

// The physics of fit file k of `fits` (read whole): its values for what
// their positions can mean, the bins it shares with the other files, and
// its bytes against the files before it.
void add_physics(const core::FitSet& fits, int k, std::vector<Found>& out);

}  // namespace cli
