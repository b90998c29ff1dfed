// A table's drawable series: the x of each point from the first independent
// variable, the value and the errors, summed, from one dependent variable,
// and the points split by the values of the other independent variables.

#include "plot/series.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <tuple>

#include "tables/decimal.hpp"
#include "tables/read.hpp"

namespace plot {

namespace {

// A bin's x is the value it gives, else its centre: the midpoint of the
// edges as written, rounded once (0.075 for 0.05 to 0.1, where the
// doubles' own midpoint is 0.07500000000000001).
double centre(double low, double high) {
  if (!std::isfinite(low) || !std::isfinite(high)) return (low + high) / 2;
  return tables::rounded(
      tables::half(tables::sum(tables::decimal_of(low), tables::decimal_of(high))));
}

void place(const tables::Coordinate& c, Point& p) {
  if (c.bin) {
    p.low = c.low, p.high = c.high;
    p.x = c.has_value ? c.value : centre(c.low, c.high);
  } else if (!c.number) {
    p.low = p.high = p.x = NAN;
    p.x_number = false, p.x_text = tables::shown(c.text, 40);
  } else {
    p.low = p.high = p.x = c.value;
  }
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The errors of a value: those labelled "stat..." (any case) make the
// statistical pair, all of them in quadrature the total.
void add_errors(const tables::Entry& e, Point& p) {
  for (const tables::Uncertainty& u : e.errors) {
    if (lower(u.label.substr(0, 4)) == "stat")
      p.stat_down = std::hypot(p.stat_down, u.down), p.stat_up = std::hypot(p.stat_up, u.up);
    p.total_down = std::hypot(p.total_down, u.down);
    p.total_up = std::hypot(p.total_up, u.up);
    p.has_errors = true;
  }
}

// One independent value as a slice shows it: "5 < $p_T$ < 7 GeV",
// "$\sqrt{s}$ = 13 TeV", an open bin as one bound.
std::string shown_value(const tables::Independent& v, const tables::Coordinate& c) {
  std::string name = v.header.name.empty() ? "x" : v.header.name;
  std::string units = v.header.units.empty() ? "" : " " + v.header.units;
  if (!c.bin) return name + " = " + (c.number ? tables::shortest(c.value) : c.text) + units;
  if (std::isinf(c.low) && std::isinf(c.high)) return name + " any";
  if (std::isinf(c.high)) return name + " > " + tables::shortest(c.low) + units;
  if (std::isinf(c.low)) return name + " < " + tables::shortest(c.high) + units;
  return tables::shortest(c.low) + " < " + name + " < " + tables::shortest(c.high) + units;
}

// A qualifier as a label shows it: "$\sqrt{s}$ = 13 TeV".
std::string shown_qualifier(const tables::Qualifier& q) {
  std::string value = q.number ? tables::shortest(q.value) : q.text;
  return q.name + " = " + value + (q.units.empty() ? "" : " " + q.units);
}

// Two coordinates are the same value of their variable.
bool same(const tables::Coordinate& a, const tables::Coordinate& b) {
  return std::tie(a.bin, a.has_value, a.low, a.high, a.value, a.number, a.text) ==
         std::tie(b.bin, b.has_value, b.low, b.high, b.value, b.number, b.text);
}

bool same_other_values(const tables::Table& t, std::size_t i, std::size_t j) {
  for (std::size_t k = 1; k < t.independent.size(); ++k)
    if (!same(t.independent[k].values[i], t.independent[k].values[j])) return false;
  return true;
}

// The points of each combination of the other independent variables'
// values, in the order each combination first appears.
std::vector<std::vector<std::size_t>> slices_of(const tables::Table& t) {
  std::vector<std::vector<std::size_t>> slices;
  std::size_t n = t.independent.front().values.size();
  for (std::size_t i = 0; i < n; ++i) {
    auto s = std::ranges::find_if(
        slices, [&](const auto& points) { return same_other_values(t, points.front(), i); });
    if (s == slices.end())
      slices.push_back({i});
    else
      s->push_back(i);
  }
  return slices;
}

std::size_t column_index(const tables::Table& t, int column) {
  if (column > 0) return static_cast<std::size_t>(column) - 1;
  for (std::size_t i = 0; i < t.dependent.size(); ++i)
    if (t.dependent[i].header.name == "fragmentation function") return i;
  return 0;
}

}  // namespace

bool series_of(const tables::Table& t, const Pick& pick, std::vector<Series>& out, Failure& why) {
  const std::size_t n = t.dependent.size();
  if (pick.column > 0 && static_cast<std::size_t>(pick.column) > n)
    return why = {Cause::no_column, "",
                  std::to_string(pick.column) + " (the table has " + std::to_string(n) + ")"},
           false;
  std::vector<std::vector<std::size_t>> slices = slices_of(t);
  if (pick.slice > 0 && static_cast<std::size_t>(pick.slice) > slices.size())
    return why = {Cause::no_slice, "",
                  std::to_string(pick.slice) + " (the table has " + std::to_string(slices.size()) +
                      ")"},
           false;
  const tables::Dependent& ys = t.dependent[column_index(t, pick.column)];
  for (std::size_t k = 0; k < slices.size(); ++k) {
    if (pick.slice > 0 && k + 1 != static_cast<std::size_t>(pick.slice)) continue;
    Series& s = out.emplace_back();
    s.x = t.independent.front().header, s.y = ys.header;
    for (const tables::Qualifier& q : ys.qualifiers) s.qualifiers.push_back(shown_qualifier(q));
    std::size_t first = slices[k].front();
    for (std::size_t v = 1; v < t.independent.size(); ++v) {
      if (v > 1) s.slice += ", ", s.others += ", ";
      s.slice += shown_value(t.independent[v], t.independent[v].values[first]);
      s.others += t.independent[v].header.name.empty() ? "x" : t.independent[v].header.name;
    }
    for (std::size_t i : slices[k]) {
      Point& p = s.points.emplace_back();
      const tables::Entry& e = ys.values[i];
      place(t.independent.front().values[i], p);
      p.number = e.number, p.value = e.value;
      if (!e.number) p.text = tables::shown(e.text, 20);
      add_errors(e, p);
    }
  }
  return true;
}

// A correlation matrix by its values: 1 wherever both independent
// variables take the same value, at two such points or more, and none
// beyond 1 in size.
bool unit_diagonal(const tables::Table& t, const tables::Dependent& y) {
  std::size_t diagonal = 0;
  for (std::size_t i = 0; i < y.values.size(); ++i) {
    const tables::Entry& e = y.values[i];
    if (e.number && !(std::fabs(e.value) <= 1)) return false;
    if (!same(t.independent[0].values[i], t.independent[1].values[i])) continue;
    if (!e.number || e.value != 1) return false;
    ++diagonal;
  }
  return diagonal >= 2;
}

std::string matrix(const tables::Table& t, int column) {
  if (t.independent.size() < 2 || t.dependent.empty()) return "";
  const tables::Header &a = t.independent[0].header, &b = t.independent[1].header;
  if (a.name == b.name && a.units == b.units)
    return "both independent variables are '" + tables::shown(a.name) + "'";
  const std::string names =
      "' over '" + tables::shown(a.name) + "' and '" + tables::shown(b.name) + "'";
  const std::string ab = lower(a.name) + " " + lower(b.name);
  if (ab == "column row" || ab == "row column")
    return "the independent variables are '" + tables::shown(a.name) + "' and '" +
           tables::shown(b.name) + "'";
  const tables::Dependent& y =
      t.dependent[std::min(column_index(t, column), t.dependent.size() - 1)];
  for (const char* word : {"correlation", "covariance"})
    if (lower(y.header.name).find(word) != std::string::npos)
      return std::string("'").append(tables::shown(y.header.name)) + names;
  if (unit_diagonal(t, y))
    return std::string("'").append(tables::shown(y.header.name)) + "' is 1 wherever '" +
           tables::shown(a.name) + "' equals '" + tables::shown(b.name) + "'";
  return "";
}

void join_single_points(std::vector<Series>& series) {
  std::vector<Series> out;
  for (std::size_t k = 0; k < series.size();) {
    std::size_t end = k;
    while (end < series.size() && series[end].table == series[k].table) ++end;
    auto same_x = [](const Point& a, const Point& b) {
      return std::tie(a.low, a.high, a.x, a.x_text) == std::tie(b.low, b.high, b.x, b.x_text) ||
             (!a.x_number && a.x_text == b.x_text);
    };
    bool single = end - k > 1;
    for (std::size_t i = k; single && i < end; ++i) {
      single = series[i].points.size() == 1 && !series[i].others.empty();
      for (std::size_t j = k; single && j < i; ++j)
        single = !same_x(series[j].points[0], series[i].points[0]);
    }
    out.push_back(std::move(series[k]));
    if (single) {
      out.back().slice = out.back().others + " per point";
      for (std::size_t i = k + 1; i < end; ++i) out.back().points.push_back(series[i].points[0]);
    } else {
      for (std::size_t i = k + 1; i < end; ++i) out.push_back(std::move(series[i]));
    }
    k = end;
  }
  series = std::move(out);
}

bool no_title(std::string_view name) {
  std::string_view n = name;
  while (!n.empty() && std::isspace(static_cast<unsigned char>(n.front()))) n.remove_prefix(1);
  while (!n.empty() && std::isspace(static_cast<unsigned char>(n.back()))) n.remove_suffix(1);
  for (std::string_view prefix : {"doi:", "DOI:", "https://doi.org/", "http://dx.doi.org/"})
    if (n.starts_with(prefix)) return true;
  std::size_t digits = 0;
  while (3 + digits < n.size() && std::isdigit(static_cast<unsigned char>(n[3 + digits]))) ++digits;
  bool doi = n.starts_with("10.") && digits >= 4 && n.substr(3 + digits).starts_with('/');
  return n.empty() || (doi && n.find(' ') == std::string_view::npos);
}

void tell_apart(std::vector<Series>& series, std::size_t labelled) {
  std::vector<std::string> suffixes(series.size());
  for (std::size_t k = 0; k < series.size(); ++k) {
    const Series& s = series[k];
    if (s.table < labelled) continue;
    std::vector<const Series*> alike;  // of other columns, under the same label
    for (const Series& t : series)
      if (t.table >= labelled && t.table != s.table && t.label == s.label) alike.push_back(&t);
    if (alike.empty()) continue;
    std::string own;
    for (const std::string& q : s.qualifiers)
      if (std::ranges::any_of(alike, [&](const Series* t) {
            return std::ranges::find(t->qualifiers, q) == t->qualifiers.end();
          }))
        own += (own.empty() ? "" : ", ") + q;
    bool named = std::ranges::all_of(alike, [&](const Series* t) { return t->y.name != s.y.name; });
    suffixes[k] = !own.empty() ? own : named ? s.y.name : "";
  }
  for (std::size_t k = 0; k < series.size(); ++k)
    if (!suffixes[k].empty()) series[k].label += ", " + suffixes[k];
}

std::string full_label(const Series& s) {
  return s.slice.empty() ? s.label : s.label + ", " + s.slice;
}

}  // namespace plot
