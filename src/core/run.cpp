// The run sequence: each step of the calculation between the records that
// report it, in the one order the report has.

#include "core/run.hpp"

#include "core/fit_set.hpp"
#include "core/report.hpp"
#include "recio/units.hpp"

namespace core {

FinalValues run(Measurement& m, FitSet& fits) noexcept {
  recio::start();
  print_header();
  fits.read(m);
  compute_generated(m);
  print_label("gen done");
  compute_mc(m);
  print_label("mcf done");
  compute_data(m);
  print_label("daf done");
  print_blank();
  print_uncorrected(m, totals(m));
  correct_bias(m);
  print_blank();
  print_corrected(m, totals(m));
  const FinalValues v = final_values(m);
  print_final(v);
  recio::finish();
  return v;
}

}  // namespace core
