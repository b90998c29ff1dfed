// The unit table of the record I/O layer: which descriptor and file name
// each unit number stands for, the report stream, start-up and stop.

#include "recio/units.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "files/whole_file.hpp"
#include "recio/fault.hpp"

namespace recio {
namespace {

// One numbered channel. The name is kept with its terminating NUL so it
// can go to open(2) as it is and into the failure message as opened.
struct Unit {
  int fd = -1;
  std::size_t name_len = 0;
  std::array<char, 256> name{};

  // Not connected and unnamed. The name bytes past the length are never
  // read, so they are left as they are: clearing 100 names would cost more
  // than the whole report.
  void reset() noexcept {
    fd = -1;
    name_len = 0;
  }
};

std::array<Unit, unit_count> units;
Stream report{1};
IoState state;

}  // namespace

// Appends `text`, handing the buffer to the system first when it would
// overflow. A text larger than the whole buffer goes straight through.
bool Stream::put(std::string_view text) noexcept {
  if (text.size() > buf_.size() - used_) {
    if (fd_ < 0) {
      error_ = ENOBUFS;
      return false;
    }
    if (!flush()) return false;
    if (text.size() > buf_.size()) {
      std::memcpy(buf_.data(), text.data(), buf_.size());
      used_ = buf_.size();
      return flush() && put(text.substr(buf_.size()));
    }
  }
  std::memcpy(buf_.data() + used_, text.data(), text.size());
  used_ += text.size();
  return true;
}

// Writes out every buffered byte. On failure the bytes not taken stay
// buffered, at its start, and the system's error number is kept for the
// failure message.
bool Stream::flush() noexcept {
  if (fd_ < 0) return true;
  std::size_t written;
  const int error = files::write_in_full(fd_, pending(), written);
  std::memmove(buf_.data(), buf_.data() + written, used_ - written);
  used_ -= written;
  if (error != 0) error_ = error;
  return error == 0;
}

// The standard streams are preconnected, formatted and unnamed, as the
// program's records and the failure message expect them.
void start() noexcept {
  for (Unit& u : units) u.reset();
  units[error_unit].fd = 2;
  units[input_unit].fd = 0;
  units[output_unit].fd = 1;
  state = {};
}

// Success only when the whole report reached the system: a failed flush
// of unit 6 ends the run like any other I/O fault.
void finish() noexcept {
  if (!close_all()) {
    state.unit = output_unit;
    fail(Fault::write_failed, report.error());
  }
}

void stop() noexcept {
  finish();
  std::_Exit(0);
}

// The unit and name are recorded before the open is tried, so a failure
// names the file as it was asked for. O_RDONLY guarantees that a file we
// may write but not read is left exactly as it was.
void open_old(int unit, std::string_view name, int dir) noexcept {
  close(unit);
  Unit& u = units[static_cast<std::size_t>(unit)];
  state.unit = unit;
  u.name_len = std::min(name.size(), u.name.size() - 1);
  std::memcpy(u.name.data(), name.data(), u.name_len);
  u.name[u.name_len] = '\0';
  if (name.size() != u.name_len) fail(Fault::open_failed, ENAMETOOLONG);
  int fd = ::openat(dir, u.name.data(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) fail(Fault::open_failed, errno);
  u.fd = fd;
}

// A unit opened for reading loses nothing on close, so a close error is
// not a fault. The standard streams stay connected.
void close(int unit) noexcept {
  Unit& u = units[static_cast<std::size_t>(unit)];
  if (unit != error_unit && unit != input_unit && unit != output_unit) {
    if (u.fd >= 0) ::close(u.fd);
    u.reset();
  }
}

bool close_all() noexcept {
  for (int unit = 0; unit < unit_count; ++unit) close(unit);
  return report.flush();
}

void begin_statement(int unit, bool reading, std::string_view format,
                     bool formatted_record) noexcept {
  state.unit = unit;
  state.reading = reading;
  state.format = format;
  state.sequential = state.sequential || formatted_record;
}

const IoState& io_state() noexcept { return state; }

int descriptor(int unit) noexcept {
  if (unit < 0 || unit >= unit_count) return -1;
  return units[static_cast<std::size_t>(unit)].fd;
}

std::string_view file_name(int unit) noexcept {
  if (unit < 0 || unit >= unit_count) return {};
  const Unit& u = units[static_cast<std::size_t>(unit)];
  return {u.name.data(), u.name_len};
}

Stream& output_stream() noexcept { return report; }

}  // namespace recio
