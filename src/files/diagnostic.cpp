// The line writer of both programs' failures and findings: a fixed buffer,
// so that a message costs no allocation (it may be telling of a lack of
// memory), filled from a room's wording.

#include "files/diagnostic.hpp"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstring>

namespace files {

// An empty part may have no bytes at all (a null pointer), which memcpy
// may not be given: std::copy_n copies nothing then.
Line& Line::operator<<(std::string_view s) noexcept {
  const std::size_t n = std::min(s.size(), sizeof buf_ - used_);
  std::copy_n(s.data(), n, buf_ + used_);
  used_ += n;
  return *this;
}

Line& Line::operator<<(std::uint64_t n) noexcept {
  char digits[24];
  const char* end = std::to_chars(digits, digits + sizeof digits, n).ptr;
  return *this << std::string_view(digits, static_cast<std::size_t>(end - digits));
}

Line& Line::operator<<(int n) noexcept {
  char digits[16];
  const char* end = std::to_chars(digits, digits + sizeof digits, n).ptr;
  return *this << std::string_view(digits, static_cast<std::size_t>(end - digits));
}

// The subject is cut to the system's longest path, so the rest of the
// line always fits.
Line& Line::fill(std::string_view text, std::string_view subject, int error,
                 std::string_view detail) noexcept {
  constexpr std::string_view subject_mark = "{subject}", detail_mark = "{detail}";
  if (detail.empty() && error != 0) detail = std::strerror(error);
  while (!text.empty()) {
    const std::size_t at = text.find('{');
    *this << text.substr(0, at);
    if (at == std::string_view::npos) break;
    text.remove_prefix(at);
    if (text.starts_with(subject_mark)) {
      *this << subject.substr(0, PATH_MAX);
      text.remove_prefix(subject_mark.size());
    } else if (text.starts_with(detail_mark)) {
      *this << detail;
      text.remove_prefix(detail_mark.size());
    } else {
      *this << text.substr(0, 1);
      text.remove_prefix(1);
    }
  }
  return *this;
}

void failure_line(Line& line, std::string_view program, const Wording& w, std::string_view subject,
                  int error, std::string_view detail) noexcept {
  line << program << ": ";
  if (!subject.empty() && w.text.find("{subject}") == std::string_view::npos)
    line << subject.substr(0, PATH_MAX) << ": ";
  line.fill(w.text, subject, error, detail) << "\n";
  if (w.usage) line << "Try '" << program << " --help' for more information.\n";
}

void finding_line(Line& line, std::string_view file, Spot at, bool error,
                  std::initializer_list<std::string_view> text) noexcept {
  line << file;
  if (at.line != 0) line << ":" << at.line << ":" << at.column;
  line << (error ? ": error: " : ": warning: ");
  for (std::string_view part : text) line << part;
  line << "\n";
}

}  // namespace files
