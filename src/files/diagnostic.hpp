// What a failure is in both programs, and the one writer of their lines:
// "PROGRAM: SUBJECT: TEXT" for a failure, "FILE:LINE:COL: error: TEXT" for
// a finding, each line assembled in one buffer and written whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "files/whole_file.hpp"

namespace files {

// A failure of a room whose causes are the enum `Cause` (its first value,
// `none`, is no failure): what it concerns (a file, an option, a table),
// the system's error number where a call failed, and what else its text
// names.
template <class Cause>
struct Failure {
  Cause cause{};
  std::string subject;
  int error = 0;
  std::string detail;

  Failure(Cause c = {}, std::string_view s = {}, int e = 0, std::string_view d = {})
      : cause(c), subject(s), error(e), detail(d) {}
  Failure(Cause c, std::string_view s, std::string_view d) : Failure(c, s, 0, d) {}

  explicit operator bool() const noexcept { return cause != Cause{}; }
};

// How a room words one of its causes: the text, in which "{subject}" and
// "{detail}" stand for the failure's parts (the detail, when it has none,
// for the system's text of its error number), the exit status, and
// whether it is a usage error, which a line pointing to --help follows.
// A text that does not place the subject itself follows it.
struct Wording {
  std::string_view text;
  int status = 1;
  bool usage = false;
};

// Where a finding lies in its file; line 0 for the file as a whole.
struct Spot {
  std::uint64_t line = 0, column = 0;
};

// A message assembled in one buffer, so that it reaches its descriptor
// whole. What does not fit is cut.
class Line {
 public:
  Line& operator<<(std::string_view s) noexcept;
  Line& operator<<(std::uint64_t n) noexcept;
  Line& operator<<(int n) noexcept;
  std::string_view view() const noexcept { return {buf_, used_}; }

  // `text` with "{subject}" and "{detail}" filled in.
  Line& fill(std::string_view text, std::string_view subject, int error,
             std::string_view detail) noexcept;

 private:
  char buf_[8192];
  std::size_t used_ = 0;
};

// "PROGRAM: SUBJECT: TEXT\n" (the subject where the text places it, or
// nowhere when there is none), then for a usage error
// "Try 'PROGRAM --help' for more information.\n".
void failure_line(Line& line, std::string_view program, const Wording& w, std::string_view subject,
                  int error, std::string_view detail) noexcept;

// "FILE:LINE:COL: error: TEXT\n", or "warning"; no LINE:COL where the
// spot is the whole file. The text is its parts one after the other.
void finding_line(Line& line, std::string_view file, Spot at, bool error,
                  std::initializer_list<std::string_view> text) noexcept;

// Writes the line of `f` on standard error, worded by its room's own
// `wording(Cause)`, and gives its exit status: 0, and nothing written,
// for no failure.
template <class Cause>
int complain(std::string_view program, const Failure<Cause>& f) noexcept {
  if (!f) return 0;
  const Wording w = wording(f.cause);
  Line line;
  failure_line(line, program, w, f.subject, f.error, f.detail);
  write_in_full(2, line.view());
  return w.status;
}

}  // namespace files
