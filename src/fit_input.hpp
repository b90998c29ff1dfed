// The eighteen fit files: nine Monte Carlo and nine data files, one per
// bin, each holding six list-directed values.
#pragma once

#include "bins.hpp"

namespace corr {

// Fit file of bin b is read on unit 89 + b.
inline constexpr int first_fit_unit = 90;

// Opens the nine Monte Carlo files, then reads and closes them in bin
// order, keeping the matched count and the fitted yield; then the same for
// the nine data files, keeping the fitted yield. Any failure is fatal.
void read_fit_files(Measurement& m) noexcept;

}  // namespace corr
