// The run's results as a table: the final rates and fragmentation function
// of the reported bins against their xp edges, each value with its
// statistical and systematic errors, in the format-neutral table model.
#pragma once

#include <string>

#include "core/rates.hpp"
#include "tables/table.hpp"

namespace cli {

// Each float goes into the table as the double of its shortest decimal, so
// every format writes the same digits as the report's floats hold.
tables::Table results_table(const core::FinalValues& v);

// Bin b (1 to 9) with its xp edges, as messages name it:
// "bin 4 (xp 0.05 to 0.1)".
std::string bin_name(int b);

// Why the final values cannot make a table: the first of them (rates,
// then the fragmentation function, each value before its errors) that is
// not a finite number, named with its bin and the likely cause among the
// fit values of `m`. Empty when every value is finite.
std::string not_finite(const core::Measurement& m, const core::FinalValues& v);

// Why the final values are no measurement: the first of them (in the same
// order) that is not above 0, or whose error is below 0, named with its
// bin and value. Empty when there is none.
std::string not_measured(const core::FinalValues& v);

}  // namespace cli
