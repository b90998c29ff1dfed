// Reading a table from a file: what the file's bytes may be, and every way
// they can fail to be a table, each with its text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <new>
#include <string>
#include <string_view>

#include "files/diagnostic.hpp"
#include "tables/table.hpp"

namespace tables {

// The file sizes and nesting a reader takes: a table from the internet
// cannot make it grow without bound.
constexpr std::size_t max_table_bytes = 8 << 20;
constexpr int max_depth = 32;

enum class ReadError : std::uint8_t {
  none,
  unreadable,  // error: the system's; or detail: what failed
  too_large,   // detail: the limit
  not_yaml,    // detail: where and why
  no_document,
  documents,       // detail: how many
  too_deep,        // detail: the limit
  too_many_nodes,  // detail: the limit per byte
  forbidden_key,   // detail: the key
  no_variables,    // detail: "independent" or "dependent"
  no_x,            //
  not_list,        // detail: what is not a list
  no_values,       // detail: the variable
  count_mismatch,  // detail: the two variables and their counts
  no_value,        // detail: the point
  low_only,        // detail: the point
  high_only,       // detail: the point
  not_number,      // detail: the number's place
  no_error_kind,   // detail: the error's place
  // YODA files, and gzip-compressed files of either format.
  path_in_table,     // detail: the object's path asked for
  gzip_unsupported,  //
  gzip_damaged,      // detail: zlib's text
  line_too_long,     // detail: the line
  outside_object,    // detail: the line and its text
  bad_line,          // detail: the line or object and what is wrong there
  unended,           // detail: the object's path
  no_objects,        //
  several_objects,   // detail: how many, and the first paths
  no_such_object,    // detail: the path asked for, and the first paths
  unknown_type,      // detail: the object and its type
  no_header_end,     // detail: the object's path
  bad_breakdown,     // detail: what in it is wrong
};

// Why a table cannot be read, in the failure shape both programs share.
// The readers leave the subject empty: the caller knows the file's name.
using ReadFailure = files::Failure<ReadError>;

// The text of each cause, in one switch.
files::Wording wording(ReadError e) noexcept;

// What `read()` returns, or, when it throws (out of memory, or a library's
// own error), false with the reason: the readers throw nothing.
template <class Read>
bool caught(Read&& read, ReadFailure& why) noexcept {
  try {
    return read();
  } catch (const std::bad_alloc&) {
    why = {ReadError::unreadable, {}, "out of memory"};
  } catch (const std::exception& e) {
    why = {ReadError::unreadable, {}, e.what()};
  }
  return false;
}

// `text` fit for one line of a message: control characters as blanks,
// cut after `limit` bytes (at a character boundary) with an ellipsis.
std::string shown(std::string_view text, std::size_t limit = 60);

// Why the bytes are no table, in words, without the file's name.
std::string message(const ReadFailure& f);

// A table as the command line names it: a file and, for a YODA file, the
// path of one of its objects after a colon ("mc.yoda:/ANALYSIS/d01-x01-y01").
struct Source {
  std::string file, object;
};

// The file and object that `name` names: all of it is the file when such
// a file exists, else the object's path starts at its first ":/".
Source source_of(const std::string& name);

// Reads the table that `name` names (source_of): a HEPData data table, or
// an object of a YODA file (a name ending in .yoda or .yoda.gz, or a text
// that starts with a BEGIN line), either of them gzip-compressed or not.
// False with `why` set when it cannot be read or is not a table.
bool read_table(const std::string& name, Table& t, ReadFailure& why) noexcept;

// Reads a table from `bytes` as read_table does from a file called `file`
// (only its name is looked at) with `object` asked for.
bool read_bytes(std::string_view bytes, std::string_view file, std::string_view object, Table& t,
                ReadFailure& why) noexcept;

}  // namespace tables
