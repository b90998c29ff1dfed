// The messages of the command line's failures and the exit status of each,
// in one switch; the line itself is written by the writer both programs
// share.

#include "cli/problem.hpp"

namespace cli {

files::Wording wording(Problem p) noexcept {
  switch (p) {
    case Problem::none: return {"", 0, false};
    case Problem::unknown_option: return {"unknown option '{subject}'", 2, true};
    case Problem::missing_argument: return {"option '{subject}' needs an argument", 2, true};
    case Problem::needless_argument: return {"option '{subject}' takes no argument", 2, true};
    case Problem::repeated_option: return {"option '{subject}' may be given only once", 2, true};
    case Problem::stray_argument: return {"unexpected argument '{subject}'", 2, true};
    case Problem::check_with_table:
      return {"option '{subject}' cannot be used with '--table'", 2, true};
    case Problem::table_is_dash:
      return {"option '{subject}' cannot be '-': standard output carries the report", 2, true};
    case Problem::cannot_compress:
      return {"cannot be compressed: xpcorr was built without zlib", 2, false};
    case Problem::cannot_enter: return {"{detail}", 2, false};
    case Problem::table_is_directory: return {"is a directory", 2, false};
    case Problem::table_not_regular: return {"is not a regular file", 2, false};
    case Problem::table_is_fit_file: return {"is the fit file {detail}", 2, false};
    case Problem::table_is_output: return {"is the standard output", 2, false};
    case Problem::cannot_write_table: return {"cannot write {subject}: {detail}", 1, false};
    case Problem::table_refused: return {"cannot write {subject}: {detail}", 1, false};
    case Problem::cannot_write_output: return {"cannot write standard output: {detail}", 1, false};
  }
  return {"unknown problem", 2, false};
}

int complain(const Failure& f) noexcept { return files::complain("xpcorr", f); }

Failure print(std::string_view text) noexcept {
  if (int error = files::write_in_full(1, text); error != 0)
    return {Problem::cannot_write_output, {}, error};
  return {};
}

}  // namespace cli
