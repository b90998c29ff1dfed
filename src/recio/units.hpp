// The unit table of the record I/O layer: numbered channels, the buffered
// stream behind unit 6, the state the failure message describes, and the
// start-up and normal stop of a run.
#pragma once

#include <fcntl.h>

#include <array>
#include <cstddef>
#include <string_view>

namespace recio {

inline constexpr int error_unit = 0;
inline constexpr int input_unit = 5;
inline constexpr int output_unit = 6;
inline constexpr int unit_count = 100;  // units 0 to 99

// A byte stream on a descriptor with a fixed buffer. Bytes are handed to
// the system only when the buffer is full or on flush(), so a whole report
// usually leaves in one write. A stream with no descriptor (fd < 0) only
// collects; tests read what it holds through pending().
class Stream {
 public:
  explicit Stream(int fd) noexcept : fd_(fd) {}
  bool put(std::string_view text) noexcept;
  bool flush() noexcept;
  std::string_view pending() const noexcept { return {buf_.data(), used_}; }
  int error() const noexcept { return error_; }

 private:
  int fd_;
  int error_ = 0;
  std::size_t used_ = 0;
  std::array<char, 8192> buf_{};
};

// What the layer last did, as the failure message's last three lines tell it.
struct IoState {
  int unit = -1;            // unit of the statement in progress
  bool reading = false;     // last statement read (else wrote)
  bool sequential = false;  // a formatted record has been written
  std::string_view format;  // last format text; "list io" for list I/O
};

// Connects units 0, 5 and 6 to standard error, input and output.
void start() noexcept;

// End of a complete report: closes every unit and flushes standard output.
// A flush that fails ends the run through the failure message, so a caller
// that goes on knows the whole report reached the system.
void finish() noexcept;

// Normal stop: finish(), then exit 0.
[[noreturn]] void stop() noexcept;

// Opens the existing file `name` for reading on `unit`, relative to the
// directory descriptor `dir` (AT_FDCWD: the current directory). The file
// is never created, truncated or written. Any failure is fatal.
void open_old(int unit, std::string_view name, int dir = AT_FDCWD) noexcept;

// Closes `unit`; the file stays as it is. Closing a unit not open is allowed.
void close(int unit) noexcept;

// Closes every unit and flushes unit 6; returns false when the flush failed.
bool close_all() noexcept;

// Marks the start of a statement on `unit`, for the failure message. A
// formatted record marks the layer as having done sequential formatted I/O.
void begin_statement(int unit, bool reading, std::string_view format,
                     bool formatted_record = false) noexcept;

const IoState& io_state() noexcept;
int descriptor(int unit) noexcept;              // -1 when not connected
std::string_view file_name(int unit) noexcept;  // empty when unnamed
Stream& output_stream() noexcept;               // the stream of unit 6

}  // namespace recio
