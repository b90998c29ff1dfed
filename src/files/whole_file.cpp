// Whole writes: the loop over write(2) that every writer shares, and the
// replacement of a file by a complete one (xpcorr's table, xpcorr-plot's
// picture and points).

#include "files/whole_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace files {
namespace {

// Writes every byte, then the mode and the sync; 0 or the errno value.
int fill(int fd, std::string_view bytes) noexcept {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  if (::fchmod(fd, 0666 & ~mask) != 0) return errno;
  if (int error = write_in_full(fd, bytes); error != 0) return error;
  return ::fsync(fd) != 0 ? errno : 0;
}

// "dir/.name.XXXXXX" for "dir/name": hidden, in the same folder so the
// rename stays within one file system. False when too long.
bool temp_name(const char* name, char (&temp)[PATH_MAX]) noexcept {
  const char* slash = std::strrchr(name, '/');
  const std::size_t dir_len = slash ? static_cast<std::size_t>(slash - name + 1) : 0;
  const std::size_t base_len = std::strlen(name) - dir_len;
  if (dir_len + base_len + 9 > sizeof temp) return false;
  std::memcpy(temp, name, dir_len);
  temp[dir_len] = '.';
  std::memcpy(temp + dir_len + 1, name + dir_len, base_len);
  std::memcpy(temp + dir_len + 1 + base_len, ".XXXXXX", 8);
  return true;
}

// A new file from the template `temp`, closed on exec: in one call where
// the system has mkostemp, else mkstemp and then the flag (no other thread
// runs a program meanwhile in these single-threaded programs).
int make_temp(char* temp) noexcept {
#if XPCORR_HAVE_MKOSTEMP
  return ::mkostemp(temp, O_CLOEXEC);
#else
  const int fd = ::mkstemp(temp);
  if (fd >= 0) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  return fd;
#endif
}

}  // namespace

int write_in_full(int fd, std::string_view bytes, std::size_t& written) noexcept {
  written = 0;
  for (int interrupted = 0; written < bytes.size();) {
    ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR && ++interrupted < max_interruptions) continue;
    if (n <= 0) return n < 0 ? errno : ENOSPC;
    interrupted = 0;
    written += static_cast<std::size_t>(n);
  }
  return 0;
}

int read_some(int fd, char* at, std::size_t size, std::size_t& got) noexcept {
  got = 0;
  for (int interrupted = 0;;) {
    const ssize_t n = ::read(fd, at, size);
    if (n >= 0) return got = static_cast<std::size_t>(n), 0;
    if (errno != EINTR || ++interrupted >= max_interruptions) return errno;
  }
}

int replace_whole(const char* path, std::string_view bytes) noexcept {
  char temp[PATH_MAX];
  if (!temp_name(path, temp)) return ENAMETOOLONG;
  const int fd = make_temp(temp);
  if (fd < 0) return errno;
  int error = fill(fd, bytes);
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp, path) != 0) error = errno;
  if (error != 0) ::unlink(temp);
  return error;
}

}  // namespace files
