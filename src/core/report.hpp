// The report on unit 6: the header and bias table, the progress labels,
// the tables before and after the bias correction, and the final rates
// and fragmentation function with their errors. Printing changes nothing.
#pragma once

#include <string_view>

#include "core/bins.hpp"
#include "core/rates.hpp"
#include "recio/formatted_output.hpp"

namespace core {

// The report's three FORMATs: the rows across the bins and the totals, the
// final rates, the final fragmentation function.
inline constexpr recio::Format f9{"(9(1X,F8.5))", 9, 8, 5};
inline constexpr recio::Format f10{"(3(1X,F6.4))", 3, 6, 4};
inline constexpr recio::Format f11{"(3(1X,F5.3))", 3, 5, 3};

void print_header() noexcept;                      // title, BR and the bias table
void print_label(std::string_view text) noexcept;  // one character item
void print_blank() noexcept;

// The ratio, rate, total and cross-section blocks of the uncorrected rates,
// ending with the label that announces the correction.
void print_uncorrected(const Measurement& m, const Sums& s) noexcept;

// The same blocks from the corrected rates, then the fitted/matched ratios.
void print_corrected(const Measurement& m, const Sums& s) noexcept;

// The closing labels and one record per bin of the final rates, then of
// the fragmentation function.
void print_final(const FinalValues& v) noexcept;

}  // namespace core
