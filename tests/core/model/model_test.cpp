// The program's rate arithmetic against the MPFR model, bit for bit, over
// random inputs: realistic fits, exact and near rounding ties, zeros of
// both signs, negatives, huge, tiny and subnormal values, infinities, NaN.

#include "model.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>

#include "core/rates.hpp"

namespace {

constexpr std::uint64_t seed = 20261207;

std::uint32_t bits(float x) { return std::bit_cast<std::uint32_t>(x); }
float from_bits(std::uint32_t b) { return std::bit_cast<float>(b); }

// Random floats of the kinds that matter for rounding, from one seeded
// generator mapped by hand so that every platform draws the same values.
class Inputs {
 public:
  explicit Inputs(std::uint64_t s) : rng_(s) {}

  std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(rng_() % n); }
  double unit() { return static_cast<double>(rng_() >> 11) * 0x1p-53; }
  std::uint32_t mantissa() { return static_cast<std::uint32_t>(rng_()) & 0x7fffffu; }

  // The float of the given sign bit, biased exponent and fraction bits.
  static float make(std::uint32_t sign, std::uint32_t exponent, std::uint32_t fraction) {
    return from_bits(sign << 31 | exponent << 23 | fraction);
  }

  // A whole count from 1e2 to 1e6, evenly spread over its logarithm.
  float count() { return static_cast<float>(std::round(1e2 * std::pow(1e4, unit()))); }

  // A yield near a count: a fraction of it with all bits used, a whole
  // number or a half.
  float near(float c) {
    double y = c * (0.2 + 1.1 * unit());
    switch (below(3)) {
      case 0: return static_cast<float>(y);
      case 1: return static_cast<float>(std::round(y));
      default: return static_cast<float>(std::floor(y) + 0.5);
    }
  }

  // An odd significand of 1 to 24 bits at a random scale: the product or
  // sum of two often takes exactly 25 bits, halfway between two floats.
  float short_mantissa() {
    std::uint32_t width = 1 + below(24);
    float m = static_cast<float>((rng_() & ((1u << width) - 1)) | 1);
    int scale = static_cast<int>(below(61)) - 30;
    return std::ldexp(below(2) ? -m : m, scale);
  }

  // A value of any kind, from a realistic count to a NaN. (The draws are
  // sequenced: every compiler then sees the same values for a seed.)
  float any() {
    std::uint32_t sign = below(2), frac = mantissa(), e = below(256);
    switch (below(12)) {
      case 0: return count();
      case 1: return near(count());
      case 2: return -near(count());
      case 3: return short_mantissa();
      case 4: return make(sign, 0, 0);                 // ±0
      case 5: return make(sign, 224 + e % 31, frac);   // huge, up to the largest
      case 6: return make(sign, 1 + e % 24, frac);     // tiny normal
      case 7: return make(sign, 0, frac);              // subnormal
      case 8: return make(sign, 255, 0);               // ±infinity
      case 9: return make(sign, 255, frac | 1);        // NaN, quiet or signalling
      case 10: return make(sign, e, frac);             // any bit pattern
      default: return make(sign, 107 + e % 40, frac);  // 2^-20 to 2^20
    }
  }

  // A rate as the tables hold them: mostly of realistic size, often with
  // few bits, sometimes anything.
  float rate() {
    std::uint32_t frac = mantissa(), e = below(255);
    switch (below(5)) {
      case 0:
      case 1: return make(0, 110 + e % 24, frac);  // 2^-17 to 2^7
      case 2: return short_mantissa();
      case 3: return make(0, e, frac);  // any positive finite value
      default: return any();
    }
  }

  // An operand of a printed ratio or product.
  float operand() {
    switch (below(3)) {
      case 0: return any();
      case 1: return rate();
      default: return short_mantissa();
    }
  }

 private:
  std::mt19937_64 rng_;
};

// Two results agree when their bits do; any NaN matches any NaN, since the
// sign and payload of a NaN are the hardware's, not the arithmetic's.
bool same(float model, float program) {
  return bits(model) == bits(program) || (std::isnan(model) && std::isnan(program));
}

std::string hex(float x) {
  char s[16];
  std::snprintf(s, sizeof s, "0x%08x", bits(x));
  return s;
}

// The first value in which the program and the model part, if any.
struct Check {
  std::string first;
  void operator()(const char* what, int bin, float model, float program) {
    if (!first.empty() || same(model, program)) return;
    std::ostringstream s;
    s << what;
    if (bin) s << " of bin " << bin;
    s << ": model " << hex(model) << " (" << model << "), program " << hex(program) << " ("
      << program << ")";
    first = s.str();
  }
};

std::string bins_by_bits(const char* name, const core::PerBin& v) {
  std::ostringstream s;
  s << "\n  " << name << ":";
  for (float x : v.v) s << ' ' << hex(x);
  return s.str();
}

// The three rates of every bin, as both sides hold them now.
void compare_rates(Check& c, const model::Run& r, const core::Measurement& m) {
  for (int b = 1; b <= 9; ++b) {
    c("ger", b, r.ger[b], m.ger[b]);
    c("mcr", b, r.mcr[b], m.mcr[b]);
    c("dar", b, r.dar[b], m.dar[b]);
  }
}

// Step 4 and the printed tables around it: the six totals and their
// ratio, each rate over the generated one and each rate times the width.
// The generated rate over itself is printed before the correction only.
void compare_tables(Check& c, const model::Run& r, const core::Measurement& m, bool corrected) {
  const model::Tables& t = model::tables();
  model::Sums ms = model::totals(r);
  core::Sums ps = core::totals(m);
  c("sger", 0, ms.sger, ps.sger);
  c("smcr", 0, ms.smcr, ps.smcr);
  c("sdar", 0, ms.sdar, ps.sdar);
  c("sger6", 0, ms.sger6, ps.sger6);
  c("smcr6", 0, ms.smcr6, ps.smcr6);
  c("sdar6", 0, ms.sdar6, ps.sdar6);
  c("sger6/sger", 0, model::ratio(ms.sger6, ms.sger), core::ratio(ps.sger6, ps.sger));
  for (int b = 4; b <= 9; ++b) {
    if (!corrected)
      c("ger/ger", b, model::ratio(r.ger[b], r.ger[b]), core::ratio(m.ger[b], m.ger[b]));
    c("mcr/ger", b, model::ratio(r.mcr[b], r.ger[b]), core::ratio(m.mcr[b], m.ger[b]));
    c("dar/ger", b, model::ratio(r.dar[b], r.ger[b]), core::ratio(m.dar[b], m.ger[b]));
    c("ger*dxp", b, model::product(r.ger[b], t.dxp[b]), core::product(m.ger[b], core::dxp[b]));
    c("mcr*dxp", b, model::product(r.mcr[b], t.dxp[b]), core::product(m.mcr[b], core::dxp[b]));
    c("dar*dxp", b, model::product(r.dar[b], t.dxp[b]), core::product(m.dar[b], core::dxp[b]));
  }
}

// The row printed after step 6 or 7 stored dar of bin b: the value and
// its statistical and systematic errors.
void compare_final_row(Check& c, const char* what, const model::Run& r, const core::Measurement& m,
                       int b) {
  const model::Tables& t = model::tables();
  c(what, b, r.dar[b], m.dar[b]);
  c("dar*stat", b, model::product(r.dar[b], t.stat[b]), core::product(m.dar[b], core::stat[b]));
  c("dar*syst", b, model::product(r.dar[b], t.syst[b]), core::product(m.dar[b], core::syst[b]));
}

// Steps 4 to 7 from the rates both sides hold now, in the order of a run.
void from_rates_on(Check& c, model::Run& r, core::Measurement& m) {
  compare_tables(c, r, m, false);
  model::correct_bias(r);
  core::correct_bias(m);
  compare_rates(c, r, m);
  compare_tables(c, r, m, true);
  for (int b = 4; b <= 9; ++b) {
    model::final_rate(r, b);
    core::to_final_rate(m, b);
    compare_final_row(c, "final rate", r, m, b);
  }
  for (int b = 4; b <= 9; ++b) {
    model::fragmentation(r, b);
    core::to_fragmentation(m, b);
    compare_final_row(c, "fragmentation", r, m, b);
  }
}

model::Run as_run(const core::Measurement& m) {
  model::Run r;
  r.mcmatch.v = m.mcmatch.v;
  r.mcyield.v = m.mcyield.v;
  r.dayield.v = m.dayield.v;
  r.ger.v = m.ger.v;
  r.mcr.v = m.mcr.v;
  r.dar.v = m.dar.v;
  return r;
}

// Whole runs from random fit files: matched counts and yields mostly
// realistic, one value in seven of any kind.
TEST(model, every_step_of_a_run_from_fit_values) {
  const int runs = 25000;  // 27 random inputs each
  Inputs in(seed);
  for (int i = 0; i < runs; ++i) {
    core::Measurement m;
    for (int b = 1; b <= 9; ++b) {
      m.mcmatch[b] = in.below(7) ? in.count() : in.any();
      bool realistic = m.mcmatch[b] >= 1e2f && m.mcmatch[b] <= 1e6f;  // false for NaN
      float base = realistic ? m.mcmatch[b] : in.count();
      m.mcyield[b] = in.below(7) ? in.near(base) : in.any();
      m.dayield[b] = in.below(7) ? in.near(base) : in.any();
    }
    model::Run r = as_run(m);
    Check c;
    model::generated_rates(r);
    model::mc_rates(r);
    model::data_rates(r);
    core::compute_generated(m);
    core::compute_mc(m);
    core::compute_data(m);
    compare_rates(c, r, m);
    from_rates_on(c, r, m);
    if (!c.first.empty())  // the fit values are inputs only, still as drawn
      FAIL() << "seed " << seed << ", run " << i << ": " << c.first
             << bins_by_bits("mcmatch", m.mcmatch) << bins_by_bits("mcyield", m.mcyield)
             << bins_by_bits("dayield", m.dayield);
  }
}

// Totals, bias correction, final rate and fragmentation from rates of any
// value, as a run may hold them after extreme fits.
TEST(model, totals_correction_and_final_values_from_any_rates) {
  const int states = 15000;  // 27 random inputs each
  Inputs in(seed + 1);
  for (int i = 0; i < states; ++i) {
    core::Measurement m;
    for (int b = 1; b <= 9; ++b) {
      m.ger[b] = in.rate();
      m.mcr[b] = in.rate();
      m.dar[b] = in.rate();
    }
    core::Measurement given = m;
    model::Run r = as_run(m);
    Check c;
    from_rates_on(c, r, m);
    if (!c.first.empty())
      FAIL() << "seed " << seed + 1 << ", state " << i << ": " << c.first
             << bins_by_bits("ger", given.ger) << bins_by_bits("mcr", given.mcr)
             << bins_by_bits("dar", given.dar);
  }
}

// The printed ratio and product of any two values.
TEST(model, printed_ratio_and_product_of_any_values) {
  const int pairs = 200000;  // 2 random inputs each
  Inputs in(seed + 2);
  for (int i = 0; i < pairs; ++i) {
    float a = in.operand();
    float b = in.operand();
    Check c;
    c("a/b", 0, model::ratio(a, b), core::ratio(a, b));
    c("a*b", 0, model::product(a, b), core::product(a, b));
    if (!c.first.empty())
      FAIL() << "seed " << seed + 2 << ", pair " << i << ": " << c.first << "\n  a = " << hex(a)
             << ", b = " << hex(b);
  }
}

}  // namespace
