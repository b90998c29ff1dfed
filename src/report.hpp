// The report on unit 6: the header and bias table, the progress labels,
// the tables before and after the bias correction, and the final rates
// and fragmentation function with their errors.
#pragma once

#include <string_view>

#include "bins.hpp"

namespace corr {

void print_header() noexcept;                    // title, BR and the bias table
void print_label(std::string_view text) noexcept;  // one character item
void print_blank() noexcept;

// The ratio, rate, total and cross-section blocks of the uncorrected rates,
// ending with the label that announces the correction.
void print_uncorrected(const Measurement& m, const Sums& s) noexcept;

// The same blocks from the corrected rates, then the fitted/matched ratios.
void print_corrected(const Measurement& m, const Sums& s) noexcept;

// Turns the corrected data rate of bins 4 to 9 into the final rate and
// back into the fragmentation function, one record per bin each time.
void print_final(Measurement& m) noexcept;

}  // namespace corr
