// The results table: the final rates and fragmentation function of bins 4
// to 9 as one HEPData data table in YAML. Only this library sees yaml-cpp.
#pragma once

#include <string>
#include <string_view>

#include "report.hpp"

namespace table {

// The shortest decimal that reads back as `value` (std::to_chars), with a
// ".0" before the exponent of a mantissa that has no point, so that YAML
// 1.1 readers take it as a number too; ".inf", "-.inf" and ".nan" for the
// others. `buf` holds the text.
std::string_view number(float value, char (&buf)[32]) noexcept;

// The table of `v` in `text`. False, with `text` empty, when memory ran out.
bool format(const corr::FinalValues& v, std::string& text) noexcept;

}  // namespace table
