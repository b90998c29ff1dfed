// HEPData data tables in YAML (or JSON, which is YAML too): the one format
// HEPData records publish their tables in.
#pragma once

#include <string>
#include <string_view>

#include "tables/read.hpp"
#include "tables/table.hpp"

namespace tables {

// The table as a HEPData data file: its comments as "# " lines, then the
// two lists of variables, in the block style HEPData's own files use.
std::string hepdata_text(const Table& t);

// `s` as a YAML scalar that reads back as the same string, in a flow map
// too: plain when it can be, else double-quoted.
std::string yaml_scalar(std::string_view s);

// Reads a HEPData data file: one YAML document whose keys are all where
// HEPData allows them, every variable holding as many values as the first.
// A text that is not such a table gives false and `why`.
bool parse_hepdata(std::string_view text, Table& t, ReadFailure& why) noexcept;

}  // namespace tables
