// The bias-correction program: reads the eighteen fit files of the current
// directory (or of -C's) and prints the corrected rates and fragmentation
// function; with --table it also writes them as a HEPData table.

#include <cerrno>
#include <string>

#include "cli/options.hpp"
#include "cli/table_file.hpp"
#include "fit_input.hpp"
#include "rates.hpp"
#include "recio/units.hpp"
#include "report.hpp"
#include "table/hepdata.hpp"

namespace {

// One straight run. Any I/O failure leaves it through the failure report;
// the records already written stay on standard output. Returns the final
// values once the whole report has reached the system.
corr::FinalValues run() noexcept {
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
  const FinalValues v = print_final(m);
  recio::finish();
  return v;
}

cli::Failure write_table(const cli::TableFile& table, const corr::FinalValues& v) noexcept {
  std::string text;
  if (!table::format(v, text)) return {cli::Problem::cannot_write_table, table.name, ENOMEM};
  return cli::replace(table, text);
}

}  // namespace

// Every failure of the command line goes through cli::report, which prints
// its line and gives the exit status.
int main(int argc, char** argv) {
  cli::Options o;
  cli::TableFile table;
  if (cli::Failure f = cli::parse(argc, argv, o)) return cli::report(f);
  if (o.help) return cli::report(cli::print(cli::usage));
  if (o.version) return cli::report(cli::print(cli::version));
  if (cli::Failure f = cli::prepare(o, table)) return cli::report(f);
  const corr::FinalValues v = run();
  return cli::report(o.table != nullptr ? write_table(table, v) : cli::Failure{});
}
