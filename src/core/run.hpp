// The run sequence of the correction program: the header, the fit files,
// the rates before and after the bias correction, and the final values.
#pragma once

#include "core/rates.hpp"

namespace core {

class FitSet;

// One straight run over the fit files of `fits`, into `m`, which keeps the
// values read from them. Any I/O failure leaves it through
// the failure message; the records already written stay on standard
// output. Returns the final values once the whole report has reached the
// system.
FinalValues run(Measurement& m, FitSet& fits) noexcept;

}  // namespace core
