// Reading a YODA object into a table: the BEGIN/END structure of the whole
// text, then the form its type and version name, its YAML header and its
// rows of numbers (std::from_chars, never the locale's reading).

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>

#include "tables/decimal.hpp"
#include "tables/yaml_nodes.hpp"
#include "tables/yoda.hpp"

namespace tables {
namespace {

// The forms read, by type and version; the version suffix decides the
// layout of the lines, so no form is taken for another.
enum class Form : std::uint8_t {
  scatter_old,
  scatter_v2,
  histo_old,
  histo_v2,
  histo_v3,
  profile_old,
  profile_v2,
  estimate_v3
};

std::optional<Form> form_of(std::string_view type) {
  // clang-format off
  constexpr std::pair<std::string_view, Form> forms[] = {
      {"YODA_SCATTER2D",     Form::scatter_old},
      {"YODA_SCATTER2D_V2",  Form::scatter_v2},
      {"YODA_HISTO1D",       Form::histo_old},
      {"YODA_HISTO1D_V2",    Form::histo_v2},
      {"YODA_HISTO1D_V3",    Form::histo_v3},
      {"YODA_PROFILE1D",     Form::profile_old},
      {"YODA_PROFILE1D_V2",  Form::profile_v2},
      {"YODA_ESTIMATE1D_V3", Form::estimate_v3},
  };
  // clang-format on
  for (const auto& [name, form] : forms)
    if (name == type) return form;
  return std::nullopt;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  return s;
}

std::vector<std::string_view> words(std::string_view s) {
  std::vector<std::string_view> out;
  for (std::size_t i = 0; i < s.size();) {
    std::size_t end = s.find_first_of(" \t", i);
    if (end == std::string_view::npos) end = s.size();
    if (end > i) out.push_back(s.substr(i, end - i));
    i = end + 1;
  }
  return out;
}

// A BEGIN or END line of an object ("# " before it in the old form): its
// type, and the path after it for a BEGIN.
bool marker(std::string_view s, std::string_view word, std::string_view& type,
            std::string_view& path) {
  if (s.starts_with('#')) s = trimmed(s.substr(1));
  if (!s.starts_with(word)) return false;
  std::vector<std::string_view> w = words(s);
  if (w.size() < 2 || w[0] != word || !w[1].starts_with("YODA")) return false;
  type = w[1];
  path = trimmed(s.substr(static_cast<std::size_t>(w[1].data() + w[1].size() - s.data())));
  return true;
}

// Whether an END line's type closes an object of type `begun`: the same,
// or the same without its version suffix ("YODA_HISTO1D" ends a
// "YODA_HISTO1D_V2"), as YODA's own reader takes it.
bool ends(std::string_view type, std::string_view begun) {
  if (type == begun) return true;
  if (!begun.starts_with(type)) return false;
  const std::string_view suffix = begun.substr(type.size());
  return suffix.size() > 2 && suffix.starts_with("_V") &&
         suffix.substr(2).find_first_not_of("0123456789") == std::string_view::npos;
}

// Variations and bookkeeping, which a file of one object does not count:
// unscaled copies (/RAW/...), a generator run's counters (/_EVTCOUNT) and
// weight variations (/A/x[MUR2_MUF2]).
bool plain(std::string_view path) {
  return !path.starts_with("/RAW/") && !path.starts_with("/_") &&
         !(path.ends_with(']') && path.find('[') != std::string_view::npos);
}

std::string place(std::size_t line) { return "line " + std::to_string(line); }

// A number of a row: a decimal, "nan" or "inf", in the C locale's form.
bool number(std::string_view w, double& x) {
  if (w.starts_with('+')) w.remove_prefix(1);
  auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), x);
  return !w.empty() && ec == std::errc() && end == w.data() + w.size();
}

// The decimal a number's text writes, or the shortest one of its double
// when the text is no plain decimal.
Decimal exact(std::string_view text, double value) {
  Decimal d;
  return decimal_of(text.starts_with('+') ? text.substr(1) : text, d) ? d : decimal_of(value);
}

// The lines of an object after its BEGIN line, trimmed (and as they are,
// in `raw`), with their numbers in the file.
struct Lines {
  std::string_view text;
  std::size_t line;
  std::string_view raw = {};

  bool next(std::string_view& s) {
    if (text.empty()) return false;
    std::size_t end = text.find('\n');
    raw = text.substr(0, end);
    s = trimmed(raw);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++line;
    return true;
  }
};

// The YAML header of a V2 or V3 object, up to its '---' line, its lines
// indented as written.
bool header(Lines& in, const std::string& path, YamlDocument& doc, YamlNode& h, ReadFailure& why) {
  const std::size_t first = in.line + 1;
  std::string yaml;
  for (std::string_view s; in.next(s);) {
    if (s == "---") {
      if (!doc.parse(yaml, why)) {
        if (why.cause == ReadError::not_yaml)
          why.detail = "the header of " + path + ", line " +
                       std::to_string(first + doc.syntax().line) + ": " + doc.syntax().problem;
        return false;
      }
      h = doc.root();
      if (h.defined() && !h.is_null() && !h.is_map())
        return why = {ReadError::bad_line,
                      {},
                      place(first) + ": the header of " + path + " is not a YAML map"},
               false;
      return true;
    }
    yaml.append(in.raw.substr(0, in.raw.find('\r'))).append("\n");
  }
  return why = {ReadError::no_header_end, {}, path}, false;
}

// What an object's annotations say of it: its title and its axes' labels.
struct Annotations {
  std::string title, x, y;

  // An annotation of the old form's key=value lines.
  void take(std::string_view key, std::string_view value) {
    if (key == "Title") title = value;
    if (key == "XLabel") x = value;
    if (key == "YLabel") y = value;
  }
};

Annotations annotations_of(const YamlNode& h) {
  return {std::string(h.at("Title").text()), std::string(h.at("XLabel").text()),
          std::string(h.at("YLabel").text())};
}

// A row of `count` numbers, their texts in `w`.
bool row(std::string_view s, std::size_t line, std::size_t count, std::vector<std::string_view>& w,
         std::vector<double>& x, ReadFailure& why) {
  w = words(s);
  x.assign(w.size(), 0);
  bool ok = w.size() == count;
  for (std::size_t i = 0; ok && i < w.size(); ++i) ok = number(w[i], x[i]);
  if (!ok)
    why = {ReadError::bad_line,
           {},
           {},
           place(line) + " is not a row of " + std::to_string(count) + " numbers ('" +
               shown(s, 40) + "')"};
  return ok;
}

// A scatter point's x: a bin from x - xerr- to x + xerr+, its edges worked
// in the decimals written, or a single value when both are zero.
Coordinate scatter_x(const std::vector<std::string_view>& w, const std::vector<double>& x) {
  const double down = std::fabs(x[1]), up = std::fabs(x[2]);
  if (down == 0 && up == 0) return Coordinate::of_value(x[0]);
  if (!std::isfinite(x[0]) || !std::isfinite(down) || !std::isfinite(up))
    return Coordinate::of_bin(x[0] - down, x[0] + up, x[0]);
  Decimal at = exact(w[0], x[0]), d = exact(w[1], down), u = exact(w[2], up);
  d.negative = u.negative = false;
  return Coordinate::of_bin(rounded(sum(at, negated(d))), rounded(sum(at, u)), x[0]);
}

bool statistical(const std::string& label) {
  std::string word = label.substr(0, 4);
  for (char& c : word) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return word == "stat";
}

// The sources of one point's ErrorBreakdown, down and up as magnitudes.
bool sources(const YamlNode& map, std::size_t point, std::size_t& budget,
             std::vector<Uncertainty>& out, ReadFailure& why) {
  const std::string where = "of point " + std::to_string(point + 1);
  if (!map.is_map()) return why = {ReadError::bad_breakdown, {}, where + " is not a map"}, false;
  out.clear();
  for (std::size_t i = 0; i < map.size(); ++i) {
    if (budget-- == 0)
      return why = {ReadError::too_many_nodes, {}, std::to_string(nodes_per_byte)}, false;
    Uncertainty& u = out.emplace_back();
    u.label = map.key(i).text();
    const YamlNode v = map.value(i), dn = v.at("dn"), up = v.at("up");
    double d = 0, p = 0;
    if (!dn.is_scalar() || !up.is_scalar() || !number(dn.text(), d) || !number(up.text(), p))
      return why = {ReadError::bad_breakdown,
                    {},
                    "'" + shown(u.label) + "' " + where + " has no numbers 'dn' and 'up'"},
             false;
    u.down = std::fabs(d), u.up = std::fabs(p);
  }
  return true;
}

// A point's errors from its breakdown: the sources as they are when, in
// quadrature, they make the total of its columns (to the digits written);
// else the statistical ones and the rest of the total, unlabelled.
void broken_down(std::vector<Uncertainty> parts, Entry& e) {
  const Uncertainty total = e.errors.empty() ? Uncertainty{} : e.errors.front();
  Uncertainty all, stat;
  for (const Uncertainty& u : parts) {
    all.down = std::hypot(all.down, u.down), all.up = std::hypot(all.up, u.up);
    if (statistical(u.label))
      stat.down = std::hypot(stat.down, u.down), stat.up = std::hypot(stat.up, u.up);
  }
  auto close = [](double a, double b) { return std::fabs(a - b) <= 1e-4 * std::max(a, b); };
  if (close(all.down, total.down) && close(all.up, total.up)) {
    e.errors = std::move(parts);
    return;
  }
  e.errors.clear();
  for (const Uncertainty& u : parts)
    if (statistical(u.label)) e.errors.push_back(u);
  auto rest = [](double t, double s) { return t > s ? std::sqrt((t - s) * (t + s)) : 0.0; };
  Uncertainty r{rest(total.down, stat.down), rest(total.up, stat.up), ""};
  if (r.down != 0 || r.up != 0) e.errors.push_back(r);
}

// The ErrorBreakdown of a V2 scatter: a map from point index (from 0) to a
// map of sources, each {dn: -D, up: U}. Aliases may repeat a large map for
// every point, so the sources visited are counted.
bool breakdown(const YamlNode& h, std::size_t header_bytes, std::vector<Entry>& entries,
               ReadFailure& why) {
  const YamlNode b = h.at("ErrorBreakdown");
  if (!b.defined() || b.is_null()) return true;
  if (!b.is_map()) return why = {ReadError::bad_breakdown, {}, "is not a map"}, false;
  std::size_t budget = node_budget(header_bytes);
  std::vector<Uncertainty> parts;
  for (std::size_t k = 0; k < b.size(); ++k) {
    std::size_t i = 0;
    const std::string_view key = b.key(k).text();
    auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), i);
    if (key.empty() || ec != std::errc() || end != key.data() + key.size() || i >= entries.size())
      return why = {ReadError::bad_breakdown,
                    {},
                    {},
                    "names point '" + shown(key) + "' of " + std::to_string(entries.size()) +
                        " (numbered from 0)"},
             false;
    if (!sources(b.value(k), i, budget, parts, why)) return false;
    broken_down(parts, entries[i]);
  }
  return true;
}

// Whether a title is a DOI ("10.1103/PhysRevD.98.030001", "doi:10...",
// "https://doi.org/10..."), which reference data carry as their title and
// which names no quantity.
bool doi(std::string_view s) {
  for (std::string_view prefix : {"https://", "http://", "dx.doi.org/", "doi.org/", "doi:", "DOI:"})
    if (s.starts_with(prefix)) s.remove_prefix(prefix.size());
  const std::size_t slash = s.find('/');
  return s.starts_with("10.") && slash != std::string_view::npos && slash > 3 &&
         s.substr(3, slash - 3).find_first_not_of("0123456789.") == std::string_view::npos;
}

// A table of one independent and one dependent variable, named by the
// object's axis labels: the y label, else a title that names a quantity.
Table table_of(const Annotations& a, std::vector<Coordinate> xs, std::vector<Entry> ys) {
  Table t;
  std::string y = !a.y.empty() ? a.y : doi(a.title) ? "" : a.title;
  t.independent.push_back({{a.x, ""}, std::move(xs)});
  t.dependent.push_back({{std::move(y), ""}, {}, std::move(ys)});
  return t;
}

// A key=value line of the old form ("Title=...").
bool key_line(std::string_view s, std::string_view& key, std::string_view& value) {
  std::size_t eq = s.find('=');
  if (eq == std::string_view::npos || eq == 0) return false;
  for (char c : s.substr(0, eq))
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  if (!std::isalpha(static_cast<unsigned char>(s[0]))) return false;
  key = s.substr(0, eq), value = s.substr(eq + 1);
  return true;
}

// Scatter2D, old form or V2: rows of x, its errors to the bin's edges, y
// and its total errors down and up; in V2 each point's sources may be
// broken down in the header.
bool read_scatter(Lines in, const std::string& path, bool old, Table& t, ReadFailure& why) {
  YamlDocument doc;
  YamlNode h;
  const std::size_t start = in.text.size();
  if (!old && !header(in, path, doc, h, why)) return false;
  const std::size_t header_bytes = start - in.text.size();
  Annotations names = annotations_of(h);
  std::vector<Coordinate> xs;
  std::vector<Entry> ys;
  std::vector<std::string_view> w;
  std::vector<double> x;
  for (std::string_view s, key, value; in.next(s);) {
    if (s.empty() || s.starts_with('#')) continue;
    if (old && key_line(s, key, value)) {
      names.take(key, trimmed(value));
      continue;
    }
    if (!row(s, in.line, 6, w, x, why)) return false;
    xs.push_back(scatter_x(w, x));
    Entry& e = ys.emplace_back(Entry{true, x[3], "", {}});
    if (x[4] != 0 || x[5] != 0) e.errors.push_back({std::fabs(x[4]), std::fabs(x[5]), ""});
  }
  if (!breakdown(h, header_bytes, ys, why)) return false;
  if (ys.empty()) return why = {ReadError::no_values, {}, path}, false;
  t = table_of(names, std::move(xs), std::move(ys));
  return true;
}

// A histogram bin drawn as a density: the sum of weights over the width
// (worked in the decimals of the edges), the error the root of the sum of
// squared weights over the width, statistical.
Entry density(double low, double high, std::string_view low_text, std::string_view high_text,
              double sumw, double sumw2) {
  double width = high - low;
  if (std::isfinite(low) && std::isfinite(high))
    width = rounded(sum(exact(high_text, high), negated(exact(low_text, low))));
  const double error = std::sqrt(sumw2) / width;
  return {true, sumw / width, "", {{error, error, "stat"}}};
}

// A profile's bin drawn as the mean of y, sumwy / sumw, with the standard
// error of that mean as YODA defines it: the weighted variance
// (sumwy2 sumw - sumwy^2) / (sumw^2 - sumw2) over the effective entries
// sumw^2 / sumw2, square-rooted. None for a bin without weight; no error
// for one of at most one effective entry, which has no variance.
std::optional<Entry> mean(double sumw, double sumw2, double sumwy, double sumwy2, bool& lone) {
  if (sumw == 0) return std::nullopt;
  Entry e{true, sumwy / sumw, "", {}};
  const double entries = sumw * sumw / sumw2;
  lone = !(entries > 1 + 1e-5);
  if (lone) return e;
  const double variance = (sumwy2 * sumw - sumwy * sumwy) / (sumw * sumw - sumw2);
  const double error = std::sqrt(std::max(variance, 0.0) / entries);
  e.errors.push_back({error, error, "stat"});
  return e;
}

// Histo1D and Profile1D, old form or V2: after comment lines and the
// Total, Underflow and Overflow lines, a row per bin: xlow xhigh sumw sumw2
// sumwx sumwx2 (sumwy sumwy2 for a profile) numEntries. The old form's
// annotations are key=value lines, V2's a YAML header.
bool read_bins(Lines in, const std::string& path, bool old, bool profile, Table& t,
               ReadFailure& why) {
  YamlDocument doc;
  YamlNode h;
  if (!old && !header(in, path, doc, h, why)) return false;
  Annotations names = annotations_of(h);
  std::vector<Coordinate> xs;
  std::vector<Entry> ys;
  std::vector<std::string_view> w;
  std::vector<double> x;
  std::size_t lone = 0, first_lone = 0;
  for (std::string_view s, key, value; in.next(s);) {
    if (s.empty() || s.starts_with('#') || s.starts_with("Total") || s.starts_with("Underflow") ||
        s.starts_with("Overflow"))
      continue;
    if (old && key_line(s, key, value)) {
      names.take(key, trimmed(value));
      continue;
    }
    if (!row(s, in.line, profile ? 9 : 7, w, x, why)) return false;
    if (!profile) {
      xs.push_back(Coordinate::of_bin(x[0], x[1]));
      ys.push_back(density(x[0], x[1], w[0], w[1], x[2], x[3]));
    } else if (bool one = false; std::optional<Entry> e = mean(x[2], x[3], x[6], x[7], one)) {
      if (one && lone++ == 0) first_lone = xs.size();
      xs.push_back(Coordinate::of_bin(x[0], x[1]));
      ys.push_back(std::move(*e));
    }
  }
  if (ys.empty()) return why = {ReadError::no_values, {}, path}, false;
  t = table_of(names, std::move(xs), std::move(ys));
  if (lone > 0)
    t.notes.push_back(std::to_string(lone) + (lone == 1 ? " bin has" : " bins have") +
                      " at most one effective entry, its mean drawn without an error (first: " +
                      shortest(t.independent[0].values[first_lone].low) + " to " +
                      shortest(t.independent[0].values[first_lone].high) + ")");
  return true;
}

// "Edges(A1): [e0, e1, ...]": the bin edges, their texts kept for the
// widths.
bool edges(std::string_view list, std::size_t line, std::vector<std::string_view>& texts,
           std::vector<double>& values, ReadFailure& why) {
  list = trimmed(list);
  bool ok = list.size() >= 2 && list.front() == '[' && list.back() == ']';
  list = ok ? trimmed(list.substr(1, list.size() - 2)) : list;
  texts.clear(), values.clear();
  for (std::size_t i = 0; ok && !list.empty() && i <= list.size();) {
    std::size_t comma = std::min(list.find(',', i), list.size());
    texts.push_back(trimmed(list.substr(i, comma - i)));
    ok = number(texts.back(), values.emplace_back());
    i = comma + 1;
  }
  if (!ok || values.size() < 2)
    why = {
        ReadError::bad_line, {}, place(line) + ": the Edges are not a list of two numbers or more"};
  return ok && values.size() >= 2;
}

// "ErrorLabels: [...]": a YAML list of the labels, in the order of the
// error columns.
bool labels(std::string_view list, std::size_t line, std::vector<std::string>& out,
            ReadFailure& why) {
  YamlDocument doc;
  ReadFailure fault;
  bool ok = doc.parse(list, fault);
  const YamlNode n = doc.root();
  out.clear();
  if (ok && (!n.defined() || n.is_null())) return true;
  ok = ok && n.is_sequence();
  for (std::size_t i = 0; ok && i < n.size(); ++i)
    if ((ok = n.item(i).is_scalar() || n.item(i).is_null())) out.emplace_back(n.item(i).text());
  if (!ok)
    why = {ReadError::bad_line, {}, place(line) + ": the ErrorLabels are not a list of labels"};
  return ok;
}

// One error of an Estimate1D bin: the downward and upward sizes, each
// '---' when missing; none when both are.
bool estimate_error(std::string_view dn, std::string_view up, const std::string& label, Entry& e) {
  double d = 0, u = 0;
  if (dn == "---" && up == "---") return true;
  if ((dn != "---" && !number(dn, d)) || (up != "---" && !number(up, u))) return false;
  e.errors.push_back({std::fabs(d), std::fabs(u), label});
  return true;
}

// Histo1D V3 and Estimate1D V3: the edges, for an estimate its error
// labels, then a row for the underflow, one per bin and one for the
// overflow. A histogram row is sumW sumW2 sumW(A1) sumW2(A1) numEntries;
// an estimate's is the value (already a density) and per label the error
// down and up.
bool read_binned(Lines in, const std::string& path, bool estimate, Table& t, ReadFailure& why) {
  YamlDocument doc;
  YamlNode h;
  if (!header(in, path, doc, h, why)) return false;
  std::vector<std::string_view> edge_texts, w;
  std::vector<double> edge_values, x;
  std::vector<std::string> errors;
  std::vector<std::pair<std::string_view, std::size_t>> rows;
  bool have_edges = false;
  for (std::string_view s; in.next(s);) {
    if (s.empty() || s.starts_with('#')) continue;
    if (s.starts_with("Edges(A1):")) {
      if (have_edges)
        return why = {ReadError::bad_line, {}, place(in.line) + ": Edges again"}, false;
      if (!edges(s.substr(10), in.line, edge_texts, edge_values, why)) return false;
      have_edges = true;
    } else if (estimate && s.starts_with("ErrorLabels:")) {
      if (!labels(s.substr(12), in.line, errors, why)) return false;
    } else {
      rows.emplace_back(s, in.line);
    }
  }
  if (!have_edges) return why = {ReadError::bad_line, {}, path + " has no Edges(A1) line"}, false;
  const std::size_t bins = edge_values.size() - 1;
  if (rows.size() != bins + 2)
    return why = {ReadError::bad_line,
                  {},
                  {},
                  path + " has " + std::to_string(rows.size()) + " rows for " +
                      std::to_string(bins) + " bins: a row per bin, an underflow and an overflow"},
           false;
  std::vector<Coordinate> xs;
  std::vector<Entry> ys;
  for (std::size_t b = 0; b < bins; ++b) {
    const auto& [s, line] = rows[b + 1];
    const double low = edge_values[b], high = edge_values[b + 1];
    xs.push_back(Coordinate::of_bin(low, high));
    if (!estimate) {
      if (!row(s, line, 5, w, x, why)) return false;
      ys.push_back(density(low, high, edge_texts[b], edge_texts[b + 1], x[0], x[1]));
      continue;
    }
    w = words(s);
    Entry& e = ys.emplace_back();
    bool ok = w.size() == 1 + 2 * errors.size() && number(w[0], e.value);
    for (std::size_t k = 0; ok && k < errors.size(); ++k)
      ok = estimate_error(w[1 + 2 * k], w[2 + 2 * k], errors[k], e);
    if (!ok)
      return why = {ReadError::bad_line,
                    {},
                    {},
                    place(line) + " is not a value with " + std::to_string(errors.size()) +
                        " pairs of errors ('" + shown(s, 40) + "')"},
             false;
  }
  t = table_of(annotations_of(h), std::move(xs), std::move(ys));
  return true;
}

}  // namespace

bool yoda_start(std::string_view text) {
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = std::min(text.find('\n', start), text.size());
    std::string_view s = trimmed(text.substr(start, end - start)), type, path;
    if (marker(s, "BEGIN", type, path)) return true;
    if (!s.empty() && !s.starts_with('#')) return false;
    start = end + 1;
  }
  return false;
}

bool YodaReader::begin(std::string_view type, std::string_view path, ReadFailure& why) {
  if (inside_)
    return why = {ReadError::bad_line,
                  {},
                  {},
                  place(line_) + ": BEGIN inside " + shown(current_.path)},
           false;
  inside_ = true;
  current_ = {std::string(type), std::string(path), "", line_};
  ++objects_;
  const bool is_plain = plain(path);
  plain_ += is_plain;
  if (is_plain && first_plain_.size() < 3) first_plain_.emplace_back(path);
  if (first_any_.size() < 3) first_any_.emplace_back(path);
  if (!wanted_.empty())
    taking_ = !found_ && path == wanted_;
  else
    taking_ = is_plain && plain_ == 1;
  if (wanted_.empty() && plain_ > 1) kept_.text.clear();
  return true;
}

bool YodaReader::line(std::string_view text, ReadFailure& why) {
  ++line_;
  std::string_view s = trimmed(text), type, path;
  if (marker(s, "BEGIN", type, path)) return begin(type, path, why);
  if (!inside_) {
    if (s.empty() || s.starts_with('#')) return true;
    return why = {ReadError::outside_object, {}, place(line_) + " ('" + shown(s, 40) + "')"}, false;
  }
  if (marker(s, "END", type, path)) {
    if (!ends(type, current_.type))
      return why = {ReadError::bad_line,
                    {},
                    place(line_) + ": " + shown(type) + " ends a " + shown(current_.type)},
             false;
    inside_ = false;
    if (taking_) {
      kept_ = std::move(current_);
      found_ = true;
      done_ = !wanted_.empty();
    }
    taking_ = false;
    return true;
  }
  if (!taking_) return true;
  if (current_.text.size() + text.size() >= max_object_bytes)
    return why = {ReadError::too_large,
                  {},
                  std::to_string(max_object_bytes >> 20) + " MB for one object"},
           false;
  current_.text.append(text).append("\n");
  return true;
}

// The first paths of the file (plain ones when there are any) and how many
// more there are.
std::string YodaReader::some_paths() const {
  const std::vector<std::string>& paths = plain_ > 0 ? first_plain_ : first_any_;
  const std::size_t count = plain_ > 0 ? plain_ : objects_;
  std::string out;
  for (const std::string& p : paths) out += (out.empty() ? "" : ", ") + shown(p);
  if (count > paths.size()) out += " and " + std::to_string(count - paths.size()) + " more";
  return out;
}

// The object kept, read by its form, once the file is known to hold it:
// ended, and the one asked for or the only one.
bool YodaReader::read_kept(Table& t, ReadFailure& why) const {
  if (inside_) return why = {ReadError::unended, {}, shown(current_.path)}, false;
  if (!wanted_.empty() && !found_)
    return why = {ReadError::no_such_object,
                  {},
                  shown(wanted_) + (objects_ ? " (it holds " + some_paths() + ")" : "")},
           false;
  if (objects_ == 0) return why = {ReadError::no_objects, {}, ""}, false;
  if (wanted_.empty() && plain_ != 1) {
    const std::size_t n = plain_ > 0 ? plain_ : objects_;
    return why = {ReadError::several_objects,
                  {},
                  std::to_string(n) + (n == 1 ? " object (" : " objects (") + some_paths() + ")"},
           false;
  }
  const std::optional<Form> form = form_of(kept_.type);
  if (!form)
    return why = {ReadError::unknown_type, {}, shown(kept_.path) + " is a " + shown(kept_.type)},
           false;
  const Lines in{kept_.text, kept_.line};
  const std::string path = shown(kept_.path);
  switch (*form) {
    case Form::scatter_old: return read_scatter(in, path, true, t, why);
    case Form::scatter_v2: return read_scatter(in, path, false, t, why);
    case Form::histo_old: return read_bins(in, path, true, false, t, why);
    case Form::histo_v2: return read_bins(in, path, false, false, t, why);
    case Form::profile_old: return read_bins(in, path, true, true, t, why);
    case Form::profile_v2: return read_bins(in, path, false, true, t, why);
    case Form::histo_v3: return read_binned(in, path, false, t, why);
    case Form::estimate_v3: return read_binned(in, path, true, t, why);
  }
  return false;
}

bool YodaReader::finish(Table& t, ReadFailure& why) const noexcept {
  return caught([&] { return read_kept(t, why); }, why);
}

}  // namespace tables
