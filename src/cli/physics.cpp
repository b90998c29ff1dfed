// --check's physics: what the values of a fit can mean at their
// positions, and what the bins tell together (the Monte Carlo fit against
// its matched count, the efficiency and the data yield over the matched
// count from bin to bin), with the thresholds a physicist would choose.

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "cli/findings.hpp"
#include "cli/results.hpp"

namespace cli {
namespace {

using core::matched_value;
using core::yield_value;

// The physics of a fit's values, each where its position says what it
// is: the fitted mass near the D0 mass, a width and a yield error above
// 0, the error below its yield. A value the reader left unset or could not
// hold is told above and not judged here.
constexpr double d0_mass = 1.86484;  // GeV
constexpr double mass_window = 0.02;
constexpr double widest = 0.05;

void add_values(const core::FitFile& f, std::vector<Found>& out) {
  auto item = [&f](int i) -> const recio::TracedItem& { return f.items[static_cast<unsigned>(i)]; };
  auto value = [&f](int i) { return static_cast<double>(f.values[static_cast<unsigned>(i)]); };
  auto judged = [&](int i) { return item(i).set && std::isfinite(value(i)); };
  constexpr int mass = 1, width = 2, error = 5;
  if (judged(mass) && !(std::fabs(value(mass) - d0_mass) <= mass_window))
    out.push_back({Finding::mass_far, item(mass).place, quoted(item(mass).text)});
  if (judged(width) && !(value(width) > 0 && value(width) < widest))
    out.push_back({Finding::width_out_of_range, item(width).place, quoted(item(width).text)});
  if (judged(error) && !(value(error) > 0))
    out.push_back({Finding::error_not_positive, item(error).place, quoted(item(error).text)});
  else if (judged(error) && judged(yield_value) && value(yield_value) > 0 &&
           value(error) >= value(yield_value))
    out.push_back({Finding::error_not_below_yield, item(error).place, quoted(item(error).text),
                   quoted(item(yield_value).text)});
}

// What the bins of a fit set tell together, from the files read whole
// with the values that divide above 0.
struct Bins {
  std::array<bool, core::bin_count> mc{}, both{};
  std::array<double, core::bin_count> matched{}, efficiency{}, data_ratio{};
  double median_ratio = 0;
};

Bins bins_of(const core::FitSet& fits) {
  Bins s;
  std::vector<double> ratios;
  for (int b = 0; b < core::bin_count; ++b) {
    const auto i = static_cast<unsigned>(b);
    const core::FitFile& mc = fits.file(b);
    const core::FitFile& data = fits.file(core::bin_count + b);
    s.matched[i] = mc.values[matched_value];
    s.mc[i] = mc.read_whole() && mc.items[matched_value].set && std::isfinite(s.matched[i]) &&
              s.matched[i] > 0;
    s.efficiency[i] = s.matched[i] / core::gen[b + 1];
    const double yield = data.values[yield_value];
    s.both[i] = s.mc[i] && data.read_whole() && std::isfinite(yield) && yield > 0;
    s.data_ratio[i] = yield / s.matched[i];
    if (s.both[i]) ratios.push_back(s.data_ratio[i]);
  }
  if (ratios.size() >= 3) {
    std::sort(ratios.begin(), ratios.end());
    const std::size_t n = ratios.size();
    s.median_ratio = n % 2 == 1 ? ratios[n / 2] : (ratios[n / 2 - 1] + ratios[n / 2]) / 2;
  }
  return s;
}

// Bin b's efficiency against its neighbours: a spike or a dip beyond a
// factor of 1.4 from both, or at the edges a factor of 4 from the one (the
// efficiency rises steeply over the first bins: 0.08 to 0.21 from bin 1
// to 2).
bool jumps(const Bins& s, int b) {
  const auto i = static_cast<unsigned>(b);
  const bool left = b > 0 && s.mc[i - 1], right = b + 1 < core::bin_count && s.mc[i + 1];
  const double e = s.efficiency[i];
  if (left && right) {
    const double lo = std::min(s.efficiency[i - 1], s.efficiency[i + 1]);
    const double hi = std::max(s.efficiency[i - 1], s.efficiency[i + 1]);
    return e > 1.4 * hi || 1.4 * e < lo;
  }
  if ((b == 0 && right) || (b + 1 == core::bin_count && left)) {
    const double n = s.efficiency[b == 0 ? i + 1 : i - 1];
    return e > 4 * n || 4 * e < n;
  }
  return false;
}

// The factor of the rule and the neighbours' efficiencies it was held to.
std::string neighbours(const Bins& s, int b) {
  if (b == 0 || b + 1 == core::bin_count)
    return "4 from its one neighbour's " + shown(s.efficiency[b == 0 ? 1u : unsigned(b - 1)]);
  return "1.4 from both its neighbours', " + shown(s.efficiency[unsigned(b - 1)]) + " and " +
         shown(s.efficiency[unsigned(b + 1)]);
}

// The Monte Carlo file of bin b against its own counts and its bin's
// neighbours: the fit recovers its matched count, the efficiency is at
// most 1 and follows its neighbours.
void add_mc_bin(const core::FitSet& fits, const Bins& s, int b, std::vector<Found>& out) {
  const auto i = static_cast<unsigned>(b);
  const core::FitFile& f = fits.file(b);
  if (!s.mc[i]) return;
  const recio::TracedItem& count = f.items[matched_value];
  const double yield = f.values[yield_value];
  if (std::isfinite(yield) && yield > 0) {
    const double r = yield / s.matched[i];
    if (!(r >= 0.8 && r <= 1.25))
      out.push_back(
          {Finding::fitted_over_matched, count.place, shown(r),
           quoted(f.items[yield_value].text) + " over the matched count " + quoted(count.text)});
  }
  if (s.efficiency[i] > 1)
    out.push_back({Finding::above_generated, count.place, quoted(count.text),
                   "the generated count " + std::to_string(static_cast<long>(core::gen[b + 1])) +
                       " of " + bin_name(b + 1)});
  else if (jumps(s, b))
    out.push_back({Finding::efficiency_jump, count.place,
                   shown(s.efficiency[i]) + " in " + bin_name(b + 1), neighbours(s, b)});
}

// The data file of bin b: its yield over the bin's matched count against
// the median of that ratio over the bins, which the detector and the
// luminosity keep nearly the same in every bin.
void add_data_bin(const core::FitSet& fits, const Bins& s, int b, std::vector<Found>& out) {
  const auto i = static_cast<unsigned>(b);
  if (!s.both[i] || s.median_ratio <= 0) return;
  const double q = s.data_ratio[i] / s.median_ratio;
  if (q > 1.3 || q < 1 / 1.3)
    out.push_back({Finding::data_over_matched,
                   fits.file(core::bin_count + b).items[yield_value].place,
                   shown(s.data_ratio[i]) + " in " + bin_name(b + 1), shown(s.median_ratio)});
}

// The first fit file before file k that holds the same bytes, or null.
const core::FitFile* same_as(const core::FitSet& fits, int k) {
  const core::FitFile& f = fits.file(k);
  if (!f.read_whole()) return nullptr;
  for (int j = 0; j < k; ++j) {
    const core::FitFile& g = fits.file(j);
    if (g.read_whole() && g.size == f.size && g.fingerprint == f.fingerprint) return &g;
  }
  return nullptr;
}

}  // namespace

void add_physics(const core::FitSet& fits, int k, std::vector<Found>& out) {
  const int b = k % core::bin_count;
  add_values(fits.file(k), out);
  const Bins s = bins_of(fits);
  if (k < core::bin_count)
    add_mc_bin(fits, s, b, out);
  else
    add_data_bin(fits, s, b, out);
  if (const core::FitFile* g = same_as(fits, k))
    out.push_back({Finding::same_bytes, {}, std::string(g->name)});
}

}  // namespace cli
