// Formatted output: records under the report's three FORMAT texts, each a
// repeated group of one blank and one F field.
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

inline constexpr Format f9{"(9(1X,F8.5))", 9, 8, 5};
inline constexpr Format f10{"(3(1X,F6.4))", 3, 6, 4};
inline constexpr Format f11{"(3(1X,F5.3))", 3, 5, 3};

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
