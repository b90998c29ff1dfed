// The rate arithmetic in GNU MPFR: each operation of an assignment rounds
// to IEEE double, each stored value rounds once more to IEEE single, with
// the exponent range, subnormals, infinities and NaN of each format.

#include "model.hpp"

#include <mpfr.h>

namespace model {

namespace {

// An IEEE binary format in MPFR's terms: a value is m × 2^e with
// 1/2 <= |m| < 1, so emin places the smallest subnormal at 2^(emin-1) and
// emax puts the overflow threshold at 2^emax.
struct Format {
  mpfr_prec_t precision;
  mpfr_exp_t emin, emax;
};
constexpr Format ieee_double{53, -1073, 1024};
constexpr Format ieee_single{24, -148, 128};

// MPFR's exponent range is global: this sets a format's range for the
// lifetime of the object and gives the previous one back afterwards. Every
// entry point of the model holds double's range; a store holds single's
// for its last rounding.
class Range {
 public:
  explicit Range(const Format& f) : emin_(mpfr_get_emin()), emax_(mpfr_get_emax()) {
    mpfr_set_emin(f.emin);
    mpfr_set_emax(f.emax);
  }
  ~Range() {
    mpfr_set_emin(emin_);
    mpfr_set_emax(emax_);
  }
  Range(const Range&) = delete;
  Range& operator=(const Range&) = delete;

 private:
  mpfr_exp_t emin_, emax_;
};

// A real of `bits` precision held in the object itself (MPFR's custom
// interface), so that the many short-lived values of a formula cost no
// allocation. One limb holds the bits of a double. It never moves.
template <mpfr_prec_t bits>
class Real {
  static_assert(bits <= GMP_NUMB_BITS);

 public:
  Real() {
    mpfr_custom_init(limb_, bits);
    mpfr_custom_init_set(x_, MPFR_NAN_KIND, 0, bits, limb_);
  }
  Real(const Real&) = delete;
  Real& operator=(const Real&) = delete;
  mpfr_ptr get() { return x_; }
  mpfr_srcptr get() const { return x_; }

 private:
  mp_limb_t limb_[1];
  mpfr_t x_;
};

using Op = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t);

// A value within one assignment: the float operands converted exactly, and
// every operation rounded to the nearest double, ties to even, as IEEE
// double arithmetic does it (0/0 and inf-inf are NaN, x/0 is infinite with
// the sign of the quotient, zeros keep their IEEE signs). Operations run
// in the double range that the entry point holds. Values are built in
// place, never copied.
class Double {
 public:
  explicit Double(float f) { mpfr_set_flt(x_.get(), f, MPFR_RNDN); }  // always exact

  Double(Op op, const Double& a, const Double& b) {
    int t = op(x_.get(), a.x_.get(), b.x_.get(), MPFR_RNDN);
    mpfr_subnormalize(x_.get(), t, MPFR_RNDN);
  }

  friend Double operator+(const Double& a, const Double& b) { return {mpfr_add, a, b}; }
  friend Double operator*(const Double& a, const Double& b) { return {mpfr_mul, a, b}; }
  friend Double operator/(const Double& a, const Double& b) { return {mpfr_div, a, b}; }

  // Greater than, false whenever either side is NaN.
  friend bool operator>(const Double& a, const Double& b) {
    return mpfr_greater_p(a.x_.get(), b.x_.get());
  }

  // The double rounded to the nearest float, ties to even: to 24 bits with
  // the exact direction of the rounding, then into single's exponent
  // range, where a value past the largest float becomes infinite and a
  // subnormal one is rounded to its fewer bits without rounding twice.
  float store() const {
    Real<ieee_single.precision> s;
    int t = mpfr_set(s.get(), x_.get(), MPFR_RNDN);
    Range r(ieee_single);
    t = mpfr_check_range(s.get(), t, MPFR_RNDN);
    mpfr_subnormalize(s.get(), t, MPFR_RNDN);
    return mpfr_get_flt(s.get(), MPFR_RNDN);  // exact: s is a float now
  }

 private:
  Real<ieee_double.precision> x_;
};

// A float operand, short to keep the formulas readable.
Double D(float f) { return Double(f); }

// The float nearest a decimal, as a table entry written in that decimal.
float nearest_float(const char* decimal) {
  Real<ieee_single.precision> s;
  Range r(ieee_single);
  int t = mpfr_set_str(s.get(), decimal, 10, MPFR_RNDN);
  mpfr_subnormalize(s.get(), t, MPFR_RNDN);
  return mpfr_get_flt(s.get(), MPFR_RNDN);
}

Bins nearest_floats(const char* const (&decimals)[9]) {
  Bins b;
  for (int i = 1; i <= 9; ++i) b[i] = nearest_float(decimals[i - 1]);
  return b;
}

Tables make_tables() {
  return {nearest_floats({"0.005", "0.02", "0.025", "0.05", "0.05", "0.05", "0.1", "0.2", "0.5"}),
          nearest_floats(
              {"5743", "216582", "262234", "288149", "148142", "83560", "85893", "60933", "21681"}),
          nearest_floats({"0.99", "1.0078", "1.0134", "1.0112", "1.008", "1.0028", "1.002",
                          "0.9947", "0.9893"}),
          nearest_floats({"0", "0", "0", "0.078", "0.067", "0.055", "0.043", "0.041", "0.058"}),
          nearest_floats({"0", "0", "0", "0.149", "0.11", "0.094", "0.088", "0.064", "0.072"}),
          nearest_float("1.1257458"),
          nearest_float("1.0E6")};
}

// Fitted rate of bin b: (yield / 1.0E6) × ((gen / matched) × 1.1257458) / dxp,
// assigned only when the yield is above 0.
void fitted_rates(const Bins& yield, const Bins& mcmatch, Bins& rate) {
  const Tables& t = tables();
  for (int b = 1; b <= 9; ++b) {
    if (D(yield[b]) > D(0.0f))
      rate[b] = ((D(yield[b]) / D(t.norm)) * ((D(t.gen[b]) / D(mcmatch[b])) * D(t.rate_scale)) /
                 D(t.dxp[b]))
                    .store();
  }
}

// sum = dxp × rate + sum over bins first to last: the product is exact in
// double anyway, each new partial sum is stored.
float weighted_sum(const Bins& rate, int first, int last) {
  const Tables& t = tables();
  float sum = 0.0f;
  for (int b = first; b <= last; ++b) sum = (D(t.dxp[b]) * D(rate[b]) + D(sum)).store();
  return sum;
}

}  // namespace

const Tables& tables() {
  static const Tables t = make_tables();
  return t;
}

void generated_rates(Run& r) {
  Range in(ieee_double);
  const Tables& t = tables();
  for (int b = 1; b <= 9; ++b)
    r.ger[b] = (((D(t.gen[b]) / D(t.norm)) * D(t.rate_scale)) / D(t.dxp[b])).store();
}

void mc_rates(Run& r) {
  Range in(ieee_double);
  fitted_rates(r.mcyield, r.mcmatch, r.mcr);
}

void data_rates(Run& r) {
  Range in(ieee_double);
  fitted_rates(r.dayield, r.mcmatch, r.dar);
}

// The sums are independent of each other, so the order in which the
// program interleaves them cannot matter.
Sums totals(const Run& r) {
  Range in(ieee_double);
  return {weighted_sum(r.ger, 1, 9), weighted_sum(r.mcr, 1, 9), weighted_sum(r.dar, 1, 9),
          weighted_sum(r.ger, 4, 9), weighted_sum(r.mcr, 4, 9), weighted_sum(r.dar, 4, 9)};
}

void correct_bias(Run& r) {
  Range in(ieee_double);
  const Tables& t = tables();
  for (int b = 1; b <= 9; ++b) {
    r.ger[b] = (D(r.ger[b]) / D(t.bias[b])).store();
    r.mcr[b] = (D(r.mcr[b]) / D(t.bias[b])).store();
    r.dar[b] = (D(r.dar[b]) / D(t.bias[b])).store();
  }
}

void final_rate(Run& r, int b) { r.dar[b] = product(r.dar[b], tables().dxp[b]); }

void fragmentation(Run& r, int b) { r.dar[b] = ratio(r.dar[b], tables().dxp[b]); }

float ratio(float a, float b) {
  Range in(ieee_double);
  return (D(a) / D(b)).store();
}

float product(float a, float b) {
  Range in(ieee_double);
  return (D(a) * D(b)).store();
}

}  // namespace model
