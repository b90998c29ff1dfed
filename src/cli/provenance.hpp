// Where a results table came from, as comment lines at its top: the
// program and its version, and the SHA-256 of each fit file as sha256sum
// prints it, so that `sha256sum -c` in the fit directory tells whether the
// fits are still those the table was made from.
#pragma once

#include <string>
#include <vector>

#include "core/fit_set.hpp"

namespace cli {

// Appends the lines for the fit files of `fits`, read whole by the run,
// Monte Carlo files first. A build without a SHA-256 library says so
// instead.
void provenance(const core::FitSet& fits, std::vector<std::string>& lines);

}  // namespace cli
