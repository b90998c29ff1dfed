// List-directed input: real values read by the list-directed input form,
// from a unit's file through a fixed window, or from bytes in memory.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "recio/fault.hpp"

namespace recio {

inline constexpr int end_of_input = -1;
inline constexpr std::size_t window_size = 64 * 1024;

// A bounded window over the bytes of one read. Over a descriptor it is
// refilled a chunk at a time, so a file of any size costs the window and
// no more; over bytes in memory it ends where they end.
class Source {
 public:
  Source(int fd, std::span<char> window) noexcept
      : pos_(window.data()), end_(window.data()), fd_(fd), window_(window) {}
  explicit Source(std::string_view bytes) noexcept
      : pos_(bytes.data()), end_(bytes.data() + bytes.size()) {}

  // The next byte, not consumed, or end_of_input.
  int peek() noexcept {
    return pos_ < end_ || refill() ? static_cast<unsigned char>(*pos_) : end_of_input;
  }
  void advance() noexcept { ++pos_; }
  int skip_blanks() noexcept;                    // passes over blanks and tabs; returns peek()
  int skip_white() noexcept;                     // the same, and line ends
  void skip_line() noexcept;                     // passes over the rest of the line and its end
  int error() const noexcept { return error_; }  // errno of a failed read

 private:
  bool refill() noexcept;
  int skip(bool line_ends) noexcept;

  const char* pos_;
  const char* end_;
  int fd_ = -1;
  int error_ = 0;
  bool at_end_ = false;
  std::span<char> window_;
};

// Reads values into `items`, then passes over the rest of the last value's
// line. An item that a null value or a slash leaves unread keeps the value
// it held. Reports the first fault; a read error outranks the others.
Fault read_list(Source& in, std::span<float> items) noexcept;

// One list-directed read statement on `unit`; any failure is fatal.
void read_reals(int unit, std::span<float> items) noexcept;

}  // namespace recio
