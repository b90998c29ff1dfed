// The messages of the command line's failures and the exit status of each,
// in one switch.

#include "problem.hpp"

#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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
    case Problem::stray_argument: return {"unexpected argument '", "'", 2, true};
    case Problem::cannot_enter: return {"", {}, 2, false};
    case Problem::table_is_directory: return {"", ": is a directory", 2, false};
    case Problem::table_not_regular: return {"", ": is not a regular file", 2, false};
    case Problem::table_is_fit_file: return {"", ": is the fit file ", 2, false};
    case Problem::table_is_output: return {"", ": is the standard output", 2, false};
    case Problem::cannot_write_table: return {"cannot write ", {}, 1, false};
    case Problem::cannot_write_output: return {"cannot write standard output", {}, 1, false};
  }
  return {"unknown problem", "", 2, false};
}

iovec part(std::string_view s) noexcept { return {const_cast<char*>(s.data()), s.size()}; }

}  // namespace

// One writev, so the message reaches standard error whole.
int report(const Failure& f) noexcept {
  const Form form = form_of(f.problem);
  if (f.problem == Problem::none) return form.status;
  const bool system_text = form.trail.empty();
  const iovec parts[] = {
      part("xpcorr: "), part(form.lead), part(f.subject),
      part(system_text ? ": " : form.trail), part(system_text ? std::strerror(f.error) : f.detail),
      part("\n"),       part(form.hint ? "Try 'xpcorr --help' for more information.\n" : ""),
  };
  ssize_t ignored = ::writev(2, parts, sizeof parts / sizeof parts[0]);
  (void)ignored;
  return form.status;
}

Failure print(std::string_view text) noexcept {
  while (!text.empty()) {
    ssize_t n = ::write(1, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return {Problem::cannot_write_output, {}, n < 0 ? errno : EIO};
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return {};
}

}  // namespace cli
