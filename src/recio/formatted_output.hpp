// Formatted output: records under FORMAT texts that repeat a group of one
// blank and one F field, as "(9(1X,F8.5))".
#pragma once

#include <span>
#include <string_view>

namespace recio {

// A FORMAT of the form "(r(1X,Fw.d))".
struct Format {
  std::string_view text;
  int repeat;
  int width;
  int decimals;
};

// Widest field this layer edits.
inline constexpr int max_width = 32;

// The F field of `value`, exactly `width` characters, in `buf`.
std::string_view edit_f(float value, int width, int decimals,
                        std::span<char, max_width> buf) noexcept;

class Stream;

// Appends the record of `values` under `format`. Writing stops after the
// last value; values beyond the repeat count start a new record, as the
// format is used again from its start.
bool emit_formatted(Stream& out, const Format& format, std::span<const float> values) noexcept;

// Writes one formatted record on `unit`; a failure is fatal.
void write_formatted(int unit, const Format& format, std::span<const float> values) noexcept;

}  // namespace recio
