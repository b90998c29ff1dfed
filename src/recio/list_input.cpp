// List-directed input: separators, null values, repeat counts and the
// slash; a value scanned into a bounded buffer of digits, converted once.

#include "recio/list_input.hpp"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "files/whole_file.hpp"
#include "recio/units.hpp"

namespace recio {

// One system read per window, once its bytes are all passed over; a
// traced read first notes the line ends among them. The end of the file
// is remembered so it is asked for only once.
bool Source::refill() noexcept {
  if (fd_ < 0 || at_end_ || error_ != 0) return false;
  if (tracking_) {
    drop(end_);
    pos_ = end_ = window_.data();
  }
  std::size_t n;
  const int error = files::read_some(fd_, window_.data(), window_.size(), n);
  if (n > 0) {
    pos_ = window_.data();
    end_ = pos_ + n;
    tapped(pos_, n);
    return true;
  }
  error_ = error;
  at_end_ = true;
  return false;
}

// Counts the line ends from `counted_` up to `to`, keeping where the last
// line starts: a count and a search from the end, each a plain pass that
// the compiler and the C library make wide, so that a window of blank
// lines costs no call per line.
void Source::count_lines(const char* to) noexcept {
  const std::size_t n = static_cast<std::size_t>(to - counted_);
  const std::ptrdiff_t ends = std::count(counted_, to, '\n');
  if (ends > 0) {
    line_ += static_cast<std::uint64_t>(ends);
    const char* last = counted_ + n - 1;
    while (*last != '\n') --last;
    line_start_ = base_ + static_cast<std::uint64_t>(last + 1 - begin_);
  }
  counted_ = to;
}

// The window's bytes before `to` are about to go: their line ends are
// counted, and the window's start will stand for the offset of `to`.
void Source::drop(const char* to) noexcept {
  count_lines(to);
  base_ += static_cast<std::uint64_t>(to - begin_);
  counted_ = begin_;
}

Place Source::place() noexcept {
  count_lines(pos_);
  return {line_, offset() - line_start_ + 1};
}

// Over a descriptor, bytes not yet passed over move to the window's start
// and more are read after them, so that a text straddling two windows is
// seen whole.
std::string_view Source::ahead(std::size_t n) noexcept {
  if (static_cast<std::size_t>(end_ - pos_) < n && fd_ >= 0) {
    std::size_t kept = static_cast<std::size_t>(end_ - pos_);
    drop(pos_);
    std::memmove(window_.data(), pos_, kept);
    while (kept < n && kept < window_.size() && !at_end_ && error_ == 0) {
      std::size_t got;
      const int error = files::read_some(fd_, window_.data() + kept, window_.size() - kept, got);
      if (got > 0) {
        tapped(window_.data() + kept, got);
        kept += got;
      } else {
        error_ = error;
        at_end_ = true;
      }
    }
    pos_ = window_.data();
    end_ = pos_ + kept;
  }
  return {pos_, std::min(n, static_cast<std::size_t>(end_ - pos_))};
}

namespace {

constexpr std::uint64_t low_bits = 0x0101010101010101u;
constexpr std::uint64_t high_bits = 0x8080808080808080u;

// The high bit of every byte of `x` that equals `c`, and no other bit.
// No byte's sum carries into the next, so the test is exact.
constexpr std::uint64_t bytes_equal(std::uint64_t x, unsigned char c) noexcept {
  std::uint64_t t = x ^ (low_bits * c);
  return ~(((t & ~high_bits) + ~high_bits) | t) & high_bits;
}

// Index, in memory order, of the first byte whose high bit is set in `mask`.
int first_byte(std::uint64_t mask) noexcept {
  if constexpr (std::endian::native == std::endian::little)
    return std::countr_zero(mask) / 8;
  else
    return std::countl_zero(mask) / 8;
}

}  // namespace

// Passing over separators scans the window directly, eight bytes a step
// while eight remain, so that long runs of blank lines cost a few
// operations per word; only the window's end calls out, to refill. When
// line ends are not passed over, the third separator is a second blank.
int Source::skip(bool line_ends) noexcept {
  const char nl = line_ends ? '\n' : ' ';
  auto skipped = [nl](char c) { return c == ' ' || c == '\t' || c == nl; };
  for (;;) {
    while (end_ - pos_ >= 8) {
      std::uint64_t x;
      std::memcpy(&x, pos_, sizeof x);
      std::uint64_t other = ~(bytes_equal(x, ' ') | bytes_equal(x, '\t') |
                              bytes_equal(x, static_cast<unsigned char>(nl))) &
                            high_bits;
      if (other != 0) {
        pos_ += first_byte(other);
        return static_cast<unsigned char>(*pos_);
      }
      pos_ += 8;
    }
    while (pos_ < end_ && skipped(*pos_)) ++pos_;
    if (pos_ < end_) return static_cast<unsigned char>(*pos_);
    if (!refill()) return end_of_input;
  }
}

int Source::skip_blanks() noexcept { return skip(false); }

int Source::skip_white() noexcept { return skip(true); }

void Source::skip_line() noexcept {
  for (;;) {
    if (const void* nl = std::memchr(pos_, '\n', static_cast<std::size_t>(end_ - pos_))) {
      pos_ = static_cast<const char*>(nl) + 1;
      return;
    }
    pos_ = end_;
    if (!refill()) return;
  }
}

namespace {

constexpr int max_digits = 40;           // significant digits kept
constexpr long max_exponent = 99999999;  // largest exponent field

bool is_digit(int c) noexcept { return c >= '0' && c <= '9'; }
bool is_sign(int c) noexcept { return c == '+' || c == '-'; }

// A decimal number as scanned: value = digits × 10^exponent. Leading zeros
// are not kept; `seen_digit` tells whether there was any digit at all.
struct Decimal {
  std::array<char, max_digits> digits;
  int count = 0;
  long exponent = 0;
  bool negative = false;
  bool seen_digit = false;
};

// What one scanned item stands for: `repeat` copies of a value, or of null.
struct Item {
  int repeat = 0;
  bool null = true;
  float value = 0;
};

// The sign and the digits before any point. Digits past the fortieth
// still scale the value.
void scan_whole(Source& in, Decimal& d) noexcept {
  int c = in.peek();
  if (is_sign(c)) {
    d.negative = c == '-';
    in.advance();
    c = in.peek();
  }
  for (; c == '0'; c = in.peek()) {
    d.seen_digit = true;
    in.advance();
  }
  for (; is_digit(c); c = in.peek()) {
    d.seen_digit = true;
    if (d.count < max_digits)
      d.digits[static_cast<std::size_t>(d.count++)] = static_cast<char>(c);
    else
      ++d.exponent;
    in.advance();
  }
}

// The point and the digits after it, then the exponent: a letter E, e, D
// or d with an optional sign, or a bare sign; then at least one digit.
// Digits past the fortieth are passed over.
Fault scan_rest(Source& in, Decimal& d) noexcept {
  int c = in.peek();
  if (c == '.') {
    in.advance();
    c = in.peek();
    for (; d.count == 0 && c == '0'; c = in.peek()) {
      d.seen_digit = true;
      --d.exponent;
      in.advance();
    }
    for (; is_digit(c); c = in.peek()) {
      d.seen_digit = true;
      if (d.count < max_digits) {
        d.digits[static_cast<std::size_t>(d.count++)] = static_cast<char>(c);
        --d.exponent;
      }
      in.advance();
    }
  }
  if (!d.seen_digit) return Fault::invalid_number;
  if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
    in.advance();
    c = in.peek();
  } else if (!is_sign(c)) {
    return Fault::none;
  }
  bool negative = c == '-';
  if (is_sign(c)) {
    in.advance();
    c = in.peek();
  }
  if (!is_digit(c)) return Fault::exponent_field;
  long e = 0;
  for (; is_digit(c); c = in.peek()) {
    e = 10 * e + (c - '0');
    if (e > max_exponent) return Fault::exponent_field;
    in.advance();
  }
  d.exponent += negative ? -e : e;
  return Fault::none;
}

// Powers of ten that a double holds exactly.
constexpr double exact_pow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Digits that make a whole number of at most 2^53 with a power of ten of at
// most 22 are converted by one multiplication or division of two exact
// doubles, which IEEE arithmetic rounds correctly. Other numbers, and the
// long or far ones, take the general conversion.
bool convert_short(std::string_view digits, long exponent, double& x) noexcept {
  if (digits.size() > 15 || exponent < -22 || exponent > 22) return false;
  std::uint64_t w = 0;
  for (char c : digits) w = 10 * w + static_cast<std::uint64_t>(c - '0');
  double whole = static_cast<double>(w);  // exact: below 10^15
  x = exponent < 0 ? whole / exact_pow10[-exponent] : whole * exact_pow10[exponent];
  return true;
}

// The general case: the digits and exponent as text, through the correctly
// rounded conversion. Out of the double range means infinity or zero.
double convert_long(std::string_view digits, long exponent, long magnitude) noexcept {
  char text[max_digits + 24];
  std::memcpy(text, digits.data(), digits.size());
  char* end = text + digits.size();
  *end++ = 'e';
  end = std::to_chars(end, text + sizeof text, exponent).ptr;
  double x = 0.0;
  if (std::from_chars(text, end, x).ec == std::errc::result_out_of_range)
    x = magnitude > 0 ? HUGE_VAL : 0.0;
  return x;
}

// Correctly rounded to double, then rounded to single: the two roundings
// are part of the input form. Magnitudes far beyond the double range are
// decided from the decimal exponent alone. A value whose digits are all
// zero is +0 whatever its sign, so "-0" counts as "0"; a nonzero value
// too small for single precision keeps its sign.
float to_single(const Decimal& d) noexcept {
  int n = d.count;
  while (n > 0 && d.digits[static_cast<std::size_t>(n - 1)] == '0') --n;
  if (n == 0) return 0.0f;
  std::string_view digits(d.digits.data(), static_cast<std::size_t>(n));
  long exponent = d.exponent + (d.count - n);
  long magnitude = exponent + n;  // 10^(magnitude-1) <= value < 10^magnitude
  double x = 0.0;
  if (magnitude < -400)
    x = 0.0;
  else if (magnitude > 400)
    x = HUGE_VAL;
  else if (!convert_short(digits, exponent, x))
    x = convert_long(digits, exponent, magnitude);
  return static_cast<float>(d.negative ? -x : x);
}

// A repeat count is a whole number of at least 1 with no minus sign.
// "r*" followed by a separator, a slash or the end stands for r nulls.
Fault scan_item(Source& in, Item& item) noexcept {
  Decimal d;
  scan_whole(in, d);
  item.repeat = 1;
  if (in.peek() == '*') {
    if (d.negative || d.count == 0 || d.exponent > 0) return Fault::bad_repetition_count;
    int r = 0;  // held below 2^24: any count past the items read is alike
    for (int i = 0; i < d.count; ++i)
      r = std::min(10 * r + (d.digits[static_cast<std::size_t>(i)] - '0'), 1 << 24);
    item.repeat = r;
    in.advance();
    int c = in.peek();
    if (c == ' ' || c == '\t' || c == '\n' || c == ',' || c == '/' || c == end_of_input) {
      item.null = true;
      return Fault::none;
    }
    d = Decimal{};
    scan_whole(in, d);
  }
  if (Fault f = scan_rest(in, d); f != Fault::none) return f;
  item.null = false;
  item.value = to_single(d);
  return Fault::none;
}

// The text of what begins at the next byte: a null's comma or a slash
// alone, a value up to a separator, or the rest of a line up to its end.
ItemText text_ahead(Source& in, bool to_line_end) noexcept {
  const std::string_view ahead = in.ahead(ItemText::capacity + 1);
  std::size_t n = ahead.find_first_of(to_line_end ? "\n" : " \t\n,/");
  if (!to_line_end && n == 0) n = 1;
  n = std::min(n, ahead.size());
  ItemText text;
  text.size = std::min(n, ItemText::capacity);
  text.cut = n > ItemText::capacity;
  std::copy_n(ahead.data(), text.size, text.bytes.data());
  return text;
}

// The steps of a traced read, each noting in the trace what the reading
// has just done; the item being read is the trace's `stop`.
struct Tracing {
  Trace& trace;

  // An item begins at the next byte: a value, a null or a slash.
  void begin(Source& in) noexcept {
    trace.stop = TracedItem{};
    trace.stop.place = in.place();
    trace.stop.text = text_ahead(in, false);
  }
  std::uint64_t start(const Source& in) noexcept { return in.offset(); }

  // A value or repeated null has been scanned from `start`: its text is
  // what the scan took, and the byte after it is kept.
  void scanned(Source& in, const Item& item, std::uint64_t start) noexcept {
    TracedItem& t = trace.stop;
    const std::uint64_t taken = in.offset() - start;
    if (taken <= t.text.size) {
      t.text.size = static_cast<std::size_t>(taken);
      t.text.cut = false;
    }
    t.set = !item.null;
    t.after = in.peek();
  }
  void filled(std::size_t n) noexcept { trace.items[n] = trace.stop; }

  // Where the read stopped: at the item being read. A slash leaves the
  // items after it unset; a complete read ends at what follows its last
  // value on the line.
  void stopped(Source& in, std::size_t found, Fault fault) noexcept {
    trace.found = found;
    if (fault != Fault::none) {
      trace.stop.after = in.peek();
      return;
    }
    for (std::size_t i = found; i < trace.items.size(); ++i) trace.items[i] = trace.stop;
    if (found == trace.items.size()) {
      in.skip_blanks();
      trace.stop.place = in.place();
      trace.stop.text = text_ahead(in, true);
    }
  }
};

// The steps of a read that is not traced: none, so that it compiles to
// the reading alone.
struct NotTracing {
  void begin(Source&) noexcept {}
  std::uint64_t start(const Source&) noexcept { return 0; }
  void scanned(Source&, const Item&, std::uint64_t) noexcept {}
  void filled(std::size_t) noexcept {}
  void stopped(Source&, std::size_t, Fault) noexcept {}
};

// Values and nulls are taken in turn; after a value, blanks and tabs and
// one comma are its separator. A repeated item fills the next items from
// one scan, and the separator after it is taken once.
template <class Tracer>
Fault read_items(Source& in, std::span<float> items, Tracer tracer) noexcept {
  Fault fault = Fault::none;
  Item item;
  int left = 0;
  std::size_t n = 0;
  for (; n < items.size(); ++n) {
    if (left == 0) {
      int c = in.skip_white();
      tracer.begin(in);
      if (c == end_of_input) {
        fault = Fault::end_of_file;
        break;
      }
      if (c == '/') {
        in.advance();
        break;
      }
      if (c == ',') {
        in.advance();
        tracer.filled(n);
        continue;
      }
      const std::uint64_t start = tracer.start(in);
      if (fault = scan_item(in, item); fault != Fault::none) break;
      left = item.repeat;
      tracer.scanned(in, item, start);
      if (in.skip_blanks() == ',') in.advance();
    }
    if (!item.null) items[n] = item.value;
    tracer.filled(n);
    --left;
  }
  tracer.stopped(in, n, fault);
  if (fault == Fault::none) in.skip_line();
  return in.error() != 0 ? Fault::read_failed : fault;
}

}  // namespace

Fault read_list(Source& in, std::span<float> items, Trace* trace) noexcept {
  if (trace == nullptr) return read_items(in, items, NotTracing{});
  in.track();
  return read_items(in, items, Tracing{*trace});
}

// The window lives on the stack for the one statement that uses it.
void read_reals(int unit, std::span<float> items) noexcept {
  begin_statement(unit, true, "list io");
  std::array<char, window_size> window;
  Source in(descriptor(unit), window);
  if (Fault f = read_list(in, items, nullptr); f != Fault::none) fail(f, in.error());
}

}  // namespace recio
