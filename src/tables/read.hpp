// Reading a table from a file: what the file's bytes may be, and every way
// they can fail to be a table, each with its text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tables/table.hpp"

namespace tables {

// The file sizes and nesting a reader takes: a table from the internet
// cannot make it grow without bound.
constexpr std::size_t max_table_bytes = 8 << 20;
constexpr int max_depth = 32;

enum class ReadError : std::uint8_t {
  unreadable,  // detail: the system's text
  too_large,   // detail: the limit
  not_yaml,    // detail: where and why
  no_document,
  documents,       // detail: how many
  too_deep,        // detail: the limit
  too_many_nodes,  // detail: the limit per byte
  forbidden_key,   // detail: the key
  no_variables,    // detail: "independent" or "dependent"
  not_list,        // detail: what is not a list
  no_values,       // detail: the variable
  count_mismatch,  // detail: the two variables and their counts
  no_value,        // detail: the point
  low_only,        // detail: the point
  high_only,       // detail: the point
  not_number,      // detail: the number's place
  no_error_kind,   // detail: the error's place
};

struct ReadFailure {
  ReadError cause = ReadError::unreadable;
  std::string detail;
};

// `text` fit for one line of a message: control characters as blanks,
// cut after `limit` bytes (at a character boundary) with an ellipsis.
std::string shown(std::string_view text, std::size_t limit = 60);

// Why the bytes are no table, in words, without the file's name.
std::string message(const ReadFailure& f);

// Reads the table in the file at `path`. False with `why` set when it
// cannot be read or is not a table.
bool read_table(const std::string& path, Table& t, ReadFailure& why) noexcept;

}  // namespace tables
