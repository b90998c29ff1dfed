// The results table: the xp bins 4 to 9 as bins of x_p, then the
// fragmentation function and the rate, each with the branching ratio as a
// qualifier and its statistical and systematic errors.

#include "cli/results.hpp"

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

tables::Independent xp_bins() {
  tables::Independent x{{"x_p", ""}, {}};
  int low = 0;
  for (int b = 1; b <= core::bin_count; ++b) {
    const int high = low + thousandths(core::dxp[b]);
    if (b >= core::first_reported)
      x.values.push_back({true, false, low / 1000.0, high / 1000.0, 0, true, ""});
    low = high;
  }
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

}  // namespace cli
