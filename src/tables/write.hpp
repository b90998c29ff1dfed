// Writing a table: the format a file name asks for, and the table's bytes
// in that format. Nothing here needs a library beyond the C++ one but zlib,
// for compressed tables, linked statically into the static xpcorr.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tables/table.hpp"

namespace tables {

enum class Format : std::uint8_t {
  hepdata,       // HEPData YAML: any name but those below
  yoda,          // YODA reference data: a name ending in .yoda (in any case)
  hepdata_gzip,  // HEPData YAML compressed with gzip: any other name ending in .gz
  yoda_gzip,     // YODA compressed with gzip: a name ending in .yoda.gz
};

// The format that `path` asks for by its extension (in any case).
Format format_for(std::string_view path) noexcept;

// Whether this build can write `format`: not a compressed one without zlib.
bool can_write(Format format) noexcept;

// The table's bytes in `format`: its text, or the text compressed as
// gzip does (one member, no name, no time), which xpcorr-plot and gzip -d
// read. Throws std::bad_alloc when memory runs out.
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
