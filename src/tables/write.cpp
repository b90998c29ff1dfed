// The writers of tables, one branch per format, and the numbers they share.

#include "tables/write.hpp"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>

#include "tables/hepdata.hpp"
#include "tables/yoda.hpp"

namespace tables {

Format format_for(std::string_view path) noexcept {
  constexpr std::string_view yoda = ".yoda";
  if (path.size() < yoda.size()) return Format::hepdata;
  std::string_view ext = path.substr(path.size() - yoda.size());
  for (std::size_t i = 0; i < ext.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(ext[i])) != yoda[i]) return Format::hepdata;
  return Format::yoda;
}

std::string table_text(const Table& t, Format format) {
  switch (format) {
    case Format::hepdata: return hepdata_text(t);
    case Format::yoda: return yoda_text(t);
  }
  return {};
}

// The float's shortest text has at most nine significant digits, so the
// double read from it prints as the same text: no shorter decimal lies
// within half a double's unit of it.
double decimal(float value) noexcept {
  if (!std::isfinite(value)) return value;
  char buf[32];
  char* end = std::to_chars(buf, buf + sizeof buf, value).ptr;
  double d = 0;
  std::from_chars(buf, end, d);
  return d;
}

std::string_view number(double value, char (&buf)[32]) noexcept {
  if (std::isnan(value)) return ".nan";
  if (std::isinf(value)) return value < 0 ? "-.inf" : ".inf";
  char* end = std::to_chars(buf, buf + sizeof buf - 2, value).ptr;
  std::string_view text(buf, static_cast<std::size_t>(end - buf));
  const std::size_t e = text.find('e');
  if (e != std::string_view::npos && text.find('.') == std::string_view::npos) {
    std::memmove(buf + e + 2, buf + e, text.size() - e);
    std::memcpy(buf + e, ".0", 2);
    text = {buf, text.size() + 2};
  }
  return text;
}

}  // namespace tables
