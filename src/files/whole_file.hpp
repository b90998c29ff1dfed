// Writing bytes whole: all of a buffer to a descriptor, and a file replaced
// only by a complete one; and reading that an interruption does not end.
// Every writer and every reader of a descriptor goes through here.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string_view>

namespace files {

// Interruptions in a row, with nothing written or read, before a loop over
// write(2) or read(2) gives up: a signal storm is not a reason to spin for
// ever.
inline constexpr int max_interruptions = 100;

// How far a write_in_full got: the bytes the system took, and the errno
// value of the call that stopped it (0 when every byte went).
struct Written {
  std::size_t bytes = 0;
  int error = 0;
};

// Writes all of `bytes` to `fd`, resuming after partial writes and calls
// interrupted by a signal. A write that takes nothing (ENOSPC, as a full
// device answers) or fails otherwise ends it, and so does a run of
// interruptions with no progress, so the caller always gets an answer.
Written write_in_full(int fd, std::string_view bytes) noexcept;

// One read(2) of up to `size` bytes into `at`, tried again when a signal
// interrupts it, up to max_interruptions in a row: the count read, 0 at
// the end of the input, or -1 with errno set.
ssize_t read_some(int fd, char* at, std::size_t size) noexcept;

// Writes `bytes` to a new file ".NAME.XXXXXX" beside `path` (mode 0666
// less the umask), syncs and closes it and renames it over `path`, so that
// `path` is either as it was or complete. Returns 0, or the errno value of
// the step that failed; then the new file is removed.
int replace_whole(const char* path, std::string_view bytes) noexcept;

}  // namespace files
