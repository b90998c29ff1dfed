// The rate arithmetic: one rounding per stored value, the rate scale as a
// literal of its own, and sums rounded at every step.

#include "core/rates.hpp"

#include <bit>
#include <cmath>
#include <cstdint>

#include <gtest/gtest.h>

using namespace core;

namespace {

std::uint32_t bits(float x) { return std::bit_cast<std::uint32_t>(x); }
float from_bits(std::uint32_t b) { return std::bit_cast<float>(b); }

// Rounding after each operation moves bins 5 to 7; dividing by BR instead
// of multiplying by the rate scale moves bins 1, 8 and 9.
TEST(rates, generated_rate_rounds_once_and_uses_rate_scale) {
  constexpr std::uint32_t expected[] = {0x3fa5820f, 0x41430d93, 0x413cef03, 0x40cf9ad5, 0x40557745,
                                        0x3ff0cff5, 0x3f77892c, 0x3eaf9a76, 0x3d47f1ce};
  Measurement m;
  compute_generated(m);
  for (int b = 1; b <= bin_count; ++b) EXPECT_EQ(bits(m.ger[b]), expected[b - 1]) << "bin " << b;
}

TEST(rates, totals_round_every_partial_sum) {
  constexpr std::uint32_t rates[] = {0x4084b98f, 0x40ad23a2, 0x3f02501f, 0x40f507c0, 0x40aba2a8,
                                     0x3eed0ed4, 0x40d48599, 0x3fb441e9, 0x40a4eb75};
  Measurement m;
  for (int b = 1; b <= bin_count; ++b) m.mcr[b] = from_bits(rates[b - 1]);
  // Summed in double, or with the product rounded on its own, the total
  // would be 0x408ad529.
  EXPECT_EQ(bits(totals(m).smcr), 0x408ad52au);
}

// Three sums in one loop invite a vectoriser to keep them in double lanes;
// each partial sum must still round to single at every step.
TEST(rates, totals_round_every_step_in_every_sum) {
  constexpr std::uint32_t rates[] = {0x3d037df8, 0x4115fd19, 0x00000000, 0x43ca5f63, 0x4006f683,
                                     0x00000000, 0x430a8fc9, 0x3ea47b94, 0x3d0f943d};
  Measurement m;
  for (int b = 1; b <= bin_count; ++b) m.ger[b] = m.mcr[b] = m.dar[b] = from_bits(rates[b - 1]);
  Sums s = totals(m);
  for (float sum6 : {s.sger6, s.smcr6, s.sdar6}) EXPECT_EQ(bits(sum6), 0x42091f62u);  // 34.28065
  for (float sum : {s.sger, s.smcr, s.sdar}) EXPECT_EQ(bits(sum), 0x4209df88u);
}

TEST(rates, generated_totals_before_and_after_correction) {
  Measurement m;
  compute_generated(m);
  Sums s = totals(m);
  EXPECT_EQ(bits(s.sger), 0x3fa90313u);
  EXPECT_EQ(bits(s.sger6), 0x3f4660e6u);
  correct_bias(m);
  s = totals(m);  // summed again from the divided rates
  EXPECT_EQ(bits(s.sger), 0x3fa7ac11u);
  EXPECT_EQ(bits(s.sger6), 0x3f452a17u);
}

TEST(rates, fitted_rate_over_generated_is_fitted_over_matched) {
  Measurement m;
  for (int b = 1; b <= bin_count; ++b) {
    m.mcmatch[b] = 400.f;
    m.mcyield[b] = 400.f;
    m.dayield[b] = 200.f;
  }
  compute_generated(m);
  compute_mc(m);
  compute_data(m);
  for (int b = 1; b <= bin_count; ++b) {
    EXPECT_NEAR(ratio(m.mcr[b], m.ger[b]), 1.f, 1e-6f) << b;
    EXPECT_NEAR(ratio(m.dar[b], m.ger[b]), 0.5f, 1e-6f) << b;
  }
}

TEST(rates, yield_not_above_zero_leaves_rate_unset) {
  Measurement m;
  m.mcmatch[5] = 100.f;
  m.mcyield[5] = 0.f;
  m.mcyield[6] = -3.f;
  m.mcyield[7] = std::nanf("");
  m.dayield[5] = -1.f;
  compute_mc(m);
  compute_data(m);
  EXPECT_EQ(bits(m.mcr[5]), 0u);
  EXPECT_EQ(bits(m.mcr[6]), 0u);
  EXPECT_EQ(bits(m.mcr[7]), 0u);
  EXPECT_EQ(bits(m.dar[5]), 0u);
}

TEST(rates, zero_matched_count_gives_infinities_that_run_through) {
  Measurement m;
  m.mcyield[4] = 10.f;
  m.dayield[4] = 10.f;
  m.mcmatch[5] = -2.f;
  m.mcyield[5] = 10.f;
  compute_generated(m);
  compute_mc(m);
  compute_data(m);
  EXPECT_TRUE(std::isinf(m.mcr[4]) && m.mcr[4] > 0);
  EXPECT_TRUE(m.mcr[5] < 0);
  correct_bias(m);
  EXPECT_TRUE(std::isinf(totals(m).smcr));
  to_final_rate(m, 4);
  EXPECT_TRUE(std::isinf(m.dar[4]));
}

// The final rate is stored, so the fragmentation function is its round
// trip through single precision, not the corrected rate itself.
TEST(rates, final_rate_and_fragmentation_store_in_place) {
  Measurement m;
  m.dar[9] = from_bits(0x40a4eb75);
  to_final_rate(m, 9);
  EXPECT_EQ(bits(m.dar[9]), bits(single(double(from_bits(0x40a4eb75)) * double(0.5f))));
  to_fragmentation(m, 9);
  EXPECT_EQ(bits(m.dar[9]),
            bits(single(double(single(double(from_bits(0x40a4eb75)) * 0.5)) / 0.5)));
  m.dar[7] = from_bits(0x3f778904);
  to_final_rate(m, 7);
  to_fragmentation(m, 7);
  EXPECT_NE(bits(m.dar[7]), 0x3f778904u) << "a width of 0.1 loses the last bit on the way";
}

}  // namespace
