// Checking and replacing the table file. Nothing here opens a fit file:
// the fit set tells whether the table is one of them.

#include "cli/table_file.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include "files/whole_file.hpp"

namespace cli {

// A name that does not exist yet (or cannot be reached) is no fit file
// and nothing to refuse: whether it can be written is found on writing.
Failure check(const TableFile& table, const core::FitSet& fits) noexcept {
  struct stat t, out;
  if (::stat(table.name, &t) != 0) return {};
  if (S_ISDIR(t.st_mode)) return {Problem::table_is_directory, table.name};
  if (!S_ISREG(t.st_mode)) return {Problem::table_not_regular, table.name};
  if (::fstat(1, &out) == 0 && out.st_dev == t.st_dev && out.st_ino == t.st_ino)
    return {Problem::table_is_output, table.name};
  if (std::string_view fit = fits.holds(t.st_dev, t.st_ino); !fit.empty())
    return {Problem::table_is_fit_file, table.name, 0, fit};
  return {};
}

// The working directory never changes: a relative name is the user's,
// relative to where the command was started.
Failure replace(const TableFile& table, std::string_view bytes) noexcept {
  if (int error = files::replace_whole(table.name, bytes); error != 0)
    return {Problem::cannot_write_table, table.name, error};
  return {};
}

}  // namespace cli
