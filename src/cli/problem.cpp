// The messages of the command line's failures and the exit status of each,
// in one switch.

#include "cli/problem.hpp"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include "files/whole_file.hpp"

namespace cli {
namespace {

// How a message reads: "xpcorr: ", lead, subject, trail, detail. An empty
// trail stands for ": " and the system's text of the error number.
struct Form {
  std::string_view lead;
  std::string_view trail;
  int status;
  bool hint;  // a usage error: a second line points to --help
};

Form form_of(Problem p) noexcept {
  switch (p) {
    case Problem::none: return {"", "", 0, false};
    case Problem::unknown_option: return {"unknown option '", "'", 2, true};
    case Problem::missing_argument: return {"option '", "' needs an argument", 2, true};
    case Problem::needless_argument: return {"option '", "' takes no argument", 2, true};
    case Problem::repeated_option: return {"option '", "' may be given only once", 2, true};
    case Problem::stray_argument: return {"unexpected argument '", "'", 2, true};
    case Problem::check_with_table: return {"option '", "' cannot be used with '--table'", 2, true};
    case Problem::table_is_dash:
      return {"option '", "' cannot be '-': standard output carries the report", 2, true};
    case Problem::cannot_compress:
      return {"", ": cannot be compressed: xpcorr was built without zlib", 2, false};
    case Problem::cannot_enter: return {"", {}, 2, false};
    case Problem::table_is_directory: return {"", ": is a directory", 2, false};
    case Problem::table_not_regular: return {"", ": is not a regular file", 2, false};
    case Problem::table_is_fit_file: return {"", ": is the fit file ", 2, false};
    case Problem::table_is_output: return {"", ": is the standard output", 2, false};
    case Problem::cannot_write_table: return {"cannot write ", {}, 1, false};
    case Problem::table_refused: return {"cannot write ", ": ", 1, false};
    case Problem::cannot_write_output: return {"cannot write standard output", {}, 1, false};
  }
  return {"unknown problem", "", 2, false};
}

// A message assembled in one buffer, so it reaches standard error whole.
// The subject is cut to the system's longest path, so the rest always fits.
// An empty part may have no bytes at all (a null pointer), which memcpy
// may not be given: std::copy_n copies nothing then.
class Line {
 public:
  Line& operator<<(std::string_view s) noexcept {
    const std::size_t n = std::min(s.size(), sizeof buf_ - used_);
    std::copy_n(s.data(), n, buf_ + used_);
    used_ += n;
    return *this;
  }
  std::string_view view() const noexcept { return {buf_, used_}; }

 private:
  char buf_[8192];
  std::size_t used_ = 0;
};

}  // namespace

int complain(const Failure& f) noexcept {
  const Form form = form_of(f.problem);
  if (f.problem == Problem::none) return form.status;
  const bool system_text = form.trail.empty();
  Line line;
  line << "xpcorr: " << form.lead << f.subject.substr(0, PATH_MAX)
       << (system_text ? ": " : form.trail)
       << (system_text ? std::string_view(std::strerror(f.error)) : f.detail) << "\n"
       << (form.hint ? "Try 'xpcorr --help' for more information.\n" : "");
  files::write_in_full(2, line.view());
  return form.status;
}

Failure print(std::string_view text) noexcept {
  if (int error = files::write_in_full(1, text).error; error != 0)
    return {Problem::cannot_write_output, {}, error};
  return {};
}

}  // namespace cli
