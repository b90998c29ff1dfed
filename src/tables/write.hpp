// Writing a table: the format a file name asks for, and the table's text
// in that format. Nothing here needs a library beyond the C++ one, so the
// static xpcorr links it as it is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tables/table.hpp"

namespace tables {

enum class Format : std::uint8_t {
  hepdata,  // HEPData YAML: any name but those below
  yoda,     // YODA reference data: a name ending in .yoda (in any case)
};

// The format that `path` asks for by its extension.
Format format_for(std::string_view path) noexcept;

// The table's text in `format`.
std::string table_text(const Table& t, Format format);

// The double nearest the shortest decimal of `value` (std::to_chars): a
// single-precision result held so that its text keeps the same digits.
double decimal(float value) noexcept;

// The shortest decimal that reads back as `value`, with a ".0" before the
// exponent of a mantissa that has no point, so that YAML 1.1 readers take
// it as a number too; ".inf", "-.inf" and ".nan" for the others. `buf`
// holds the text.
std::string_view number(double value, char (&buf)[32]) noexcept;

}  // namespace tables
