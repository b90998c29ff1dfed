// Formatted output: the F field edit and the records built from it.

#include "recio/formatted_output.hpp"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>

#include "recio/fault.hpp"
#include "recio/units.hpp"

namespace recio {
namespace {

// True when an edited magnitude holds nothing but zeros and the point.
bool all_zero(std::string_view text) noexcept {
  return text.find_first_not_of("0.") == std::string_view::npos;
}

constexpr std::uint64_t pow10[] = {1,      10,      100,      1000,      10000,
                                   100000, 1000000, 10000000, 100000000, 1000000000};

// The fixed conversion of a finite single-precision magnitude with up to 9
// decimals, done exactly in integers: the value is m × 2^e, so m × 10^d is
// scaled by 2^e and rounded half to even on the bits shifted out, which is
// the rounding "%.*f" makes of the exact binary value. Returns false, for
// the general conversion to take over, for infinities and NaN, for more
// than 9 decimals, and when the scaled value would not fit in 64 bits; that
// only happens beyond 2^33, far wider than any field.
bool fixed_exact(float magnitude, int decimals, char*& end) noexcept {
  if (!std::isfinite(magnitude) || decimals < 0 || decimals > 9) return false;
  const std::uint64_t unit = pow10[decimals];
  auto bits = std::bit_cast<std::uint32_t>(magnitude);
  int biased = static_cast<int>(bits >> 23);
  std::uint64_t m = bits & 0x7fffff;
  if (biased != 0) m |= 0x800000;
  int e = (biased == 0 ? 1 : biased) - 150;
  std::uint64_t n = m * unit;  // below 2^54
  if (e > 9) return false;
  if (e >= 0) {
    n <<= e;
  } else if (e <= -64) {
    n = 0;  // the value is below 2^-40: zero at any decimals kept here
  } else {
    int s = -e;
    std::uint64_t rest = n & ((std::uint64_t{1} << s) - 1);
    std::uint64_t half = std::uint64_t{1} << (s - 1);
    n >>= s;
    if (rest > half || (rest == half && (n & 1) != 0)) ++n;
  }
  char* p = std::to_chars(end, end + 24, n / unit).ptr;
  *p++ = '.';
  std::uint64_t fraction = n % unit;
  for (int i = decimals - 1; i >= 0; --i, fraction /= 10)
    p[i] = static_cast<char>('0' + fraction % 10);
  end = p + decimals;
  return true;
}

}  // namespace

// The magnitude goes through the fixed conversion with `decimals` digits,
// which fixes the rounding. A minus sign that would stand before zeros
// only is dropped. When the text is one too long and begins with a zero,
// that zero goes; when it is longer still, the field is all asterisks.
// Infinities keep the name the conversion gives them. A NaN is "-nan"
// whatever its sign bit: the NaN an invalid operation makes (inf × 0,
// inf − inf) has it set on x86-64 and clear on ARM, POWER and s390x, and
// the report must read the same on every CPU, as it reads on x86-64.
std::string_view edit_f(float value, int width, int decimals,
                        std::span<char, max_width> buf) noexcept {
  width = std::clamp(width, 1, max_width);
  bool negative = value < 0;
  float magnitude = negative ? -value : value;
  if (value == 0) magnitude = 0.0f;

  char text[64];
  char* end = text;
  if (std::isnan(value)) {
    end = std::copy_n("-nan", 4, text);
  } else if (!fixed_exact(magnitude, decimals, end)) {
    const auto r = std::to_chars(text, text + sizeof text - 1, static_cast<double>(magnitude),
                                 std::chars_format::fixed, decimals);
    // A text longer than the buffer (a huge value at many decimals) is far
    // wider than any field: asterisks, without looking at the bytes left.
    if (r.ec != std::errc{}) {
      std::memset(buf.data(), '*', static_cast<std::size_t>(width));
      return {buf.data(), static_cast<std::size_t>(width)};
    }
    end = r.ptr;
    if (decimals == 0 && text[0] >= '0' && text[0] <= '9') *end++ = '.';
  }
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
