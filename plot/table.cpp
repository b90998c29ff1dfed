// Reading a HEPData data table: one YAML (or JSON) document parsed by
// yaml-cpp, every key checked against those HEPData allows, then the x of
// each point and the values and errors of one dependent variable.

#include "table.hpp"

#include <yaml-cpp/depthguard.h>
#include <yaml-cpp/eventhandler.h>
#include <yaml-cpp/yaml.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <sstream>

#include "text.hpp"

namespace plot {

namespace {

using YAML::Node;

// The keys HEPData allows in a data table, by the key they stand under
// (items of a list stand under the list's key).
struct Level {
  std::string_view parent;
  std::array<std::string_view, 4> keys;
};
constexpr Level allowed[] = {
    {"", {"independent_variables", "dependent_variables"}},
    {"independent_variables", {"header", "qualifiers", "values"}},
    {"dependent_variables", {"header", "qualifiers", "values"}},
    {"header", {"name", "units"}},
    {"qualifiers", {"name", "value", "units"}},
    {"values", {"value", "low", "high", "errors"}},
    {"errors", {"symerror", "asymerror", "label"}},
    {"asymerror", {"minus", "plus"}},
};

bool allowed_under(std::string_view parent, std::string_view key) {
  for (const Level& l : allowed)
    if (l.parent == parent)
      for (std::string_view k : l.keys)
        if (!k.empty() && k == key) return true;
  return false;
}

// The walk over the whole document: aliases may make a few bytes stand for
// a huge or endless tree, so it counts the nodes and the levels it enters.
struct Walk {
  std::size_t limit, nodes = 0;
  Failure& why;
};
constexpr std::size_t nodes_per_byte = 4;

// Checks that every key stands where HEPData allows it, within the nesting
// and node limits. Every later step reads only nodes this walk has seen.
bool check(const Node& n, std::string_view parent, int depth, Walk& w) {
  if (depth > max_depth) return w.why = {Cause::too_deep, "", std::to_string(max_depth)}, false;
  if (++w.nodes > w.limit) return w.why = {Cause::too_many_nodes, "", std::to_string(nodes_per_byte)}, false;
  if (n.IsSequence())
    for (const Node& item : n)
      if (!check(item, parent, depth + 1, w)) return false;
  if (n.IsMap())
    for (const auto& kv : n) {
      std::string key = kv.first.IsScalar() ? kv.first.Scalar() : "?";
      if (!allowed_under(parent, key)) return w.why = {Cause::forbidden_key, "", shown(key)}, false;
      if (!check(kv.second, key, depth + 1, w)) return false;
    }
  return true;
}

// A map's entry, or an undefined node for a missing key or a node that is
// not a map: yaml-cpp throws on subscripting a scalar, and on asking the
// type of the node it gives for a missing key.
Node at(const Node& n, const char* key) {
  if (!n.IsMap()) return Node(YAML::NodeType::Undefined);
  Node entry = n[key];
  return entry.IsDefined() ? entry : Node(YAML::NodeType::Undefined);
}

bool present(const Node& n) { return n.IsDefined() && !n.IsNull(); }

bool number(const Node& n, double& x) { return n.IsScalar() && YAML::convert<double>::decode(n, x); }

Header header_of(const Node& v) {
  Node name = at(at(v, "header"), "name"), units = at(at(v, "header"), "units");
  return {name.IsScalar() ? name.Scalar() : "", units.IsScalar() ? units.Scalar() : ""};
}

// A variable as messages name it: its name, else its place.
std::string called(const Node& v, const char* kind, std::size_t i) {
  std::string name = header_of(v).name;
  if (name.empty()) return std::string(kind) + " variable " + std::to_string(i + 1);
  return std::string("'").append(shown(name)).append("'");
}

std::string point(std::size_t i, const std::string& variable) {
  return "point " + std::to_string(i + 1) + " of " + variable;
}

// Every variable is a list of values, as many as the first independent
// variable has: point i of each belongs to point i of the others.
bool check_variables(const Node& doc, Failure& why) {
  std::optional<std::pair<std::size_t, std::string>> first;
  for (const char* kind : {"independent", "dependent"}) {
    std::string group = std::string(kind) + "_variables";
    Node list = at(doc, group.c_str());
    if (!present(list) || (list.IsSequence() && list.size() == 0)) return why = {Cause::no_variables, "", kind}, false;
    if (!list.IsSequence()) return why = {Cause::not_list, "", "'" + group + "'"}, false;
    for (std::size_t i = 0; i < list.size(); ++i) {
      Node values = at(list[i], "values");
      std::string name = called(list[i], kind, i);
      if (!present(values) || (values.IsSequence() && values.size() == 0))
        return why = {Cause::no_values, "", name}, false;
      if (!values.IsSequence()) return why = {Cause::not_list, "", "'values' of " + name}, false;
      if (!first) first = {values.size(), name};
      if (values.size() != first->first)
        return why = {Cause::count_mismatch, "",
                      name + " has " + std::to_string(values.size()) + " values, " + first->second + " has " +
                          std::to_string(first->first)},
               false;
    }
  }
  return true;
}

// The x of each point from the first independent variable: a bin with both
// edges (its x the value given, else the centre) or a single value.
bool read_x(const Node& var, std::vector<Point>& points, Failure& why) {
  Node values = at(var, "values");
  std::string name = called(var, "independent", 0);
  points.assign(values.size(), Point{});
  for (std::size_t i = 0; i < values.size(); ++i) {
    Point& p = points[i];
    Node low = at(values[i], "low"), high = at(values[i], "high"), value = at(values[i], "value");
    std::string here = point(i, name);
    if (low.IsDefined() != high.IsDefined())
      return why = {low.IsDefined() ? Cause::low_only : Cause::high_only, "", here}, false;
    if (low.IsDefined()) {
      if (!number(low, p.low) || std::isnan(p.low)) return why = {Cause::not_number, "", "low of " + here}, false;
      if (!number(high, p.high) || std::isnan(p.high)) return why = {Cause::not_number, "", "high of " + here}, false;
      p.x = (p.low + p.high) / 2;
      if (value.IsDefined() && (!number(value, p.x) || std::isnan(p.x)))
        return why = {Cause::not_number, "", "value of " + here}, false;
    } else if (value.IsDefined()) {
      if (!number(value, p.x) || std::isnan(p.x)) return why = {Cause::not_number, "", here}, false;
      p.low = p.high = p.x;
    } else {
      return why = {Cause::no_value, "", here}, false;
    }
  }
  return true;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  return s;
}

// One side of an error as a magnitude: a number, a percentage of the
// point's value ("2.5%"), or nothing (an empty string, a missing side) for 0.
bool side(const Node& n, double value, double& size) {
  size = 0;
  if (!present(n)) return true;
  if (!n.IsScalar()) return false;
  std::string_view s = trimmed(n.Scalar());
  if (s.empty()) return true;
  if (!s.ends_with('%')) {
    if (!number(n, size)) return false;
    size = std::fabs(size);
    return true;
  }
  s = trimmed(s.substr(0, s.size() - 1));
  if (s.starts_with('+')) s.remove_prefix(1);
  double percent = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), percent);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return false;
  size = std::fabs(value * percent / 100);
  return true;
}

// Adds error `e` to point p: to the stat pair when its label starts with
// "stat" (any case), and to the total, in quadrature. The cause when not.
std::optional<Cause> add_error(const Node& e, Point& p) {
  double down = 0, up = 0;
  Node sym = at(e, "symerror"), asym = at(e, "asymerror");
  if (sym.IsDefined()) {
    if (!side(sym, p.value, down)) return Cause::not_number;
    up = down;
  } else if (asym.IsDefined()) {
    if (!side(at(asym, "minus"), p.value, down) || !side(at(asym, "plus"), p.value, up)) return Cause::not_number;
  } else {
    return Cause::no_error_kind;
  }
  Node label = at(e, "label");
  std::string word = label.IsScalar() ? label.Scalar().substr(0, 4) : "";
  for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (word == "stat") p.stat_down = std::hypot(p.stat_down, down), p.stat_up = std::hypot(p.stat_up, up);
  p.total_down = std::hypot(p.total_down, down);
  p.total_up = std::hypot(p.total_up, up);
  p.has_errors = true;
  return std::nullopt;
}

// The value and errors of each point from dependent variable `var`. A
// value that is text ('-' for a bin not measured) is kept as text.
bool read_y(const Node& var, const std::string& name, std::vector<Point>& points, Failure& why) {
  Node values = at(var, "values");
  for (std::size_t i = 0; i < points.size(); ++i) {
    Point& p = points[i];
    Node value = at(values[i], "value"), errors = at(values[i], "errors");
    std::string here = point(i, name);
    if (!value.IsDefined()) return why = {Cause::no_value, "", here}, false;
    if (!value.IsNull() && !value.IsScalar()) return why = {Cause::not_number, "", here}, false;
    if (!number(value, p.value)) {
      p.number = false, p.value = NAN, p.text = value.IsScalar() ? shown(value.Scalar(), 20) : "";
      continue;
    }
    if (!present(errors)) continue;
    if (!errors.IsSequence()) return why = {Cause::not_list, "", "'errors' of " + here}, false;
    for (std::size_t j = 0; j < errors.size(); ++j)
      if (std::optional<Cause> c = add_error(errors[j], p))
        return why = {*c, "", "error " + std::to_string(j + 1) + " of " + here}, false;
  }
  return true;
}

// The dependent variable to draw: position `column`, or by default the one
// named "fragmentation function" (xpcorr's), else the first.
std::optional<std::size_t> pick(const Node& deps, int column, Failure& why) {
  std::size_t n = deps.size();
  if (column > 0 && static_cast<std::size_t>(column) > n)
    return why = {Cause::no_column, "", std::to_string(column) + " (the table has " + std::to_string(n) + ")"},
           std::nullopt;
  if (column > 0) return static_cast<std::size_t>(column) - 1;
  for (std::size_t i = 0; i < n; ++i)
    if (header_of(deps[i]).name == "fragmentation function") return i;
  return 0;
}

// yaml-cpp's parser events, heeding only where each document starts.
struct Documents : YAML::EventHandler {
  std::vector<YAML::Mark> starts;
  void OnDocumentStart(const YAML::Mark& at) override { starts.push_back(at); }
  void OnDocumentEnd() override {}
  void OnNull(const YAML::Mark&, YAML::anchor_t) override {}
  void OnAlias(const YAML::Mark&, YAML::anchor_t) override {}
  void OnScalar(const YAML::Mark&, const std::string&, YAML::anchor_t, const std::string&) override {}
  void OnSequenceStart(const YAML::Mark&, const std::string&, YAML::anchor_t, YAML::EmitterStyle::value) override {}
  void OnSequenceEnd() override {}
  void OnMapStart(const YAML::Mark&, const std::string&, YAML::anchor_t, YAML::EmitterStyle::value) override {}
  void OnMapEnd() override {}
};

// A data table is one document. yaml-cpp's LoadAll would go on without end
// where a document starts with a token it cannot take (a ','), finding an
// empty document there again and again: such a text is not YAML.
bool one_document(std::string_view text, Failure& why) {
  std::istringstream in{std::string(text)};
  YAML::Parser parser(in);
  Documents d;
  while (parser.HandleNextDocument(d))
    if (d.starts.size() > 1 && d.starts.back().pos == d.starts[d.starts.size() - 2].pos) {
      YAML::Mark at = d.starts.back();
      return why = {Cause::not_yaml, "", "line " + std::to_string(at.line + 1) + ", column " +
                                             std::to_string(at.column + 1) + ": no node can start here"},
             false;
    }
  if (d.starts.empty()) return why = {Cause::no_document, "", ""}, false;
  if (d.starts.size() > 1) return why = {Cause::documents, "", std::to_string(d.starts.size())}, false;
  return true;
}

bool parse(std::string_view text, int column, Table& t, Failure& why) {
  if (!one_document(text, why)) return false;
  const Node doc = YAML::Load(std::string(text));
  Walk walk{nodes_per_byte * text.size() + 1000, 0, why};
  if (!check(doc, "", 0, walk) || !check_variables(doc, why)) return false;
  Node x = at(doc, "independent_variables")[0], deps = at(doc, "dependent_variables");
  std::optional<std::size_t> y = pick(deps, column, why);
  if (!y || !read_x(x, t.points, why) || !read_y(deps[*y], called(deps[*y], "dependent", *y), t.points, why))
    return false;
  t.x = header_of(x);
  t.y = header_of(deps[*y]);
  return true;
}

// The whole file, refused beyond the size limit (read up to one byte more,
// so that a pipe or a growing file is measured too).
bool read_file(const std::string& path, std::string& text, Failure& why) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return why = {Cause::unreadable, path, std::strerror(errno)}, false;
  char buf[65536];
  for (std::size_t n; text.size() <= max_table_bytes && (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
    text.append(buf, n);
  bool ok = !std::ferror(f);
  if (!ok) why = {Cause::unreadable, path, std::strerror(errno)};
  std::fclose(f);
  if (ok && text.size() > max_table_bytes)
    return why = {Cause::too_large, path, std::to_string(max_table_bytes >> 20) + " MB"}, false;
  return ok;
}

}  // namespace

bool parse_table(std::string_view text, int column, Table& table, Failure& why) noexcept {
  try {
    return parse(text, column, table, why);
  } catch (const YAML::DeepRecursion&) {
    why = {Cause::too_deep, "", std::to_string(max_depth)};
  } catch (const YAML::ParserException& e) {
    why = {Cause::not_yaml, "", "line " + std::to_string(e.mark.line + 1) + ", column " +
                                    std::to_string(e.mark.column + 1) + ": " + e.msg};
  } catch (const std::bad_alloc&) {
    why = {Cause::unreadable, "", "out of memory"};
  } catch (const std::exception& e) {
    why = {Cause::not_yaml, "", e.what()};
  }
  return false;
}

bool read_table(const std::string& path, int column, Table& table, Failure& why) noexcept {
  try {
    std::string text;
    if (!read_file(path, text, why)) return false;
    bool ok = parse_table(text, column, table, why);
    why.subject = path;
    return ok;
  } catch (const std::exception& e) {
    why = {Cause::unreadable, path, e.what()};
  }
  return false;
}

}  // namespace plot
