// The eighteen fit files: nine Monte Carlo and nine data files, one per
// bin, each holding six list-directed values.
#pragma once

#include <array>
#include <string_view>

#include "core/bins.hpp"

namespace core {

// The file names of bins 1 to 9, as opened in the fit directory.
inline constexpr std::array<std::string_view, bin_count> mc_files{
    "mcfit0.dat", "mcfit1.dat", "mcfit2.dat", "mcfit3.dat", "mcfit4.dat",
    "mcfit5.dat", "mcfit6.dat", "mcfit7.dat", "mcfit8.dat"};
inline constexpr std::array<std::string_view, bin_count> data_files{
    "dafit0.dat", "dafit1.dat", "dafit2.dat", "dafit3.dat", "dafit4.dat",
    "dafit5.dat", "dafit6.dat", "dafit7.dat", "dafit8.dat"};

// Fit file of bin b is read on unit 89 + b.
inline constexpr int first_fit_unit = 90;

// Each fit file holds six values; the run keeps the first (the matched
// count, of a Monte Carlo file) and the fifth (the fitted yield).
inline constexpr int fit_values = 6;
inline constexpr int matched_value = 0;
inline constexpr int yield_value = 4;

}  // namespace core
