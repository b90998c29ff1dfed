// The rates per unit xp and their bias correction. Every value is stored
// in single precision; each assignment is worked in double precision and
// rounded once, when it is stored.
#pragma once

#include <cfloat>

#include <array>

#include "core/bins.hpp"

// Double operations must round to double: an x87 build that keeps them in
// extended precision would round twice.
static_assert(
    FLT_EVAL_METHOD == 0,
    "double arithmetic runs in x87 extended precision here and would round the rates twice: "
    "on 32-bit x86 build with -msse2 -mfpmath=sse");

namespace core {

// A value worked in double precision, rounded to single on the store.
// The rounded value passes through a volatile float, a store no
// optimisation may skip or widen: without it GCC's SLP vectoriser (-O3)
// packs the partial sums of totals() into vector lanes and computes
// some of them wrongly in the last bit.
inline float single(double x) noexcept {
  volatile float stored = static_cast<float>(x);
  return stored;
}

// A printed ratio or product: formed in double, rounded to single.
inline float ratio(float a, float b) noexcept { return single(double(a) / double(b)); }
inline float product(float a, float b) noexcept { return single(double(a) * double(b)); }

void compute_generated(Measurement& m) noexcept;  // ger of every bin
void compute_mc(Measurement& m) noexcept;         // mcr where mcyield > 0
void compute_data(Measurement& m) noexcept;       // dar where dayield > 0

// The width-weighted sums of the current rates, rounded at every step.
Sums totals(const Measurement& m) noexcept;

// Divides the three rates of every bin by the bin's bias factor.
void correct_bias(Measurement& m) noexcept;

// The final rate of bin b, and back again the fragmentation function:
// each stored in place over dar(b).
void to_final_rate(Measurement& m, int b) noexcept;
void to_fragmentation(Measurement& m, int b) noexcept;

// A final value with its errors: dar(b), dar(b) x stat(b), dar(b) x syst(b).
using WithErrors = std::array<float, 3>;
inline constexpr int reported_count = last_reported - first_reported + 1;

// The final values of bins 4 to 9 in order: the rates, then the
// fragmentation function, each as dar(b) held when it was formed.
struct FinalValues {
  std::array<WithErrors, reported_count> rate{};
  std::array<WithErrors, reported_count> frag{};
};

// Turns the corrected data rate of bins 4 to 9 into the final rate and
// back into the fragmentation function, in place over dar, and returns
// both with their errors.
FinalValues final_values(Measurement& m) noexcept;

}  // namespace core
