// xpcorr --check: each fit file read by the record I/O layer's own reader
// with a trace of its items, and the findings drawn from the trace and the
// values read: one enum of them and one switch of their texts.

#include "cli/check.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "cli/problem.hpp"
#include "cli/results.hpp"
#include "core/fit_files.hpp"
#include "recio/list_input.hpp"

namespace cli {
namespace {

using core::fit_values;
using core::matched_value;
using core::yield_value;

// What --check can find in a fit file. The errors end the run with its
// failure message; the warnings are values the run takes, but that rarely
// say what was meant.
enum class Finding : std::uint8_t {
  missing,                     // a: the directory looked in
  unreadable,                  // a: the system's reason
  directory,                   //
  empty,                       //
  too_few_values,              // a: how many values were found
  not_a_number,                // a: the text, quoted
  exponent_without_digits,     // a: the text, quoted
  exponent_too_large,          // a: the text, quoted
  bad_repeat_count,            // a: the text, quoted
  carriage_return,             //
  thousands_separator,         // a: the two texts as one, quoted; b: each, quoted
  unset_value,                 // a: the value's name; b: "a null" or "a slash"
  yield_not_positive,          // a: the text, quoted; b: the rate and its bin
  matched_count_not_positive,  // a: the text, quoted; b: the bin and what its rates are
  beyond_single_precision,     // a: the text, quoted
  text_after_values,           // a: the text, quoted
};

constexpr bool is_error(Finding f) noexcept { return f <= Finding::carriage_return; }

// The first three concern the file as a whole; the others have a line and
// a column.
constexpr bool is_placed(Finding f) noexcept { return f > Finding::directory; }

// How a finding's text reads: lead, a, middle, b, trail.
struct Form {
  std::string_view lead, middle, trail;
};

Form form_of(Finding f) noexcept {
  switch (f) {
    case Finding::missing: return {"no such file in ", "", ""};
    case Finding::unreadable: return {"cannot be read: ", "", ""};
    case Finding::directory: return {"is a directory, not a fit file", "", ""};
    case Finding::empty: return {"the file is empty; six values are read from it", "", ""};
    case Finding::too_few_values: return {"the file ends after ", "", "; six are read from it"};
    case Finding::not_a_number: return {"", "", " is not a number"};
    case Finding::exponent_without_digits: return {"", "", " has an exponent without digits"};
    case Finding::exponent_too_large: return {"", "", " has an exponent above 99999999"};
    case Finding::bad_repeat_count:
      return {"", "", " has a bad repeat count (a whole number from 1 before the '*')"};
    case Finding::carriage_return:
      return {"line ends in a carriage return (a file saved on Windows?)", "", ""};
    case Finding::thousands_separator:
      return {"", " is read as two values, ", ": a thousands separator?"};
    case Finding::unset_value: return {"the ", " is left unset by ", ": it counts as 0"};
    case Finding::yield_not_positive:
      return {"the fitted yield ", " is not above 0: ", " is 0 in every table"};
    case Finding::matched_count_not_positive:
      return {"the matched count ",
              " is not above 0 but divides a fitted yield above 0: the rates of ", ""};
    case Finding::beyond_single_precision:
      return {"", "", " is beyond single precision and is read as infinite"};
    case Finding::text_after_values: return {"", "", " after the sixth value is not read"};
  }
  return {"?", "", ""};
}

// One finding: where it lies, when it is placed, and the parts its text
// names.
struct Found {
  Finding what;
  recio::Place place{};
  std::string a{}, b{};
};

// A text as findings quote it: in single quotes, a byte that is not
// printable ASCII as \r or \xHH, and "..." where the text was cut.
std::string quoted(std::string_view text, bool cut = false) {
  std::string q = "'";
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\r') {
      q += "\\r";
    } else if (u < 0x20 || u >= 0x7f) {
      static constexpr char hex[] = "0123456789abcdef";
      q += "\\x";
      q += hex[u >> 4];
      q += hex[u & 15];
    } else {
      q += c;
    }
  }
  return q + (cut ? "...'" : "'");
}

std::string quoted(const recio::ItemText& t) { return quoted(t.view(), t.cut); }

// One fit file as the run's reader saw it. Not copied: the trace points
// into the items.
struct FitRead {
  int open_error = 0;
  recio::Fault fault = recio::Fault::none;
  int read_error = 0;
  std::array<float, fit_values> values{};
  std::array<recio::TracedItem, fit_values> items{};
  recio::Trace trace{};

  bool read_whole() const noexcept { return open_error == 0 && fault == recio::Fault::none; }
};

// Opens `name` as the run does, for reading alone, and reads it through a
// window of the run's size.
void read_fit(std::string_view name, FitRead& f, std::span<char> window) noexcept {
  f.trace.items = f.items;
  // The names are NUL-terminated literals.
  const int fd = ::open(name.data(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    f.open_error = errno;
    return;
  }
  recio::Source in(fd, window);
  f.fault = recio::read_list(in, f.values, &f.trace);
  f.read_error = in.error();
  ::close(fd);
}

// The error that ends the run's read of `f`, if there is one.
void add_error(const FitRead& f, const std::string& dir, std::vector<Found>& out) {
  const recio::TracedItem& at = f.trace.stop;
  if (f.open_error != 0) {
    if (f.open_error == ENOENT)
      out.push_back({Finding::missing, {}, dir});
    else
      out.push_back({Finding::unreadable, {}, std::strerror(f.open_error)});
    return;
  }
  switch (f.fault) {
    case recio::Fault::none: return;
    case recio::Fault::read_failed:
      if (f.read_error == EISDIR)
        out.push_back({Finding::directory});
      else
        out.push_back({Finding::unreadable, {}, std::strerror(f.read_error)});
      return;
    case recio::Fault::end_of_file:
      if (f.trace.found == 0 && at.place == recio::Place{})
        out.push_back({Finding::empty, at.place});
      else
        out.push_back(
            {Finding::too_few_values, at.place,
             std::to_string(f.trace.found) + (f.trace.found == 1 ? " value" : " values")});
      return;
    case recio::Fault::invalid_number:
      if (at.text.view() == "\r")
        out.push_back({Finding::carriage_return, at.place});
      else
        out.push_back({Finding::not_a_number, at.place, quoted(at.text)});
      return;
    case recio::Fault::exponent_field:
      // The scan stops at a digit when the exponent grew too large, at
      // anything else when it has no digits.
      out.push_back({at.after >= '0' && at.after <= '9' ? Finding::exponent_too_large
                                                        : Finding::exponent_without_digits,
                     at.place, quoted(at.text)});
      return;
    case recio::Fault::bad_repetition_count:
      out.push_back({Finding::bad_repeat_count, at.place, quoted(at.text)});
      return;
    case recio::Fault::open_failed:
    case recio::Fault::write_failed: break;
  }
  out.push_back({Finding::unreadable, {}, "unknown fault"});
}

bool all_digits(std::string_view s) noexcept {
  return s.find_first_not_of("0123456789") == std::string_view::npos;
}

// A number written with a thousands separator splits at its comma into
// two values: a value of one to three digits, the comma right after it,
// then a text beginning with exactly three digits. Adds the finding when
// `first` and the text at `next` are such a pair.
void add_thousands(const recio::TracedItem& first, const recio::Place& next,
                   std::string_view next_text, std::vector<Found>& out) {
  std::string_view whole = first.text.view();
  if (!first.set || first.after != ',' || next.line != first.place.line ||
      next.column != first.place.column + whole.size() + 1)
    return;
  if (!whole.empty() && (whole[0] == '+' || whole[0] == '-')) whole.remove_prefix(1);
  const std::string_view part = next_text.substr(0, next_text.find_first_of(" \t,/\r"));
  if (whole.empty() || whole.size() > 3 || !all_digits(whole) || part.size() < 3 ||
      !all_digits(part.substr(0, 3)) || (part.size() > 3 && all_digits(part.substr(3, 1))))
    return;
  const std::string before(first.text.view());
  out.push_back({Finding::thousands_separator, first.place,
                 quoted(before + "," + std::string(part)),
                 quoted(before) + " and " + quoted(part)});
}

// The name of value i when the run uses it, else null.
const char* used_value(bool mc, int i) noexcept {
  if (i == yield_value) return "fitted yield";
  if (mc && i == matched_value) return "matched count";
  return nullptr;
}

// The warnings of a file read whole, in the order of its values. For a
// Monte Carlo file (`mc`) of bin `bin`, `data_yield` is the data file's
// fitted yield of the same bin, which its matched count divides too.
void add_warnings(const FitRead& f, bool mc, int bin, float data_yield, std::vector<Found>& out) {
  for (int i = 0; i < fit_values; ++i) {
    const recio::TracedItem& item = f.items[static_cast<unsigned>(i)];
    const float v = f.values[static_cast<unsigned>(i)];
    const char* name = used_value(mc, i);
    const bool repeated = i > 0 && item.place == f.items[static_cast<unsigned>(i - 1)].place;
    if (!item.set) {
      if (name != nullptr)
        out.push_back({Finding::unset_value, item.place, name,
                       item.text.view() == "/" ? "a slash" : "a null"});
    } else if (std::isinf(v)) {
      if (!repeated)
        out.push_back({Finding::beyond_single_precision, item.place, quoted(item.text)});
    } else if (i == yield_value && !(v > 0)) {
      out.push_back({Finding::yield_not_positive, item.place, quoted(item.text),
                     (mc ? "the Monte Carlo rate of " : "the data rate of ") + bin_name(bin)});
    } else if (mc && i == matched_value && !(v > 0) &&
               (f.values[yield_value] > 0 || data_yield > 0)) {
      out.push_back({Finding::matched_count_not_positive, item.place, quoted(item.text),
                     bin_name(bin) + (v == 0 ? " are infinite" : " are negative")});
    }
    if (i + 1 < fit_values) {
      const recio::TracedItem& next = f.items[static_cast<unsigned>(i + 1)];
      if (next.place != item.place) add_thousands(item, next.place, next.text.view(), out);
    }
  }
  // What follows the sixth value on its line, unless a slash ended the
  // list (what follows one is a comment by custom) or it is only blanks
  // and a carriage return before the line end.
  const recio::TracedItem& rest = f.trace.stop;
  std::string_view text = rest.text.view();
  if (!rest.text.cut) text = text.substr(0, text.find_last_not_of(" \t\r") + 1);
  if (f.trace.found == fit_values && !text.empty() && text[0] != '/') {
    add_thousands(f.items[fit_values - 1], rest.place, text, out);
    out.push_back({Finding::text_after_values, rest.place, quoted(text, rest.text.cut)});
  }
}

// A finding as one line: the file, the line and column when it has them,
// then "error" or "warning" and the text.
void append_line(std::string& out, std::string_view file, const Found& f) {
  out += file;
  if (is_placed(f.what)) {
    out += ':';
    out += std::to_string(f.place.line);
    out += ':';
    out += std::to_string(f.place.column);
  }
  const Form form = form_of(f.what);
  out += is_error(f.what) ? ": error: " : ": warning: ";
  out.append(form.lead).append(f.a).append(form.middle).append(f.b).append(form.trail) += '\n';
}

void append_count(std::string& out, int n, std::string_view what) {
  out.append(std::to_string(n)).append(" ").append(what).append(n == 1 ? "" : "s");
}

std::string current_directory() {
  char buf[PATH_MAX];
  return ::getcwd(buf, sizeof buf) != nullptr ? std::string(buf) : std::string(".");
}

// The findings of fit file k (the Monte Carlo files first, then the data
// files), each as a line of `out`, counted.
void append_findings(std::string& out, const std::array<FitRead, 2 * core::bin_count>& reads, int k,
                     const std::string& dir, const std::string& prefix, int& errors,
                     int& warnings) {
  const bool mc = k < core::bin_count;
  const int b = k % core::bin_count;
  const FitRead& f = reads[static_cast<unsigned>(k)];
  const FitRead& data = reads[static_cast<unsigned>(core::bin_count + b)];
  std::vector<Found> found;
  add_error(f, dir, found);
  if (f.read_whole())
    add_warnings(f, mc, b + 1, data.read_whole() ? data.values[yield_value] : 0.0f, found);
  const std::string file = prefix + std::string(mc ? core::mc_files[static_cast<unsigned>(b)]
                                                   : core::data_files[static_cast<unsigned>(b)]);
  for (const Found& x : found) {
    append_line(out, file, x);
    ++(is_error(x.what) ? errors : warnings);
  }
}

// Every file is read before any finding is made, since a Monte Carlo
// file's matched count divides the data yield of its bin too.
int examine(const char* directory) {
  const std::string dir = directory != nullptr ? directory : current_directory();
  const std::string prefix = directory == nullptr ? "" : dir + (dir.back() == '/' ? "" : "/");
  std::array<FitRead, 2 * core::bin_count> reads;
  std::array<char, recio::window_size> window;
  for (int b = 0; b < core::bin_count; ++b) {
    read_fit(core::mc_files[static_cast<unsigned>(b)], reads[static_cast<unsigned>(b)], window);
    read_fit(core::data_files[static_cast<unsigned>(b)],
             reads[static_cast<unsigned>(core::bin_count + b)], window);
  }
  std::string out;
  int errors = 0, warnings = 0;
  for (int k = 0; k < 2 * core::bin_count; ++k)
    append_findings(out, reads, k, dir, prefix, errors, warnings);
  out.append(std::to_string(2 * core::bin_count)).append(" fit files in ").append(dir) += ": ";
  append_count(out, errors, "error");
  out += ", ";
  append_count(out, warnings, "warning");
  out += '\n';
  if (Failure f = print(out)) return complain(f);
  return errors + warnings == 0 ? 0 : 1;
}

}  // namespace

int check(const char* directory) noexcept {
  try {
    return examine(directory);
  } catch (const std::bad_alloc&) {
    return complain({Problem::cannot_write_output, {}, ENOMEM});
  }
}

}  // namespace cli
