// The failure message: the cause line, the unit, the last format and what
// the layer was lately doing, then every unit closed and the abort signal.

#include "recio/fault.hpp"

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>

#include "files/whole_file.hpp"
#include "recio/units.hpp"

namespace recio {
namespace {

// The message is assembled in one buffer and written whole, so the four
// lines reach standard error together and before any record that closing
// the units lets out.
class Text {
 public:
  Text& operator<<(std::string_view s) noexcept {
    std::size_t n = std::min(s.size(), buf_.size() - used_);
    std::memcpy(buf_.data() + used_, s.data(), n);
    used_ += n;
    return *this;
  }
  Text& operator<<(int v) noexcept {
    char digits[16];
    auto end = std::to_chars(digits, digits + sizeof digits, v).ptr;
    return *this << std::string_view(digits, static_cast<std::size_t>(end - digits));
  }
  std::string_view view() const noexcept { return {buf_.data(), used_}; }

 private:
  std::size_t used_ = 0;
  std::array<char, 1024> buf_{};
};

// The two parts of a cause line: where the fault arose and what it was.
struct Cause {
  std::string_view where;
  std::string_view what;  // empty: the system's text for the error number
};

Cause cause_of(Fault cause) noexcept {
  constexpr std::string_view list_input = "incomprehensible list input";
  switch (cause) {
    case Fault::none: return {"no error", "none"};
    case Fault::open_failed: return {"open", {}};
    case Fault::end_of_file: return {"list in", "end of file"};
    case Fault::invalid_number: return {"invalid number", list_input};
    case Fault::exponent_field: return {"exponent field", list_input};
    case Fault::bad_repetition_count: return {"bad repetition count", list_input};
    case Fault::read_failed: return {"list in", {}};
    case Fault::write_failed: return {"write", {}};
  }
  return {"unknown fault", "?"};
}

}  // namespace

std::string_view cause_line(Fault cause, int error, char (&buf)[160]) noexcept {
  Cause c = cause_of(cause);
  std::string_view what = c.what.empty() ? std::string_view(std::strerror(error)) : c.what;
  std::size_t n = std::min(c.where.size(), sizeof buf);
  std::memcpy(buf, c.where.data(), n);
  for (std::string_view part : {std::string_view(": "), what}) {
    std::size_t k = std::min(part.size(), sizeof buf - n);
    std::memcpy(buf + n, part.data(), k);
    n += k;
  }
  return {buf, n};
}

// The closing of the units comes after the message is written, so when both
// streams go to one file the message stands before the records. A standard
// error that refuses the message does not stop the abort. No core file is
// left behind: the run writes no file in the directory it reads.
void fail(Fault cause, int error) noexcept {
  char line[160];
  const IoState& s = io_state();
  Text message;
  message << cause_line(cause, error, line) << "\n";
  if (std::string_view name = file_name(s.unit); !name.empty())
    message << "apparent state: unit " << s.unit << " named " << name << "\n";
  else
    message << "apparent state: unit " << s.unit << " (unnamed)\n";
  if (!s.format.empty()) message << "last format: " << s.format << "\n";
  message << "lately " << (s.reading ? "reading" : "writing") << " "
          << (s.sequential ? "sequential" : "direct") << " formatted external IO\n";

  files::write_in_full(2, message.view());
  close_all();
  const rlimit no_core{0, 0};
  setrlimit(RLIMIT_CORE, &no_core);
  signal(SIGABRT, SIG_DFL);
  std::abort();
}

}  // namespace recio
