// The file named by --table: the checks that keep the run from ever
// writing over a fit file, and its replacement by a complete table.
#pragma once

#include <string_view>

#include "cli/problem.hpp"
#include "core/fit_set.hpp"

namespace cli {

// The table's name as the user gave it, relative to the directory the
// command was started in, which stays the working directory.
struct TableFile {
  const char* name = nullptr;
};

// Before anything is printed or read: refuses a table that is a
// directory, a device, pipe or socket, standard output, or (by device and
// inode, so by any path or link) one of the fit files of `fits`.
Failure check(const TableFile& table, const core::FitSet& fits) noexcept;

// Replaces the table by `bytes`, whole (files::replace_whole).
Failure replace(const TableFile& table, std::string_view bytes) noexcept;

}  // namespace cli
