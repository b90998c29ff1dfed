// xpcorr --check: the fit set's files as the run reads them, each error
// that would end the run and each value it accepts but a physicist rarely
// means told in one line, the file, line and column first. --table runs
// the same check on the files the run read.
#pragma once

#include <string>

#include "core/fit_set.hpp"

namespace cli {

// The findings of a fit set whose files were read whole: one line each,
// the warnings' lines apart, the summary line (without its line end), and
// its counts alone ("0 errors, 2 warnings").
// `directory` is -C's directory, which the file names are given in, or
// null: then the summary names the current directory.
struct Findings {
  std::string lines, warning_lines, summary, counts;
  int errors = 0, warnings = 0;
};
Findings examine(const core::FitSet& fits, const char* directory);

// Reads every fit file of `fits` and prints the findings and the summary
// line on standard output. Returns the exit status: 0 when nothing was
// found, 1 when anything was or the output was refused.
int check(core::FitSet& fits, const char* directory) noexcept;

}  // namespace cli
