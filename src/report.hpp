// The report on unit 6: the header and bias table, the progress labels,
// the tables before and after the bias correction, and the final rates
// and fragmentation function with their errors.
#pragma once

#include <array>
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

// One record of the final values: dar(b), dar(b) x stat(b), dar(b) x syst(b).
using WithErrors = std::array<float, 3>;
inline constexpr int reported_count = last_reported - first_reported + 1;

// The final records as printed, bins 4 to 9 in order: the rates (records
// 62 to 67) and the fragmentation function (records 69 to 74). The values
// are the very floats the records were edited from, field width aside.
struct FinalValues {
  std::array<WithErrors, reported_count> rate{};
  std::array<WithErrors, reported_count> frag{};
};

// Turns the corrected data rate of bins 4 to 9 into the final rate and
// back into the fragmentation function, one record per bin each time, and
// returns what the records hold.
FinalValues print_final(Measurement& m) noexcept;

}  // namespace corr
