// Checking and replacing the table file. Nothing here opens a fit file:
// the fit files are only looked at with stat(2).

#include "cli/table_file.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/fit_files.hpp"
#include "files/whole_file.hpp"

namespace cli {
namespace {

bool same_file(const struct stat& a, const struct stat& b) noexcept {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The fit file of the current directory that `t` is, or an empty name.
std::string_view fit_file_of(const struct stat& t) noexcept {
  for (const auto* names : {&core::mc_files, &core::data_files}) {
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

// The run goes back to the start directory first, so the name is the
// user's, relative to where the command was started.
Failure replace(const TableFile& table, std::string_view bytes) noexcept {
  if (table.start_dir != AT_FDCWD && ::fchdir(table.start_dir) != 0)
    return {Problem::cannot_write_table, table.name, errno};
  if (int error = files::replace_whole(table.name, bytes); error != 0)
    return {Problem::cannot_write_table, table.name, error};
  return {};
}

}  // namespace cli
