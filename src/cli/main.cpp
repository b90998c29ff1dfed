// xpcorr: reads the eighteen fit files of the current directory (or of
// -C's) and prints the corrected rates and fragmentation function; with
// --table it also writes them as a results table; with --check it only
// examines the fit files.

#include <cerrno>
#include <new>
#include <string>

#include "cli/check.hpp"
#include "cli/options.hpp"
#include "cli/provenance.hpp"
#include "cli/results.hpp"
#include "cli/table_file.hpp"
#include "core/run.hpp"
#include "tables/write.hpp"

namespace {

// The table's text in the format its name asks for, headed by where it
// came from, then the file replaced by it whole. A table that would hold a
// value that is not a finite number is refused, and so is one whose fit
// files can no longer be read: the file stays as it was. Returns the exit
// status.
int write_table(const cli::TableFile& table, const core::Measurement& m,
                const core::FinalValues& v) noexcept {
  std::string text, why;
  try {
    why = cli::not_finite(m, v);
    tables::Table t = cli::results_table(v);
    if (why.empty() && cli::provenance(t.comments, why))
      text = tables::table_text(t, tables::format_for(table.name));
  } catch (const std::bad_alloc&) {
    return cli::complain({cli::Problem::cannot_write_table, table.name, ENOMEM});
  }
  if (!why.empty()) return cli::complain({cli::Problem::table_refused, table.name, 0, why});
  return cli::complain(cli::replace(table, text));
}

}  // namespace

// Every failure of the command line goes through cli::complain, which
// prints its line and gives the exit status; those of the fit files and
// the report end the run through the record I/O layer's failure message.
int main(int argc, char** argv) {
  cli::Options o;
  cli::TableFile table;
  if (cli::Failure f = cli::parse(argc, argv, o)) return cli::complain(f);
  if (o.help) return cli::complain(cli::print(cli::usage));
  if (o.version) return cli::complain(cli::print(cli::version));
  if (cli::Failure f = cli::prepare(o, table)) return cli::complain(f);
  if (o.check) return cli::check(o.directory);
  core::Measurement m;
  const core::FinalValues v = core::run(m);
  return o.table != nullptr ? write_table(table, m, v) : 0;
}
