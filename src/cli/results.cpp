// The results table: the xp bins 4 to 9 as bins of $x_p$ (the name in
// dollars, HEPData's mark of LaTeX, so that it is drawn as x with a
// subscript p), then the fragmentation function and the rate, each with
// the branching ratio as a qualifier and its statistical and systematic
// errors.

#include "cli/results.hpp"

#include <cmath>

#include "core/fit_files.hpp"
#include "tables/write.hpp"

namespace cli {
namespace {

// Each bin width is a whole number of thousandths (the float nearest it),
// so the bin edges, running sums of the widths from xp = 0, are exact in
// thousandths and become the decimals written, never float sums.
constexpr int thousandths(float width) { return static_cast<int>(double(width) * 1000 + 0.5); }

constexpr bool widths_are_thousandths() {
  for (int b = 1; b <= core::bin_count; ++b)
    if (static_cast<float>(thousandths(core::dxp[b]) / 1000.0) != core::dxp[b]) return false;
  return true;
}
static_assert(widths_are_thousandths());

// The edges of bin b, summed in thousandths so that they are exact, then
// as the nearest doubles.
struct Edges {
  double low, high;
};

Edges edges(int b) {
  int low = 0;
  for (int k = 1; k < b; ++k) low += thousandths(core::dxp[k]);
  return {low / 1000.0, (low + thousandths(core::dxp[b])) / 1000.0};
}

tables::Independent xp_bins() {
  tables::Independent x{{"$x_p$", ""}, {}};
  for (int b = core::first_reported; b <= core::last_reported; ++b)
    x.values.push_back(tables::Coordinate::of_bin(edges(b).low, edges(b).high));
  return x;
}

tables::Dependent variable(const char* name,
                           const std::array<core::WithErrors, core::reported_count>& rows) {
  tables::Dependent d{{name, ""}, {{"BR", true, tables::decimal(core::BR), "", ""}}, {}};
  for (const core::WithErrors& row : rows) {
    const double stat = tables::decimal(row[1]), sys = tables::decimal(row[2]);
    d.values.push_back(
        {true, tables::decimal(row[0]), "", {{stat, stat, "stat"}, {sys, sys, "sys"}}});
  }
  return d;
}

}  // namespace

tables::Table results_table(const core::FinalValues& v) {
  return {{}, {xp_bins()}, {variable("fragmentation function", v.frag), variable("rate", v.rate)}};
}

std::string bin_name(int b) {
  char low[32], high[32];
  const Edges e = edges(b);
  std::string name = "bin ";
  name.append(std::to_string(b)).append(" (xp ").append(tables::number(e.low, low));
  name.append(" to ").append(tables::number(e.high, high)) += ')';
  return name;
}

namespace {

// A final value of bin b is worked from the data yield of the bin over
// its matched count: the first of these that explains a value that is not
// finite.
void append_cause(std::string& why, const core::Measurement& m, int b) {
  const std::string_view mc = core::mc_files[static_cast<unsigned>(b - 1)];
  const std::string_view data = core::data_files[static_cast<unsigned>(b - 1)];
  if (m.mcmatch[b] == 0)
    why.append("the matched count of ").append(mc).append(" is 0");
  else if (std::isinf(m.dayield[b]))
    why.append("the fitted yield of ").append(data).append(" is beyond single precision");
  else if (std::isinf(m.mcmatch[b]))
    why.append("the matched count of ").append(mc).append(" is beyond single precision");
  else
    why.append("the fitted yield of ")
        .append(data)
        .append(" is too large for the matched count of ")
        .append(mc);
}

// The text of a value that is not finite: which it is, its bin, what it
// is and why.
std::string describe(std::string_view part, std::string_view name, int b, bool nan,
                     const core::Measurement& m) {
  std::string why(part);
  why.append(name).append(" of ").append(bin_name(b));
  why.append(nan ? " is NaN, as " : " is infinite, as ");
  append_cause(why, m, b);
  return why.append(" (xpcorr --check examines the fit files)");
}

constexpr std::string_view parts[] = {"", "the statistical error of ", "the systematic error of "};

// The first non-empty text `say(part, name, bin, x)` gives, over the
// rate's and the fragmentation function's values, statistical and
// systematic errors, bin by bin; empty when every one gives none.
template <class Say>
std::string first_of(const core::FinalValues& v, Say say) {
  const std::pair<std::string_view, const decltype(v.rate)*> quantities[] = {
      {"the rate", &v.rate}, {"the fragmentation function", &v.frag}};
  for (const auto& [name, rows] : quantities)
    for (int b = core::first_reported; b <= core::last_reported; ++b) {
      const core::WithErrors& row = (*rows)[static_cast<unsigned>(b - core::first_reported)];
      for (unsigned k = 0; k < row.size(); ++k)
        if (std::string why = say(k, name, b, row[k]); !why.empty()) return why;
    }
  return {};
}

}  // namespace

std::string not_finite(const core::Measurement& m, const core::FinalValues& v) {
  return first_of(v, [&](unsigned k, std::string_view name, int b, float x) {
    return std::isfinite(x) ? std::string() : describe(parts[k], name, b, std::isnan(x), m);
  });
}

// A fit that failed gives a yield of 0 or a count below 0, and through
// them a final value of 0 or below: a table would carry it as a
// measurement.
std::string not_measured(const core::FinalValues& v) {
  return first_of(v, [](unsigned k, std::string_view name, int b, float x) {
    if (k == 0 ? x > 0 : x >= 0) return std::string();
    char buf[32];
    std::string why(parts[k]);
    why.append(name).append(" of ").append(bin_name(b)).append(" is ");
    why.append(tables::number(tables::decimal(x), buf));
    why.append(k == 0 ? ", not above 0" : ", below 0");
    return why.append(": a failed fit is no measurement (xpcorr --check examines the fit files)");
  });
}

}  // namespace cli
