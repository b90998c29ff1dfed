// Replacing a file by a complete one, shared by xpcorr's table and
// xpcorr-plot's picture.

#include "whole_file/whole_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace whole_file {
namespace {

// Writes every byte, then the mode and the sync; 0 or the errno value.
int fill(int fd, std::string_view bytes) noexcept {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  if (::fchmod(fd, 0666 & ~mask) != 0) return errno;
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
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

}  // namespace

int replace_whole(const char* path, std::string_view bytes) noexcept {
  char temp[PATH_MAX];
  if (!temp_name(path, temp)) return ENAMETOOLONG;
  const int fd = ::mkostemp(temp, O_CLOEXEC);
  if (fd < 0) return errno;
  int error = fill(fd, bytes);
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp, path) != 0) error = errno;
  if (error != 0) ::unlink(temp);
  return error;
}

}  // namespace whole_file
