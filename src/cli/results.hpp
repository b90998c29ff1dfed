// The run's results as a table: the final rates and fragmentation function
// of the reported bins against their xp edges, each value with its
// statistical and systematic errors, in the format-neutral table model.
#pragma once

#include "core/rates.hpp"
#include "tables/table.hpp"

namespace cli {

// Each float goes into the table as the double of its shortest decimal, so
// every format writes the same digits as the report's floats hold.
tables::Table results_table(const core::FinalValues& v);

}  // namespace cli
