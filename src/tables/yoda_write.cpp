// Writing a table as YODA reference data: a Scatter2D of the V2 form per
// dependent variable, its YAML header written directly (its shape is
// fixed). A bin's x and its distances to the edges are worked in exact
// decimals, so that a reader that works them back gets the edges written.

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "tables/decimal.hpp"
#include "tables/hepdata.hpp"
#include "tables/write.hpp"
#include "tables/yoda.hpp"

namespace tables {
namespace {

// The pieces, one after the other, at the end of `out`: one call, where a
// chain of operator+ would repeat the code of each step.
void add(std::string& out, std::initializer_list<std::string_view> pieces) {
  for (std::string_view p : pieces) out.append(p);
}

// x, then its distances to the bin's low and high edges, each after a tab:
// the exact decimal centre and half width when the bin gives no x of its
// own; zero distances for a single value.
void add_x(std::string& out, const Coordinate& c) {
  if (!c.bin) return add(out, {shortest(c.value), "\t0\t0"});
  const double x = c.has_value ? c.value : (c.low + c.high) / 2;
  if (!std::isfinite(c.low) || !std::isfinite(c.high) || !std::isfinite(x))
    return add(out, {shortest(x), "\t", shortest(x - c.low), "\t", shortest(c.high - x)});
  const Decimal low = decimal_of(c.low), high = decimal_of(c.high);
  if (!c.has_value) {
    const std::string half_width = text_of(half(sum(high, negated(low))));
    return add(out, {text_of(half(sum(low, high))), "\t", half_width, "\t", half_width});
  }
  const Decimal at = decimal_of(c.value);
  add(out,
      {text_of(at), "\t", text_of(sum(at, negated(low))), "\t", text_of(sum(high, negated(at)))});
}

// A point's sources by name, as a flow map's entries: its labels, a
// repeated one numbered by its place ("sys_2") and an empty one called
// "error_" and its place; the downward size negative, by convention.
void add_sources(std::string& out, const std::vector<Uncertainty>& errors) {
  std::vector<std::string> names;
  for (std::size_t k = 0; k < errors.size(); ++k) {
    const Uncertainty& u = errors[k];
    std::string name = u.label.empty() ? "error_" + std::to_string(k + 1) : u.label;
    if (std::find(names.begin(), names.end(), name) != names.end())
      name.append("_").append(std::to_string(k + 1));
    names.push_back(name);
    char dn[32], up[32];
    add(out, {k > 0 ? ", " : "", yaml_scalar(name),
              ": {dn: ", number(u.down == 0 ? 0.0 : -u.down, dn), ", up: ", number(u.up, up), "}"});
  }
}

// The totals of a point, down and up: its errors in quadrature.
Uncertainty total(const Entry& e) {
  Uncertainty t;
  for (const Uncertainty& u : e.errors)
    t.down = std::hypot(t.down, u.down), t.up = std::hypot(t.up, u.up);
  return t;
}

void add_scatter(std::string& out, const Independent& x, const Dependent& y, std::size_t k) {
  const std::string path =
      "/REF/XPCORR/d01-x01-y" + std::string(k < 9 ? "0" : "") + std::to_string(k + 1);
  std::string title = y.header.name, breakdown, rows;
  if (!y.header.units.empty()) add(title, {" [", y.header.units, "]"});
  for (std::size_t i = 0; i < y.values.size() && i < x.values.size(); ++i) {
    const Entry& e = y.values[i];
    const Uncertainty t = e.number ? total(e) : Uncertainty{};
    add_x(rows, x.values[i]);
    add(rows, {"\t", e.number ? shortest(e.value) : "nan", "\t", shortest(t.down), "\t",
               shortest(t.up), "\n"});
    if (!e.number || e.errors.empty()) continue;
    add(breakdown, {breakdown.empty() ? "" : ", ", std::to_string(i), ": {"});
    add_sources(breakdown, e.errors);
    breakdown += "}";
  }
  add(out, {"BEGIN YODA_SCATTER2D_V2 ", path, "\nPath: ", path, "\nTitle: ", yaml_scalar(title),
            "\nType: Scatter2D\nIsRef: 1\n"});
  if (!breakdown.empty()) add(out, {"ErrorBreakdown: {", breakdown, "}\n"});
  add(out, {"---\n# xval\txerr-\txerr+\tyval\tyerr-\tyerr+\n", rows, "END YODA_SCATTER2D_V2\n"});
}

}  // namespace

std::string yoda_text(const Table& t) {
  std::string out;
  for (const std::string& c : t.comments) add(out, {"# ", c, "\n"});
  if (t.independent.empty()) return out;
  for (std::size_t k = 0; k < t.dependent.size(); ++k) {
    if (k > 0) out += "\n";
    add_scatter(out, t.independent.front(), t.dependent[k], k);
  }
  return out;
}

}  // namespace tables
