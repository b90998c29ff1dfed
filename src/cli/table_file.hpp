// The file named by --table: where it is, the checks that keep the run from
// ever writing over a fit file, and its replacement by a complete table.
#pragma once

#include <fcntl.h>

#include <string_view>

#include "cli/options.hpp"
#include "cli/problem.hpp"

namespace cli {

// The table's name as the user gave it, relative to the directory the
// command was started in: `start_dir` holds that directory once -C has
// moved the run elsewhere, else it is AT_FDCWD.
struct TableFile {
  const char* name = nullptr;
  int start_dir = AT_FDCWD;
};

// Before anything is printed or read: keeps the start directory when the
// table is asked for, enters -C's directory, then refuses a table that is
// a directory, a device, pipe or socket, standard output, or (by device
// and inode, so by any path or link) one of the eighteen fit files.
Failure prepare(const Options& o, TableFile& table) noexcept;

// Replaces the table by `bytes`, whole (files::replace_whole).
Failure replace(const TableFile& table, std::string_view bytes) noexcept;

}  // namespace cli
