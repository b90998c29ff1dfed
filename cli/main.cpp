// xpcorr: reads the eighteen fit files of the current directory (or of
// -C's) and prints the corrected rates and fragmentation function; with
// --table it also writes them as a HEPData table.

#include <cerrno>
#include <string>

#include "options.hpp"
#include "run.hpp"
#include "table/hepdata.hpp"
#include "table_file.hpp"

namespace {

cli::Failure write_table(const cli::TableFile& table, const corr::FinalValues& v) noexcept {
  std::string text;
  if (!table::format(v, text)) return {cli::Problem::cannot_write_table, table.name, ENOMEM};
  return cli::replace(table, text);
}

}  // namespace

// Every failure of the command line goes through cli::report, which prints
// its line and gives the exit status; those of the fit files and the
// report go through the failure report of the run.
int main(int argc, char** argv) {
  cli::Options o;
  cli::TableFile table;
  if (cli::Failure f = cli::parse(argc, argv, o)) return cli::report(f);
  if (o.help) return cli::report(cli::print(cli::usage));
  if (o.version) return cli::report(cli::print(cli::version));
  if (cli::Failure f = cli::prepare(o, table)) return cli::report(f);
  const corr::FinalValues v = corr::run();
  return cli::report(o.table != nullptr ? write_table(table, v) : cli::Failure{});
}
