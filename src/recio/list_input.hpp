// List-directed input: real values read by the list-directed input form,
// from a unit's file through a fixed window, or from bytes in memory, and
// on request a trace of where each item stood in the input.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "recio/fault.hpp"

namespace recio {

inline constexpr int end_of_input = -1;
inline constexpr std::size_t window_size = 64 * 1024;

// Where a byte lies in the input: its line and its column (a count of
// bytes), both from 1.
struct Place {
  std::uint64_t line = 1;
  std::uint64_t column = 1;
  friend bool operator==(const Place&, const Place&) = default;
};

// A bounded window over the bytes of one read. Over a descriptor it is
// refilled a chunk at a time, so a file of any size costs the window and
// no more; over bytes in memory it ends where they end.
//
// A traced read has the source track where it stands: line ends are
// counted only over the bytes a refill drops and on asking, so a read that
// is not traced pays nothing for it.
class Source {
 public:
  Source(int fd, std::span<char> window) noexcept
      : pos_(window.data()), end_(window.data()), begin_(window.data()), fd_(fd), window_(window) {}
  explicit Source(std::string_view bytes) noexcept
      : pos_(bytes.data()), end_(bytes.data() + bytes.size()), begin_(bytes.data()) {}

  // The next byte, not consumed, or end_of_input.
  int peek() noexcept {
    return pos_ < end_ || refill() ? static_cast<unsigned char>(*pos_) : end_of_input;
  }
  void advance() noexcept { ++pos_; }
  int skip_blanks() noexcept;                    // passes over blanks and tabs; returns peek()
  int skip_white() noexcept;                     // the same, and line ends
  void skip_line() noexcept;                     // passes over the rest of the line and its end
  int error() const noexcept { return error_; }  // errno of a failed read

  // Tracking, from the start of the input: the place of the next byte,
  // its offset from the input's start, and the next `n` bytes (fewer only
  // at the end of the input or past the window's size).
  void track() noexcept {
    tracking_ = true;
    counted_ = pos_;
  }
  Place place() noexcept;
  std::uint64_t offset() const noexcept {
    return base_ + static_cast<std::uint64_t>(pos_ - begin_);
  }
  std::string_view ahead(std::size_t n) noexcept;

  // Every byte read from the descriptor is handed to `to` as it arrives,
  // once and in order, so that a caller can digest exactly the bytes the
  // read took.
  using Tap = void (*)(void* context, const char* bytes, std::size_t n) noexcept;
  void tap(Tap to, void* context) noexcept {
    tap_ = to;
    tap_context_ = context;
  }

 private:
  void tapped(const char* bytes, std::size_t n) noexcept {
    if (tap_ != nullptr) tap_(tap_context_, bytes, n);
  }
  bool refill() noexcept;
  int skip(bool line_ends) noexcept;
  void count_lines(const char* to) noexcept;
  void drop(const char* to) noexcept;

  const char* pos_;
  const char* end_;
  const char* begin_;  // the window's start, or the bytes' start
  int fd_ = -1;
  int error_ = 0;
  bool at_end_ = false;
  bool tracking_ = false;
  std::span<char> window_;
  Tap tap_ = nullptr;
  void* tap_context_ = nullptr;
  // Tracking: line ends are counted up to `counted_`; `base_` is the
  // offset of begin_ in the input, `line_start_` that of the line's start.
  const char* counted_ = begin_;
  std::uint64_t base_ = 0;
  std::uint64_t line_ = 1;
  std::uint64_t line_start_ = 0;
};

// The first bytes of an item as written: a value up to a separator, a
// null's comma or a slash alone, or what follows the last value up to the
// line end; cut at `capacity` bytes.
struct ItemText {
  static constexpr std::size_t capacity = 40;
  std::array<char, capacity> bytes{};
  std::size_t size = 0;
  bool cut = false;  // the text went on past `capacity`
  std::string_view view() const noexcept { return {bytes.data(), size}; }
};

// One item of a traced read: where its value, null or slash began, its
// text, whether a value set it, and the byte right after a value's text
// (for the item of a fault, the byte the scan stopped at).
struct TracedItem {
  Place place;
  ItemText text;
  bool set = false;  // false: left unset by a null or a slash
  int after = end_of_input;
};

// What a traced read tells beyond the values: one entry per item, how many
// items the input gave (values and nulls), and where the read stopped: at
// the item of a fault, at the end of the input, at a slash, or, after a
// complete read, at what follows the last value on its line (its text runs
// to the line end, blanks before it passed over).
struct Trace {
  std::span<TracedItem> items;  // as many as the items read
  std::size_t found = 0;
  TracedItem stop;
};

// Reads values into `items`, then passes over the rest of the last value's
// line. An item that a null value or a slash leaves unread keeps the value
// it held. Reports the first fault; a read error outranks the others. A
// `trace` (the run passes none) is filled as the read goes; it must start
// at the start of the input.
Fault read_list(Source& in, std::span<float> items, Trace* trace = nullptr) noexcept;

// One list-directed read statement on `unit`; any failure is fatal.
void read_reals(int unit, std::span<float> items) noexcept;

}  // namespace recio
