// Checking and replacing the table file. Nothing here opens a fit file:
// the fit files are only looked at with stat(2).

#include "table_file.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fit_input.hpp"

namespace cli {
namespace {

bool same_file(const struct stat& a, const struct stat& b) noexcept {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The fit file of the current directory that `t` is, or an empty name.
std::string_view fit_file_of(const struct stat& t) noexcept {
  for (const auto* names : {&corr::mc_files, &corr::data_files}) {
    for (std::string_view name : *names) {
      struct stat f;
      // The names are NUL-terminated literals.
      if (::stat(name.data(), &f) == 0 && same_file(f, t)) return name;
    }
  }
  return {};
}

// A name that does not exist yet (or cannot be reached) is no fit file
// and nothing to refuse: whether it can be written is found on writing.
Failure check(const TableFile& table) noexcept {
  struct stat t, out;
  if (::fstatat(table.start_dir, table.name, &t, 0) != 0) return {};
  if (S_ISDIR(t.st_mode)) return {Problem::table_is_directory, table.name};
  if (!S_ISREG(t.st_mode)) return {Problem::table_not_regular, table.name};
  if (::fstat(1, &out) == 0 && same_file(out, t)) return {Problem::table_is_output, table.name};
  if (std::string_view fit = fit_file_of(t); !fit.empty())
    return {Problem::table_is_fit_file, table.name, 0, fit};
  return {};
}

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

// The start directory is held open (O_PATH needs no permission on it) so
// that a relative table name keeps its meaning after the chdir.
Failure prepare(const Options& o, TableFile& table) noexcept {
  table.name = o.table;
  if (o.table != nullptr && o.directory != nullptr) {
    table.start_dir = ::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (table.start_dir < 0) return {Problem::cannot_enter, ".", errno};
  }
  if (o.directory != nullptr && ::chdir(o.directory) != 0)
    return {Problem::cannot_enter, o.directory, errno};
  if (o.table != nullptr) return check(table);
  return {};
}

// The run goes back to the start directory first, so every name below is
// the user's, relative to where the command was started.
Failure replace(const TableFile& table, std::string_view bytes) noexcept {
  auto failed = [&](int error) { return Failure{Problem::cannot_write_table, table.name, error}; };
  if (table.start_dir != AT_FDCWD && ::fchdir(table.start_dir) != 0) return failed(errno);
  char temp[PATH_MAX];
  if (!temp_name(table.name, temp)) return failed(ENAMETOOLONG);
  const int fd = ::mkostemp(temp, O_CLOEXEC);
  if (fd < 0) return failed(errno);
  int error = fill(fd, bytes);
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp, table.name) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp);
    return failed(error);
  }
  return {};
}

}  // namespace cli
