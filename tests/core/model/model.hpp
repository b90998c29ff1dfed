// A second, independent model of the rate arithmetic, for the tests: every
// step written again from its formula, with every rounding made explicit in
// GNU MPFR. It shares no code with the program, only the shape of its data.
#pragma once

#include <array>

namespace model {

// Nine single-precision values, indexed by bin 1 to 9.
struct Bins {
  std::array<float, 9> v{};
  float& operator[](int bin) { return v[static_cast<unsigned>(bin - 1)]; }
  float operator[](int bin) const { return v[static_cast<unsigned>(bin - 1)]; }
};

// The fixed tables and constants, each the float nearest its decimal.
struct Tables {
  Bins dxp, gen, bias, stat, syst;
  float rate_scale, norm;
};
const Tables& tables();

// The fit values read and the three rates; a rate never assigned is 0.
struct Run {
  Bins mcmatch, mcyield, dayield;
  Bins ger, mcr, dar;
};

struct Sums {
  float sger, smcr, sdar, sger6, smcr6, sdar6;
};

void generated_rates(Run& r);       // step 1
void mc_rates(Run& r);              // step 2
void data_rates(Run& r);            // step 3
Sums totals(const Run& r);          // step 4
void correct_bias(Run& r);          // step 5
void final_rate(Run& r, int b);     // step 6, one bin
void fragmentation(Run& r, int b);  // step 7, one bin

// A printed ratio a / b or product a × b.
float ratio(float a, float b);
float product(float a, float b);

}  // namespace model
