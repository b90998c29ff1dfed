// xpcorr --check: the eighteen fit files read as the run reads them, each
// error that would end the run and each value it accepts but a physicist
// rarely means told in one line, the file, line and column first.
#pragma once

namespace cli {

// Examines every fit file of the current directory and prints the
// findings and a summary line on standard output. `directory` is -C's
// directory, which the file names are given in, or null: then the summary
// names the current directory. Returns the exit status: 0 when nothing
// was found, 1 when anything was or the output was refused.
int check(const char* directory) noexcept;

}  // namespace cli
