// Reading a table: the whole file within the size limit, then the reader of
// its format; and the one switch that words every reason for a refusal.

#include "tables/read.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tables/hepdata.hpp"

namespace tables {
namespace {

// The whole file, refused beyond the size limit (read up to one byte more,
// so that a pipe or a growing file is measured too).
bool read_file(const std::string& path, std::string& text, ReadFailure& why) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return why = {ReadError::unreadable, std::strerror(errno)}, false;
  char buf[65536];
  for (std::size_t n;
       text.size() <= max_table_bytes && (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
    text.append(buf, n);
  bool ok = !std::ferror(f);
  if (!ok) why = {ReadError::unreadable, std::strerror(errno)};
  std::fclose(f);
  if (ok && text.size() > max_table_bytes)
    return why = {ReadError::too_large, std::to_string(max_table_bytes >> 20) + " MB"}, false;
  return ok;
}

}  // namespace

std::string shown(std::string_view text, std::size_t limit) {
  bool cut = text.size() > limit;
  if (cut) {
    while (limit > 0 && (static_cast<unsigned char>(text[limit]) & 0xC0) == 0x80) --limit;
    text = text.substr(0, limit);
  }
  std::string s(text);
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  return cut ? s + "…" : s;
}

std::string message(const ReadFailure& f) {
  const std::string& d = f.detail;
  switch (f.cause) {
    case ReadError::unreadable: return "cannot read: " + d;
    case ReadError::too_large: return "too large for a data table (over " + d + ")";
    case ReadError::not_yaml: return "not YAML: " + d;
    case ReadError::no_document: return "empty: no YAML document";
    case ReadError::documents: return d + " YAML documents: a data table is one";
    case ReadError::too_deep: return "nested deeper than " + d + " levels";
    case ReadError::too_many_nodes:
      return "its aliases repeat nodes too often (over " + d + " per byte)";
    case ReadError::forbidden_key: return "key '" + d + "' is not allowed in a HEPData table";
    case ReadError::no_variables: return "no " + d + " variables: not a HEPData data table";
    case ReadError::not_list: return d + " is not a list";
    case ReadError::no_values: return d + " has no values";
    case ReadError::count_mismatch: return d;
    case ReadError::no_value: return d + " has no value";
    case ReadError::low_only: return d + " has 'low' but no 'high'";
    case ReadError::high_only: return d + " has 'high' but no 'low'";
    case ReadError::not_number: return d + " is not a number";
    case ReadError::no_error_kind: return d + " has neither 'symerror' nor 'asymerror'";
  }
  return d;
}

bool read_table(const std::string& path, Table& t, ReadFailure& why) noexcept {
  try {
    std::string text;
    return read_file(path, text, why) && parse_hepdata(text, t, why);
  } catch (const std::exception& e) {
    why = {ReadError::unreadable, e.what()};
  }
  return false;
}

}  // namespace tables
