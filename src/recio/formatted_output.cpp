// Formatted output: the F field edit and the records built from it.

#include "formatted_output.hpp"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

#include "failure.hpp"
#include "units.hpp"

namespace recio {
namespace {

// True when an edited magnitude holds nothing but zeros and the point.
bool all_zero(std::string_view text) noexcept {
  return text.find_first_not_of("0.") == std::string_view::npos;
}

}  // namespace

// The magnitude goes through the fixed conversion with `decimals` digits,
// which fixes the rounding. A minus sign that would stand before zeros
// only is dropped. When the text is one too long and begins with a zero,
// that zero goes; when it is longer still, the field is all asterisks.
// Infinities and NaNs keep the names the conversion gives them.
std::string_view edit_f(float value, int width, int decimals,
                        std::span<char, max_width> buf) noexcept {
  width = std::clamp(width, 1, max_width);
  bool negative = value < 0;
  double magnitude = negative ? -static_cast<double>(value) : static_cast<double>(value);
  if (value == 0) magnitude = 0.0;

  char text[64];
  char* end = std::to_chars(text, text + sizeof text - 1, magnitude,
                            std::chars_format::fixed, decimals).ptr;
  if (decimals == 0 && text[0] >= '0' && text[0] <= '9') *end++ = '.';
  std::string_view t(text, static_cast<std::size_t>(end - text));
  if (negative && all_zero(t)) negative = false;

  int n = static_cast<int>(t.size()) + (negative ? 1 : 0);
  if (n > width && t[0] == '0' && n - 1 == width) {
    t.remove_prefix(1);
    n = width;
  }
  char* field = buf.data();
  if (n > width) {
    std::memset(field, '*', static_cast<std::size_t>(width));
  } else {
    std::memset(field, ' ', static_cast<std::size_t>(width - n));
    char* p = field + (width - n);
    if (negative) *p++ = '-';
    std::memcpy(p, t.data(), t.size());
  }
  return {field, static_cast<std::size_t>(width)};
}

bool emit_formatted(Stream& out, const Format& format, std::span<const float> values) noexcept {
  char buf[max_width];
  for (std::size_t i = 0; i < values.size(); ++i) {
    bool new_record = i > 0 && i % static_cast<std::size_t>(format.repeat) == 0;
    if ((new_record && !out.put("\n")) || !out.put(" ") ||
        !out.put(edit_f(values[i], format.width, format.decimals, buf)))
      return false;
  }
  return out.put("\n");
}

// Records go to unit 6 only; any other unit has no output stream.
void write_formatted(int unit, const Format& format, std::span<const float> values) noexcept {
  begin_statement(unit, false, format.text, true);
  if (unit != output_unit) fail(Fault::write_failed, EBADF);
  if (!emit_formatted(output_stream(), format, values))
    fail(Fault::write_failed, output_stream().error());
}

}  // namespace recio
