// Writing bytes whole: all of a buffer to a descriptor, and a file replaced
// only by a complete one; and reading that an interruption does not end.
// Every writer and every reader of a descriptor goes through here.
#pragma once

#include <cstddef>
#include <string_view>

namespace files {

// Interruptions in a row, with nothing written or read, before a loop over
// write(2) or read(2) gives up: a signal storm is not a reason to spin for
// ever.
inline constexpr int max_interruptions = 100;

// Every call here returns 0 when it did all it was asked, else the errno
// value of the step that failed; what it counted goes to a parameter.

// Writes all of `bytes` to `fd`, resuming after partial writes and calls
// interrupted by a signal. A write that takes nothing (ENOSPC, as a full
// device answers) or fails otherwise ends it, and so does a run of
// interruptions with no progress, so the caller always gets an answer.
// `written` is how many bytes the system took.
int write_in_full(int fd, std::string_view bytes, std::size_t& written) noexcept;
inline int write_in_full(int fd, std::string_view bytes) noexcept {
  std::size_t written;
  return write_in_full(fd, bytes, written);
}

// One read(2) of up to `size` bytes into `at`, tried again when a signal
// interrupts it, up to max_interruptions in a row. `got` is the count
// read, 0 at the end of the input (and after a failure).
int read_some(int fd, char* at, std::size_t size, std::size_t& got) noexcept;

// Writes `bytes` to a new file ".NAME.XXXXXX" beside `path` (mode 0666
// less the umask), syncs and closes it and renames it over `path`, so that
// `path` is either as it was or complete. Returns 0, or the errno value of
// the step that failed; then the new file is removed.
int replace_whole(const char* path, std::string_view bytes) noexcept;

}  // namespace files
