// Reading a HEPData data table: one YAML (or JSON) document parsed as
// HEPData's own tools parse it (YAML 1.1), every key checked against those
// HEPData allows, then every variable's values.

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <new>
#include <optional>

#include "tables/hepdata.hpp"
#include "tables/yaml_nodes.hpp"

namespace tables {

namespace {

using Node = YamlNode;

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
  ReadFailure& why;
};
// Checks that every key stands where HEPData allows it, within the nesting
// and node limits. Every later step reads only nodes this walk has seen.
bool check(const Node& n, std::string_view parent, int depth, Walk& w) {
  if (depth > max_depth) return w.why = {ReadError::too_deep, {}, std::to_string(max_depth)}, false;
  if (++w.nodes > w.limit)
    return w.why = {ReadError::too_many_nodes, {}, std::to_string(nodes_per_byte)}, false;
  if (n.is_sequence())
    for (std::size_t i = 0; i < n.size(); ++i)
      if (!check(n.item(i), parent, depth + 1, w)) return false;
  if (n.is_map())
    for (std::size_t i = 0; i < n.size(); ++i) {
      std::string_view key = n.key(i).is_scalar() ? n.key(i).text() : "?";
      if (!allowed_under(parent, key))
        return w.why = {ReadError::forbidden_key, {}, shown(key)}, false;
      if (!check(n.value(i), key, depth + 1, w)) return false;
    }
  return true;
}

bool present(const Node& n) { return n.defined() && !n.is_null(); }

bool number(const Node& n, double& x) { return yaml_number(n, x); }

std::string text(const Node& n) { return std::string(n.text()); }

Header header_of(const Node& v) {
  return {text(v.at("header").at("name")), text(v.at("header").at("units"))};
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
// A table of values against no independent variable is HEPData (a list of
// numbers) but has no x to draw them against.
bool check_variables(const Node& doc, ReadFailure& why) {
  std::optional<std::pair<std::size_t, std::string>> first;
  const Node xs = doc.at("independent_variables"), ys = doc.at("dependent_variables");
  if (xs.is_sequence() && xs.size() == 0 && ys.is_sequence() && ys.size() > 0)
    return why = {ReadError::no_x, {}, ""}, false;
  for (const char* kind : {"independent", "dependent"}) {
    std::string group = std::string(kind) + "_variables";
    Node list = doc.at(group);
    if (!present(list) || (list.is_sequence() && list.size() == 0))
      return why = {ReadError::no_variables, {}, kind}, false;
    if (!list.is_sequence()) return why = {ReadError::not_list, {}, "'" + group + "'"}, false;
    for (std::size_t i = 0; i < list.size(); ++i) {
      Node values = list.item(i).at("values");
      std::string name = called(list.item(i), kind, i);
      if (!present(values) || (values.is_sequence() && values.size() == 0))
        return why = {ReadError::no_values, {}, name}, false;
      if (!values.is_sequence())
        return why = {ReadError::not_list, {}, "'values' of " + name}, false;
      if (!first) first = {values.size(), name};
      if (values.size() != first->first)
        return why = {ReadError::count_mismatch,
                      {},
                      {},
                      name + " has " + std::to_string(values.size()) + " values, " + first->second +
                          " has " + std::to_string(first->first)},
               false;
    }
  }
  return true;
}

// A coordinate: a bin with both edges (and a value of its own, or none) or
// a single value, which may be a text ('-') as a dependent value may.
bool read_coordinate(const Node& n, const std::string& here, Coordinate& c, ReadFailure& why) {
  Node low = n.at("low"), high = n.at("high"), value = n.at("value");
  if (low.defined() != high.defined())
    return why = {low.defined() ? ReadError::low_only : ReadError::high_only, {}, here}, false;
  c.bin = low.defined();
  c.has_value = value.defined();
  if (c.bin) {
    if (!number(low, c.low) || std::isnan(c.low))
      return why = {ReadError::not_number, {}, "low of " + here}, false;
    if (!number(high, c.high) || std::isnan(c.high))
      return why = {ReadError::not_number, {}, "high of " + here}, false;
    if (c.has_value && (!number(value, c.value) || std::isnan(c.value)))
      return why = {ReadError::not_number, {}, "value of " + here}, false;
  } else if (c.has_value) {
    if (!value.is_null() && !value.is_scalar())
      return why = {ReadError::not_number, {}, here}, false;
    if (!number(value, c.value)) {
      c.number = false, c.value = NAN, c.text = text(value);
    } else if (std::isnan(c.value)) {
      return why = {ReadError::not_number, {}, here}, false;
    }
  } else {
    return why = {ReadError::no_value, {}, here}, false;
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
  if (!n.is_scalar()) return false;
  std::string_view s = trimmed(n.text());
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

// Error `e` of a point of value `value`, its sides as magnitudes; the
// reason when it is none.
std::optional<ReadError> read_error(const Node& e, double value, Uncertainty& u) {
  Node sym = e.at("symerror"), asym = e.at("asymerror");
  if (sym.defined()) {
    if (!side(sym, value, u.down)) return ReadError::not_number;
    u.up = u.down;
  } else if (asym.defined()) {
    if (!side(asym.at("minus"), value, u.down) || !side(asym.at("plus"), value, u.up))
      return ReadError::not_number;
  } else {
    return ReadError::no_error_kind;
  }
  u.label = text(e.at("label"));
  return std::nullopt;
}

// A dependent value: a number with its errors, or a text ('-' for a bin
// not measured), kept as it is.
bool read_entry(const Node& n, const std::string& here, Entry& entry, ReadFailure& why) {
  Node value = n.at("value"), errors = n.at("errors");
  if (!value.defined()) return why = {ReadError::no_value, {}, here}, false;
  if (!value.is_null() && !value.is_scalar()) return why = {ReadError::not_number, {}, here}, false;
  if (!number(value, entry.value)) {
    entry.number = false, entry.value = NAN, entry.text = text(value);
    return true;
  }
  if (!present(errors)) return true;
  if (!errors.is_sequence()) return why = {ReadError::not_list, {}, "'errors' of " + here}, false;
  entry.errors.resize(errors.size());
  for (std::size_t j = 0; j < errors.size(); ++j)
    if (std::optional<ReadError> c = read_error(errors.item(j), entry.value, entry.errors[j]))
      return why = {*c, {}, "error " + std::to_string(j + 1) + " of " + here}, false;
  return true;
}

std::vector<Qualifier> qualifiers_of(const Node& var) {
  std::vector<Qualifier> out;
  Node list = var.at("qualifiers");
  if (!list.is_sequence()) return out;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const Node q = list.item(i);
    Qualifier& k = out.emplace_back();
    Node name = q.at("name"), value = q.at("value"), units = q.at("units");
    k.name = text(name);
    k.units = text(units);
    k.number = number(value, k.value);
    if (!k.number) k.text = text(value);
  }
  return out;
}

bool read_independent(const Node& var, std::size_t k, Independent& v, ReadFailure& why) {
  Node values = var.at("values");
  std::string name = called(var, "independent", k);
  v.header = header_of(var);
  v.values.resize(values.size());
  for (std::size_t i = 0; i < values.size(); ++i)
    if (!read_coordinate(values.item(i), point(i, name), v.values[i], why)) return false;
  return true;
}

bool read_dependent(const Node& var, std::size_t k, Dependent& v, ReadFailure& why) {
  Node values = var.at("values");
  std::string name = called(var, "dependent", k);
  v.header = header_of(var);
  v.qualifiers = qualifiers_of(var);
  v.values.resize(values.size());
  for (std::size_t i = 0; i < values.size(); ++i)
    if (!read_entry(values.item(i), point(i, name), v.values[i], why)) return false;
  return true;
}

bool parse(std::string_view text, Table& t, ReadFailure& why) {
  YamlDocument yaml;
  if (!yaml.parse(text, why)) return false;
  if (yaml.documents() == 0) return why = {ReadError::no_document, {}, ""}, false;
  if (yaml.documents() > 1)
    return why = {ReadError::documents, {}, std::to_string(yaml.documents())}, false;
  const Node doc = yaml.root();
  Walk walk{node_budget(text.size()), 0, why};
  if (!check(doc, "", 0, walk) || !check_variables(doc, why)) return false;
  Node xs = doc.at("independent_variables"), ys = doc.at("dependent_variables");
  t.independent.resize(xs.size());
  for (std::size_t k = 0; k < xs.size(); ++k)
    if (!read_independent(xs.item(k), k, t.independent[k], why)) return false;
  t.dependent.resize(ys.size());
  for (std::size_t k = 0; k < ys.size(); ++k)
    if (!read_dependent(ys.item(k), k, t.dependent[k], why)) return false;
  return true;
}

}  // namespace

bool parse_hepdata(std::string_view text, Table& table, ReadFailure& why) noexcept {
  return caught([&] { return parse(text, table, why); }, why);
}

}  // namespace tables
