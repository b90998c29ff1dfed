// The rates per unit xp and their bias correction. Every value is stored
// in single precision; each assignment is worked in double precision and
// rounded once, when it is stored.
#pragma once

#include <cfloat>

#include "bins.hpp"

// Double operations must round to double: an x87 build that keeps them in
// extended precision would round twice.
static_assert(FLT_EVAL_METHOD == 0, "double arithmetic must be evaluated in double precision");

namespace corr {

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

}  // namespace corr
