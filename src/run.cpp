// The run sequence: each step of the calculation between the records that
// report it, in the one order the report has.

#include "run.hpp"

#include "fit_input.hpp"
#include "rates.hpp"
#include "recio/units.hpp"

namespace corr {

FinalValues run() noexcept {
  recio::start();
  Measurement m;
  print_header();
  read_fit_files(m);
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
  const FinalValues v = print_final(m);
  recio::finish();
  return v;
}

}  // namespace corr
