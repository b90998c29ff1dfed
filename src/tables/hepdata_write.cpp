// Writing a HEPData data file. Its shape is fixed (two lists of variables,
// each with a header, qualifiers and values), so the YAML is written
// directly, in the block style with flow maps for the small entries that
// HEPData's own files use; only strings need a rule for their quoting.

#include <cctype>
#include <string>

#include "tables/hepdata.hpp"
#include "tables/write.hpp"

namespace tables {
namespace {

// YAML 1.1 reads these plain words as booleans or null; a name that is one
// of them must be quoted to stay a string.
bool special_word(std::string_view s) {
  static constexpr std::string_view words[] = {"y",   "n",    "yes",   "no",  "on",
                                               "off", "true", "false", "null"};
  std::string lower;
  for (char c : s) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (std::string_view w : words)
    if (lower == w) return true;
  return s == "~";
}

// A string that a YAML reader takes back as the same string when written
// plain inside a flow map: printable ASCII with no indicator, separator or
// comment sign where YAML would see one, no blank at either end, and
// nothing a reader would take as a number, boolean or null.
bool plain(std::string_view s) {
  if (s.empty() || s.front() == ' ' || s.back() == ' ' || special_word(s)) return false;
  if (std::string_view("-?:,[]{}#&*!|>'\"%@`.+0123456789").find(s.front()) !=
      std::string_view::npos)
    return false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x20 || c >= 0x7f || std::string_view(",[]{}").find(s[i]) != std::string_view::npos)
      return false;
    if (s[i] == ':' && (i + 1 == s.size() || s[i + 1] == ' ')) return false;
    if (s[i] == '#' && s[i - 1] == ' ') return false;
  }
  return true;
}

}  // namespace

// Plain when it can be; else in double quotes, with the escapes YAML has
// for the quote, the backslash and control characters.
std::string yaml_scalar(std::string_view s) {
  if (plain(s)) return std::string(s);
  std::string out = "\"";
  for (char c : s) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20 || u == 0x7f) {
      static constexpr char hex[] = "0123456789abcdef";
      out += "\\x";
      out += hex[u >> 4];
      out += hex[u & 15];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

namespace {

std::string num(double v) {
  char buf[32];
  return std::string(number(v, buf));
}

// Bin edges and points of an independent variable keep a decimal point
// ("1.0"), as HEPData's own files write them.
std::string edge(double v) {
  std::string text = num(v);
  if (text.find_first_of(".n") == std::string::npos) text += ".0";
  return text;
}

std::string header(const Header& h) {
  std::string out = "header: {name: " + yaml_scalar(h.name);
  if (!h.units.empty()) out += ", units: " + yaml_scalar(h.units);
  return out + "}\n";
}

std::string coordinate(const Coordinate& c) {
  if (!c.bin) return "{value: " + edge(c.value) + "}";
  std::string out = "{low: " + edge(c.low) + ", high: " + edge(c.high);
  if (c.has_value) out += ", value: " + edge(c.value);
  return out + "}";
}

std::string qualifier(const Qualifier& q) {
  std::string out = "{name: " + yaml_scalar(q.name) +
                    ", value: " + (q.number ? num(q.value) : yaml_scalar(q.text));
  if (!q.units.empty()) out += ", units: " + yaml_scalar(q.units);
  return out + "}";
}

// A symmetric uncertainty as one size; else its downward size as the
// conventional negative 'minus'.
std::string uncertainty(const Uncertainty& u) {
  std::string out = u.down == u.up
                        ? "{symerror: " + num(u.up)
                        : "{asymerror: {plus: " + num(u.up) + ", minus: " + num(-u.down) + "}";
  if (!u.label.empty()) out += ", label: " + yaml_scalar(u.label);
  return out + "}";
}

std::string entry(const Entry& e) {
  std::string out = "      - value: " +
                    (e.number         ? num(e.value)
                     : e.text.empty() ? "''"
                                      : yaml_scalar(e.text)) +
                    "\n";
  if (e.number && !e.errors.empty()) {
    out += "        errors:\n";
    for (const Uncertainty& u : e.errors) out += "          - " + uncertainty(u) + "\n";
  }
  return out;
}

// "KEY:" and a line end before the items of a list; an empty list is "[]".
std::string list(const char* indent, const char* key, bool empty) {
  return std::string(indent) + key + (empty ? ": []\n" : ":\n");
}

}  // namespace

std::string hepdata_text(const Table& t) {
  std::string out;
  for (const std::string& c : t.comments) out += "# " + c + "\n";
  out += list("", "independent_variables", t.independent.empty());
  for (const Independent& v : t.independent) {
    out += "  - " + header(v.header) + list("    ", "values", v.values.empty());
    for (const Coordinate& c : v.values) out += "      - " + coordinate(c) + "\n";
  }
  out += list("", "dependent_variables", t.dependent.empty());
  for (const Dependent& v : t.dependent) {
    out += "  - " + header(v.header);
    if (!v.qualifiers.empty()) out += list("    ", "qualifiers", false);
    for (const Qualifier& q : v.qualifiers) out += "      - " + qualifier(q) + "\n";
    out += list("    ", "values", v.values.empty());
    for (const Entry& e : v.values) out += entry(e);
  }
  return out;
}

}  // namespace tables
