// The bias-correction program: reads the eighteen fit files of the current
// directory and prints the corrected rates and fragmentation function.

#include "fit_input.hpp"
#include "rates.hpp"
#include "recio/units.hpp"
#include "report.hpp"

// One straight run. Any I/O failure leaves it through the failure report;
// the records already written stay on standard output.
int main() {
  using namespace corr;
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
  print_final(m);
  recio::stop();
}
