// The failure message: the cause line, the unit, the last format and what
// the layer was lately doing, then every unit closed and the abort signal.

#include "recio/fault.hpp"

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>

#include "files/diagnostic.hpp"
#include "recio/units.hpp"

namespace recio {
namespace {

// The cause line of each fault: where it arose, then what it was, the
// system's text of the error number for "{detail}".
std::string_view cause_text(Fault cause) noexcept {
  switch (cause) {
    case Fault::none: return "no error: none";
    case Fault::open_failed: return "open: {detail}";
    case Fault::end_of_file: return "list in: end of file";
    case Fault::invalid_number: return "invalid number: incomprehensible list input";
    case Fault::exponent_field: return "exponent field: incomprehensible list input";
    case Fault::bad_repetition_count: return "bad repetition count: incomprehensible list input";
    case Fault::read_failed: return "list in: {detail}";
    case Fault::write_failed: return "write: {detail}";
  }
  return "unknown fault: ?";
}

}  // namespace

// The closing of the units comes after the message is written, so when both
// streams go to one file the message stands before the records. A standard
// error that refuses the message does not stop the abort. No core file is
// left behind: the run writes no file in the directory it reads.
void fail(Fault cause, int error) noexcept {
  const IoState& s = io_state();
  files::Line message;  // written whole, before any record the closing lets out
  message.fill(cause_text(cause), {}, error, {}) << "\n";
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
