// Where a results table came from, as comment lines at its top: the
// program and its version, and the SHA-256 of each fit file as sha256sum
// prints it, so that `sha256sum -c` in the fit directory tells whether the
// fits are still those the table was made from.
#pragma once

#include <string>
#include <vector>

namespace cli {

// Appends the lines for the fit files of the current directory, Monte
// Carlo files first. A build without a SHA-256 library says so instead.
// Returns false, with `why` naming the file and the reason, when a fit
// file can no longer be read.
bool provenance(std::vector<std::string>& lines, std::string& why);

}  // namespace cli
