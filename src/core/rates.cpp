// Rate computation and bias correction. The formulas keep the grouping of
// the physics note; changing it, or rounding after each operation, moves
// the last bit of some rates.

#include "core/rates.hpp"

namespace core {

namespace {

// A fitted yield over 1.0E6, scaled by the bin's efficiency correction
// gen(b) / mcmatch(b) from the Monte Carlo file of the same bin. A yield
// not above 0 (NaN included) leaves the rate as it was.
void fitted_rate(const PerBin& yield, const PerBin& mcmatch, PerBin& rate) noexcept {
  for (int b = 1; b <= bin_count; ++b) {
    if (yield[b] > 0)
      rate[b] =
          single((double(yield[b]) / double(norm)) *
                 ((double(gen[b]) / double(mcmatch[b])) * double(rate_scale)) / double(dxp[b]));
  }
}

// sum = dxp(b) × rate(b) + sum, the product not rounded on its own.
void add_weighted(float& sum, int b, const PerBin& rate) noexcept {
  sum = single(double(dxp[b]) * double(rate[b]) + double(sum));
}

}  // namespace

void compute_generated(Measurement& m) noexcept {
  for (int b = 1; b <= bin_count; ++b)
    m.ger[b] = single(((double(gen[b]) / double(norm)) * double(rate_scale)) / double(dxp[b]));
}

void compute_mc(Measurement& m) noexcept { fitted_rate(m.mcyield, m.mcmatch, m.mcr); }

void compute_data(Measurement& m) noexcept { fitted_rate(m.dayield, m.mcmatch, m.dar); }

Sums totals(const Measurement& m) noexcept {
  Sums s;
  for (int b = 1; b <= bin_count; ++b) {
    add_weighted(s.sger, b, m.ger);
    add_weighted(s.smcr, b, m.mcr);
    add_weighted(s.sdar, b, m.dar);
  }
  for (int b = first_reported; b <= last_reported; ++b) {
    add_weighted(s.sger6, b, m.ger);
    add_weighted(s.smcr6, b, m.mcr);
    add_weighted(s.sdar6, b, m.dar);
  }
  return s;
}

void correct_bias(Measurement& m) noexcept {
  for (int b = 1; b <= bin_count; ++b) {
    m.ger[b] = single(double(m.ger[b]) / double(bias[b]));
    m.mcr[b] = single(double(m.mcr[b]) / double(bias[b]));
    m.dar[b] = single(double(m.dar[b]) / double(bias[b]));
  }
}

void to_final_rate(Measurement& m, int b) noexcept { m.dar[b] = product(m.dar[b], dxp[b]); }

void to_fragmentation(Measurement& m, int b) noexcept { m.dar[b] = ratio(m.dar[b], dxp[b]); }

namespace {

WithErrors with_errors(const Measurement& m, int b) noexcept {
  return {m.dar[b], product(m.dar[b], stat[b]), product(m.dar[b], syst[b])};
}

}  // namespace

// Every rate is formed before the fragmentation function of any bin, as the
// report lists them: the fragmentation function is the round trip of the
// rate stored in dar, not a fresh copy of the corrected rate.
FinalValues final_values(Measurement& m) noexcept {
  FinalValues v;
  for (int b = first_reported; b <= last_reported; ++b) {
    to_final_rate(m, b);
    v.rate[static_cast<unsigned>(b - first_reported)] = with_errors(m, b);
  }
  for (int b = first_reported; b <= last_reported; ++b) {
    to_fragmentation(m, b);
    v.frag[static_cast<unsigned>(b - first_reported)] = with_errors(m, b);
  }
  return v;
}

}  // namespace core
