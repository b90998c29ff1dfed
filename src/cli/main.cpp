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
#include "core/fit_set.hpp"
#include "core/run.hpp"
#include "files/whole_file.hpp"
#include "tables/write.hpp"

namespace {

// The table's text in the format its name asks for, headed by where it
// came from and the check's counts for the fit files the run read (not
// where they lay, so that the table does not depend on it); each of the
// check's warnings goes to standard error first. A table that would hold
// a value that is not a finite number, or no measurement (a value not
// above 0, an error below 0), is refused: the file stays as it was.
// Returns the exit status.
int write_table(const cli::TableFile& table, const core::FitSet& fits, const char* directory,
                const core::Measurement& m, const core::FinalValues& v) noexcept {
  std::string text;
  try {
    const cli::Findings found = cli::examine(fits, directory);
    files::write_in_full(2, found.warning_lines);
    cli::Failure refusal{cli::Problem::table_refused, table.name, 0, cli::not_finite(m, v)};
    if (refusal.detail.empty()) refusal.detail = cli::not_measured(v);
    if (!refusal.detail.empty()) return cli::complain(refusal);
    tables::Table t = cli::results_table(v);
    cli::provenance(fits, t.comments);
    t.comments.push_back("xpcorr --check of these fit files: " + found.counts);
    text = tables::table_text(t, tables::format_for(table.name));
  } catch (const std::bad_alloc&) {
    return cli::complain({cli::Problem::cannot_write_table, table.name, ENOMEM});
  }
  return cli::complain(cli::replace(table, text));
}

}  // namespace

// Every failure of the command line goes through cli::complain, which
// prints its line and gives the exit status; those of the fit files and
// the report end the run through the record I/O layer's failure message.
// The fit set is the one owner of the fit directory and its files: the
// run reads them through it, once, whole when a table needs their digests.
int main(int argc, char** argv) {
  cli::Options o;
  if (cli::Failure f = cli::parse(argc, argv, o)) return cli::complain(f);
  if (o.help) return cli::complain(cli::print(cli::usage));
  if (o.version) return cli::complain(cli::print(cli::version));
  core::FitSet fits;
  if (int error = fits.open(o.directory); error != 0)
    return cli::complain({cli::Problem::cannot_enter, o.directory, error});
  if (o.check) return cli::check(fits, o.directory);
  const cli::TableFile table{o.table};
  if (o.table != nullptr) {
    if (cli::Failure f = cli::check(table, fits)) return cli::complain(f);
    fits.read_whole();
  }
  core::Measurement m;
  const core::FinalValues v = core::run(m, fits);
  return o.table != nullptr ? write_table(table, fits, o.directory, m, v) : 0;
}
