// Reading a results table: the whole file parsed by yaml-cpp, every key
// checked against those HEPData allows, then the x_p bins and the
// fragmentation function taken out as numbers.

#include "table.hpp"

#include <yaml-cpp/yaml.h>

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>

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

// The first key, depth first, that HEPData does not allow where it stands.
std::optional<std::string> forbidden_key(const Node& n, std::string_view parent) {
  if (n.IsSequence())
    for (const Node& item : n)
      if (auto k = forbidden_key(item, parent)) return k;
  if (n.IsMap())
    for (const auto& kv : n) {
      std::string key = kv.first.IsScalar() ? kv.first.Scalar() : "?";
      if (!allowed_under(parent, key)) return key;
      if (auto k = forbidden_key(kv.second, key)) return k;
    }
  return std::nullopt;
}

// A map's entry, or an undefined node for a missing key or a node that is
// not a map (yaml-cpp throws on subscripting a scalar).
Node at(const Node& n, const char* key) { return n.IsMap() ? n[key] : Node(YAML::NodeType::Undefined); }

bool number(const Node& n, double& x) { return n.IsScalar() && YAML::convert<double>::decode(n, x); }

// The first variable of `group` whose header names `name`.
std::optional<Node> variable(const Node& doc, const char* group, std::string_view name) {
  Node list = at(doc, group);
  if (list.IsSequence())
    for (const Node& v : list) {
      Node n = at(at(v, "header"), "name");
      if (n.IsScalar() && n.Scalar() == name) return v;
    }
  return std::nullopt;
}

// Adds one error of a point: symmetric or downward/upward, to the stat pair
// when labelled so, and in quadrature to the total.
bool add_error(const Node& e, Point& p) {
  double down = 0, up = 0;
  if (at(e, "symerror")) {
    if (!number(at(e, "symerror"), down)) return false;
    up = down;
  } else if (!number(at(at(e, "asymerror"), "minus"), down) || !number(at(at(e, "asymerror"), "plus"), up)) {
    return false;
  }
  down = std::fabs(down), up = std::fabs(up);
  Node label = at(e, "label");
  if (label.IsScalar() && label.Scalar() == "stat") p.stat_down = down, p.stat_up = up;
  p.total_down = std::hypot(p.total_down, down);
  p.total_up = std::hypot(p.total_up, up);
  return true;
}

// The bins of `xp` with the values and errors of `ff`, one point each.
bool read_points(const Node& xp, const Node& ff, Table& t, Failure& why) {
  Node bins = at(xp, "values"), values = at(ff, "values");
  if (!bins.IsSequence()) return why = {Cause::bad_shape, "", "'values' of 'x_p'"}, false;
  if (!values.IsSequence()) return why = {Cause::bad_shape, "", "'values' of 'fragmentation function'"}, false;
  if (bins.size() != values.size())
    return why = {Cause::count_mismatch, "",
                  "'fragmentation function' has " + std::to_string(values.size()) + " values for " +
                      std::to_string(bins.size()) + " x_p bins"},
           false;
  t.points.assign(bins.size(), Point{});
  for (std::size_t i = 0; i < bins.size(); ++i) {
    Point& p = t.points[i];
    std::string nth = std::to_string(i + 1);
    if (!number(at(bins[i], "low"), p.low) || !number(at(bins[i], "high"), p.high))
      return why = {Cause::not_number, "", "low or high of x_p bin " + nth}, false;
    if (!number(at(values[i], "value"), p.value))
      return why = {Cause::not_number, "", "value " + nth + " of 'fragmentation function'"}, false;
    Node errors = at(values[i], "errors");
    if (errors && !errors.IsSequence())
      return why = {Cause::bad_shape, "", "'errors' of value " + nth + " of 'fragmentation function'"}, false;
    for (std::size_t j = 0; errors && j < errors.size(); ++j)
      if (!add_error(errors[j], p))
        return why = {Cause::not_number, "", "error " + std::to_string(j + 1) + " of value " + nth + " of 'fragmentation function'"}, false;
  }
  return true;
}

bool read_file(const std::string& path, std::string& text, Failure& why) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return why = {Cause::unreadable, path, std::strerror(errno)}, false;
  char buf[65536];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
  bool ok = !std::ferror(f);
  if (!ok) why = {Cause::unreadable, path, std::strerror(errno)};
  std::fclose(f);
  return ok;
}

}  // namespace

bool read_table(const std::string& path, Table& table, Failure& why) noexcept {
  try {
    std::string text;
    if (!read_file(path, text, why)) return false;
    Node doc = YAML::Load(text);
    if (auto key = forbidden_key(doc, "")) return why = {Cause::forbidden_key, path, *key}, false;
    std::optional<Node> xp = variable(doc, "independent_variables", "x_p");
    if (!xp) return why = {Cause::no_x_p, path, ""}, false;
    std::optional<Node> ff = variable(doc, "dependent_variables", "fragmentation function");
    if (!ff) return why = {Cause::no_fragmentation, path, ""}, false;
    if (read_points(*xp, *ff, table, why)) return true;
    why.subject = path;
    return false;
  } catch (const YAML::ParserException& e) {
    why = {Cause::not_yaml, path, "line " + std::to_string(e.mark.line + 1) + ", column " +
                                      std::to_string(e.mark.column + 1) + ": " + e.msg};
  } catch (const std::exception& e) {
    why = {Cause::not_yaml, path, e.what()};
  }
  return false;
}

}  // namespace plot
