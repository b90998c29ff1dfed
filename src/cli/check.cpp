// xpcorr --check: the findings drawn from the fit set, each fit file read
// once by the record I/O layer's own reader with a trace of its items: how
// its text is read here, its physics in physics.cpp; one switch of texts.

#include "cli/check.hpp"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "cli/findings.hpp"
#include "cli/problem.hpp"
#include "cli/results.hpp"
#include "core/fit_set.hpp"
#include "files/diagnostic.hpp"
#include "recio/list_input.hpp"

namespace cli {

// A text as findings quote it: in single quotes, a byte that is not
// printable ASCII as \r or \xHH, and "..." where the text was cut.
std::string quoted(std::string_view text, bool cut) {
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

// A ratio as messages show it: three significant digits.
std::string shown(double x) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3g", x);
  return buf;
}

namespace {

using core::fit_values;
using core::matched_value;
using core::yield_value;

// How a finding's text reads: lead, a, middle, b, trail.
struct Form {
  std::string_view lead, middle, trail;
};

Form form_of(Finding f) noexcept {
  switch (f) {
    case Finding::missing: return {"no such file in ", "", ""};
    case Finding::dangling_link:
      return {"is a symbolic link to ", ", which does not exist (a dangling link)", ""};
    case Finding::unreadable: return {"cannot be read: ", "", ""};
    case Finding::directory: return {"is a directory, not a fit file", "", ""};
    case Finding::utf16:
      return {
          "the file is UTF-16 text (a NUL byte beside each character); the values are "
          "read as plain text: save it as such",
          "", ""};
    case Finding::compressed:
      return {"the file is compressed with ", "",
              "; the values are read as plain text: "
              "uncompress it first"};
    case Finding::empty: return {"the file is empty; six values are read from it", "", ""};
    case Finding::byte_order_mark:
      return {
          "the file begins with a byte-order mark (bytes EF BB BF), which is not a number: "
          "save it without one",
          "", ""};
    case Finding::too_few_values: return {"the file ends after ", "", "; six are read from it"};
    case Finding::not_a_number: return {"", "", " is not a number"};
    case Finding::foreign_character: return {"", " is not a number: it holds ", ""};
    case Finding::overflowed_field:
      return {"", "", " is a field of asterisks: the fitter's number overflowed its format"};
    case Finding::exponent_without_digits: return {"", "", " has an exponent without digits"};
    case Finding::exponent_too_large: return {"", "", " has an exponent above 99999999"};
    case Finding::bad_repeat_count:
      return {"", "", " has a bad repeat count (a whole number from 1 before the '*')"};
    case Finding::carriage_return:
      return {"line ends in a carriage return (a file saved on Windows?)", "", ""};
    case Finding::carriage_return_alone:
      return {"lines end in a carriage return alone, not a line feed (a file saved on an old Mac?)",
              "", ""};
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
    case Finding::below_single_precision:
      return {"", "", " is below single precision and is read as 0"};
    case Finding::decimal_comma: return {"", " is read as two values, ", ": a decimal comma?"};
    case Finding::run_together:
      return {"", " is read as two values, ", ": two columns run together?"};
    case Finding::text_after_values: return {"", "", " after the sixth value is not read"};
    case Finding::values_after_carriage_return:
      return {
          "lines end in a carriage return alone, not a line feed (a file saved on an old "
          "Mac?): ",
          "", " after the sixth value is never read"};
    case Finding::later_line:
      return {"", "",
              " on a later line is never read: a refit appended? (only the first six "
              "values are read)"};
    case Finding::mass_far:
      return {"the fitted mass ", " is more than 0.02 GeV from the D0 mass 1.86484 GeV", ""};
    case Finding::width_out_of_range:
      return {"the width ",
              " is not in the range above 0 and below 0.05 GeV (a D0 peak is some "
              "MeV wide)",
              ""};
    case Finding::error_not_positive: return {"the yield error ", " is not above 0", ""};
    case Finding::error_not_below_yield:
      return {"the yield error ", " is not below the fitted yield ", " (yield and error swapped?)"};
    case Finding::fitted_over_matched:
      return {"fitted over matched is ", " (the fitted yield ",
              "), outside 0.8 to 1.25: the fit does not recover its matched count"};
    case Finding::above_generated:
      return {"the matched count ", " is above ", ": an efficiency above 1"};
    case Finding::efficiency_jump:
      return {"the efficiency matched/generated, ", ", is more than a factor ", ""};
    case Finding::data_over_matched:
      return {"the data yield over the matched count, ",
              ", is more than a factor 1.3 from its median over the bins, ",
              " (Monte Carlo or data files of two bins swapped?)"};
    case Finding::same_bytes:
      return {"has the same bytes as ", "", " (one file copied over another?)"};
    case Finding::never_read:
      return {"is never read: the fit files of bins 1 to 9 are numbered 0 to 8, so ", "",
              " is read for bin 1 (numbered from 1?)"};
  }
  return {"?", "", ""};
}

// A character a number cannot hold, named in words, where it is one that
// a text editor or a spreadsheet puts in place of a plain one; else null.
const char* foreign(std::string_view text) noexcept {
  static constexpr struct {
    std::string_view bytes;
    const char* words;
  } known[] = {
      {"\xc2\xa0", "a non-breaking space (bytes C2 A0), not a plain space"},
      {"\xe2\x80\xaf", "a narrow non-breaking space (bytes E2 80 AF), not a plain space"},
      {"\xe2\x80\x89", "a thin space (bytes E2 80 89), not a plain space"},
      {"\xe2\x88\x92", "a Unicode minus sign (bytes E2 88 92), not a plain '-'"},
      {"\xe2\x80\x93", "an en dash (bytes E2 80 93), not a plain '-'"},
      {"\xef\xbb\xbf", "a byte-order mark (bytes EF BB BF)"},
      {"\xa0", "a non-breaking space (byte A0, Latin-1), not a plain space"},
  };
  for (const auto& k : known)
    if (text.find(k.bytes) != std::string_view::npos) return k.words;
  return nullptr;
}

// The compressor whose signature the file's first bytes are, or null.
const char* compressor(const core::FitFile& f) noexcept {
  const auto& h = f.head;
  if (f.size >= 2 && h[0] == 0x1f && h[1] == 0x8b) return "gzip";
  if (f.size >= 3 && h[0] == 'B' && h[1] == 'Z' && h[2] == 'h') return "bzip2";
  if (f.size >= 4 && h[0] == 0xfd && h[1] == '7' && h[2] == 'z' && h[3] == 'X') return "xz";
  if (f.size >= 4 && h[0] == 0x28 && h[1] == 0xb5 && h[2] == 0x2f && h[3] == 0xfd) return "zstd";
  return nullptr;
}

// UTF-16 text begins with its byte-order mark, or, for plain characters,
// has a NUL byte beside each.
bool utf16(const core::FitFile& f) noexcept {
  const auto& h = f.head;
  return f.size >= 2 && ((h[0] == 0xff && h[1] == 0xfe) || (h[0] == 0xfe && h[1] == 0xff) ||
                         (h[0] == 0) != (h[1] == 0));
}

bool all_digits(std::string_view s) noexcept {
  return s.find_first_not_of("0123456789") == std::string_view::npos;
}

// A text that is not a number, told by what it holds.
Found not_a_number(const recio::TracedItem& at) {
  const std::string_view text = at.text.view();
  if (text == "\r") return {Finding::carriage_return, at.place};
  if (!text.empty() && text[0] == '\r') return {Finding::carriage_return_alone, at.place};
  if (const char* words = foreign(text)) {
    if (at.place == recio::Place{} && text.substr(0, 3) == "\xef\xbb\xbf")
      return {Finding::byte_order_mark, at.place};
    return {Finding::foreign_character, at.place, quoted(at.text), words};
  }
  return {Finding::not_a_number, at.place, quoted(at.text)};
}

// The error that ends the run's read of `f`, if there is one. A file of
// another kind than text is named by its kind first.
void add_error(const core::FitFile& f, const std::string& dir, std::vector<Found>& out) {
  const recio::TracedItem& at = f.trace.stop;
  if (f.open_error != 0) {
    if (f.open_error == ENOENT && f.link_size > 0)
      out.push_back({Finding::dangling_link, {}, quoted(f.link_target())});
    else if (f.open_error == ENOENT)
      out.push_back({Finding::missing, {}, dir});
    else
      out.push_back({Finding::unreadable, {}, std::strerror(f.open_error)});
    return;
  }
  if (f.fault == recio::Fault::none) return;
  if (f.fault != recio::Fault::read_failed) {
    if (const char* name = compressor(f)) return out.push_back({Finding::compressed, {}, name});
    if (utf16(f)) return out.push_back({Finding::utf16});
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
    case recio::Fault::invalid_number: out.push_back(not_a_number(at)); return;
    case recio::Fault::exponent_field:
      // The scan stops at a digit when the exponent grew too large, at
      // anything else when it has no digits.
      out.push_back({at.after >= '0' && at.after <= '9' ? Finding::exponent_too_large
                                                        : Finding::exponent_without_digits,
                     at.place, quoted(at.text)});
      return;
    case recio::Fault::bad_repetition_count:
      if (!at.text.cut && at.text.size > 0 &&
          at.text.view().find_first_not_of('*') == std::string_view::npos)
        out.push_back({Finding::overflowed_field, at.place, quoted(at.text)});
      else
        out.push_back({Finding::bad_repeat_count, at.place, quoted(at.text)});
      return;
    case recio::Fault::open_failed:
    case recio::Fault::write_failed: break;
  }
  out.push_back({Finding::unreadable, {}, "unknown fault"});
}

// Whether any value of the file is written with a point or an exponent:
// then a comma between digits is no decimal comma.
bool has_points(const core::FitFile& f) noexcept {
  for (const recio::TracedItem& item : f.items)
    if (item.text.view().find_first_of(".eEdD") != std::string_view::npos) return true;
  return false;
}

// A number written with a separator inside splits into two values: a
// whole number, then, right after its comma or one blank, a text
// beginning with digits. One to three digits, a comma, then exactly three
// is a thousands separator; so is a blank between them when no zero leads
// and a point follows the three (82 137.03); digits, a comma and digits in
// a file written without any point is a decimal comma. Adds the finding
// when `first` and the text at `next` are such a pair; `first` must not
// itself be what follows a comma (1234,567 8.5 is one split, not two).
void add_split(const recio::TracedItem& first, const recio::Place& next, std::string_view next_text,
               bool points, std::vector<Found>& out) {
  std::string_view whole = first.text.view();
  const bool comma = first.after == ',';
  if (!first.set || (!comma && first.after != ' ') || next.line != first.place.line ||
      next.column != first.place.column + whole.size() + 1)
    return;
  if (!whole.empty() && (whole[0] == '+' || whole[0] == '-')) whole.remove_prefix(1);
  const std::string_view part = next_text.substr(0, next_text.find_first_of(" \t,/\r"));
  if (whole.empty() || !all_digits(whole) || part.empty() || !all_digits(part.substr(0, 1))) return;
  const bool thousands = whole.size() <= 3 && part.size() >= 3 && all_digits(part.substr(0, 3)) &&
                         (part.size() == 3 || !all_digits(part.substr(3, 1))) &&
                         (comma || (whole[0] != '0' && part.size() > 3 && part[3] == '.'));
  const bool decimal = comma && !thousands && !points && all_digits(part);
  if (!thousands && !decimal) return;
  const std::string before(first.text.view());
  out.push_back({thousands ? Finding::thousands_separator : Finding::decimal_comma, first.place,
                 quoted(before + (comma ? "," : " ") + std::string(part)),
                 quoted(before) + " and " + quoted(part)});
}

// Two values with nothing between them: the second begins at the byte
// where the first one's text ends (1.864710.008089: '1.864710' and
// '.008089'), which the reader takes as two values.
void add_run_together(const recio::TracedItem& first, const recio::TracedItem& next,
                      std::vector<Found>& out) {
  if (!first.set || !next.set || first.text.cut || next.place.line != first.place.line ||
      next.place.column != first.place.column + first.text.size)
    return;
  const std::string a(first.text.view()), b(next.text.view());
  out.push_back({Finding::run_together, first.place, quoted(a + b, next.text.cut),
                 quoted(a) + " and " + quoted(next.text)});
}

// Whether item i begins right after the comma that ends item i - 1.
bool split_tail(const core::FitFile& f, int i) noexcept {
  if (i == 0) return false;
  const recio::TracedItem& prev = f.items[static_cast<unsigned>(i - 1)];
  const recio::TracedItem& item = f.items[static_cast<unsigned>(i)];
  return prev.set && prev.after == ',' && item.place.line == prev.place.line &&
         item.place.column == prev.place.column + prev.text.size + 1;
}

// The name of value i when the run uses it, else null.
const char* used_value(bool mc, int i) noexcept {
  if (i == yield_value) return "fitted yield";
  if (mc && i == matched_value) return "matched count";
  return nullptr;
}

// A value read as 0 from digits that are not all zeros: the mantissa
// (after any repeat count, before any exponent) holds a digit from 1 to 9.
bool underflowed(std::string_view text, float v) noexcept {
  if (v != 0) return false;
  if (std::size_t star = text.find('*'); star != std::string_view::npos)
    text.remove_prefix(star + 1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == 'e' || c == 'E' || c == 'd' || c == 'D' || (i > 0 && (c == '+' || c == '-'))) break;
    if (c >= '1' && c <= '9') return true;
  }
  return false;
}

// The warnings of a file read whole, in the order of its values. For a
// Monte Carlo file (`mc`) of bin `bin`, `data_yield` is the data file's
// fitted yield of the same bin, which its matched count divides too.
void add_warnings(const core::FitFile& f, bool mc, int bin, float data_yield,
                  std::vector<Found>& out) {
  const bool points = has_points(f);
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
    } else if (underflowed(item.text.view(), v)) {
      if (!repeated)
        out.push_back({Finding::below_single_precision, item.place, quoted(item.text)});
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
      if (next.place == item.place) continue;
      if (!split_tail(f, i)) add_split(item, next.place, next.text.view(), points, out);
      add_run_together(item, next, out);
    }
  }
  // What follows the sixth value on its line, unless a slash ended the
  // list (what follows one is a comment by custom) or it is only blanks
  // and a carriage return before the line end.
  const recio::TracedItem& rest = f.trace.stop;
  std::string_view text = rest.text.view();
  if (!rest.text.cut) text = text.substr(0, text.find_last_not_of(" \t\r") + 1);
  if (f.trace.found == fit_values && !text.empty() && text[0] != '/') {
    if (!split_tail(f, fit_values - 1))
      add_split(f.items[fit_values - 1], rest.place, text, points, out);
    out.push_back(
        {text[0] == '\r' ? Finding::values_after_carriage_return : Finding::text_after_values,
         rest.place, quoted(text, rest.text.cut)});
  }
  if (f.later_numbers) out.push_back({Finding::later_line, f.later, quoted(f.later_text)});
}

// A finding as one line, written by the writer both programs share: the
// file, the line and column when it has them, then "error" or "warning"
// and the text.
void append_line(std::string& out, std::string_view file, const Found& f) {
  const Form form = form_of(f.what);
  const files::Spot at =
      is_placed(f.what) ? files::Spot{f.place.line, f.place.column} : files::Spot{};
  files::Line line;
  files::finding_line(line, file, at, is_error(f.what),
                      {form.lead, f.a, form.middle, f.b, form.trail});
  out += line.view();
}

void append_count(std::string& out, int n, std::string_view what) {
  out.append(std::to_string(n)).append(" ").append(what).append(n == 1 ? "" : "s");
}

std::string current_directory() {
  char buf[PATH_MAX];
  return ::getcwd(buf, sizeof buf) != nullptr ? std::string(buf) : std::string(".");
}

// The findings of fit file k (the Monte Carlo files first, then the data
// files): its form, its values, and what it tells with the other files.
std::vector<Found> findings_of(const core::FitSet& fits, int k, const std::string& dir) {
  const bool mc = k < core::bin_count;
  const int b = k % core::bin_count;
  const core::FitFile& f = fits.file(k);
  const core::FitFile& data = fits.file(core::bin_count + b);
  std::vector<Found> found;
  add_error(f, dir, found);
  if (!f.read_whole()) return found;
  add_warnings(f, mc, b + 1, data.read_whole() ? data.values[yield_value] : 0.0f, found);
  add_physics(fits, k, found);
  return found;
}

}  // namespace

Findings examine(const core::FitSet& fits, const char* directory) {
  Findings r;
  const std::string dir = directory != nullptr ? directory : current_directory();
  const std::string prefix = directory == nullptr ? "" : dir + (dir.back() == '/' ? "" : "/");
  auto add = [&](std::string_view name, const Found& x) {
    std::string line;
    append_line(line, prefix + std::string(name), x);
    r.lines += line;
    if (is_error(x.what)) {
      ++r.errors;
    } else {
      ++r.warnings;
      r.warning_lines += line;
    }
  };
  for (int k = 0; k < core::FitSet::count; ++k)
    for (const Found& x : findings_of(fits, k, dir)) add(fits.file(k).name, x);
  for (const char* name : {"mcfit9.dat", "dafit9.dat"})
    if (fits.has(name))
      add(name, {Finding::never_read, {}, name[0] == 'm' ? "mcfit0.dat" : "dafit0.dat"});
  append_count(r.counts, r.errors, "error");
  r.counts += ", ";
  append_count(r.counts, r.warnings, "warning");
  r.summary.append(std::to_string(core::FitSet::count)).append(" fit files in ").append(dir);
  r.summary.append(": ").append(r.counts);
  return r;
}

// Every file is read before any finding is made, since a Monte Carlo
// file's matched count divides the data yield of its bin too.
int check(core::FitSet& fits, const char* directory) noexcept {
  try {
    fits.examine();
    const Findings r = examine(fits, directory);
    if (Failure f = print(r.lines + r.summary + "\n")) return complain(f);
    return r.errors + r.warnings == 0 ? 0 : 1;
  } catch (const std::bad_alloc&) {
    return complain({Problem::cannot_write_output, {}, ENOMEM});
  }
}

}  // namespace cli
