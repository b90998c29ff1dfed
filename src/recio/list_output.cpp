// List-directed output: the item forms and the line limit of a record.

#include "recio/list_output.hpp"

#include <cerrno>
#include <charconv>
#include <cmath>

#include "recio/fault.hpp"

namespace recio {
namespace {

// One record under construction: its current length decides whether the
// next item still fits or starts a new record.
class Record {
 public:
  explicit Record(Stream& out) noexcept : out_(out) {}

  // Ends the record first when the item would take it to the line limit.
  bool make_room(std::size_t measure) noexcept {
    return length_ == 0 || measure + length_ < line_limit || end();
  }
  bool put(std::string_view text) noexcept {
    length_ += text.size();
    return out_.put(text);
  }
  bool end() noexcept {
    length_ = 0;
    return out_.put("\n");
  }
  bool empty() const noexcept { return length_ == 0; }

 private:
  Stream& out_;
  std::size_t length_ = 0;
};

bool emit_text(Record& rec, std::string_view text) noexcept {
  return rec.make_room(text.size()) && (!rec.empty() || rec.put(" ")) && rec.put(text);
}

bool emit_integer(Record& rec, int value) noexcept {
  char buf[16] = {' ', '-'};
  unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  char* digits = buf + (value < 0 ? 2 : 1);
  char* end = std::to_chars(digits, buf + sizeof buf, magnitude).ptr;
  return rec.make_room(static_cast<std::size_t>(end - digits)) &&
         rec.put({buf, static_cast<std::size_t>(end - buf)});
}

bool emit_real(Record& rec, float value) noexcept {
  char buf[32];
  std::string_view text = real_item(value, buf);
  return rec.make_room(text.size()) && rec.put(text);
}

}  // namespace

// "%.9G" of the magnitude, as to_chars gives it in lower case, is raised to
// upper case; a number without a point gets one before its exponent or at
// its end. Zero of either sign is unsigned "0."; infinities and NaN keep
// their plain names.
std::string_view real_item(float value, std::span<char, 32> buf) noexcept {
  char* p = buf.data();
  *p++ = ' ';
  *p++ = value < 0 ? '-' : ' ';
  if (value == 0) {
    *p++ = '0';
    *p++ = '.';
    return {buf.data(), 4};
  }
  char digits[24];
  double magnitude = std::fabs(static_cast<double>(value));
  char* end =
      std::to_chars(digits, digits + sizeof digits, magnitude, std::chars_format::general, 9).ptr;
  bool has_point = !std::isfinite(magnitude);
  for (char* d = digits; d != end; ++d) {
    if (*d == '.') has_point = true;
    if (*d == 'e' && !has_point) {
      *p++ = '.';
      has_point = true;
    }
    *p++ = static_cast<char>(*d >= 'a' && *d <= 'z' ? *d - 'a' + 'A' : *d);
  }
  if (!has_point) *p++ = '.';
  return {buf.data(), static_cast<std::size_t>(p - buf.data())};
}

// Items are told apart with get_if, which cannot throw, so no exception
// path reaches the record.
bool emit_list(Stream& out, std::span<const ListItem> items) noexcept {
  Record rec(out);
  for (const ListItem& item : items) {
    bool ok;
    if (const auto* text = std::get_if<std::string_view>(&item))
      ok = emit_text(rec, *text);
    else if (const auto* integer = std::get_if<int>(&item))
      ok = emit_integer(rec, *integer);
    else
      ok = emit_real(rec, *std::get_if<float>(&item));
    if (!ok) return false;
  }
  return rec.end();
}

// Records go to unit 6 only; any other unit has no output stream.
void write_list(int unit, std::initializer_list<ListItem> items) noexcept {
  begin_statement(unit, false, "list io");
  if (unit != output_unit) fail(Fault::write_failed, EBADF);
  if (!emit_list(output_stream(), items)) fail(Fault::write_failed, output_stream().error());
}

}  // namespace recio
