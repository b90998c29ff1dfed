// Option parsing with getopt_long, through files::Arguments so that an
// operand anywhere is found the same way on every system. getopt's own
// messages are switched off: each usage error is told once, by
// cli::complain.

#include "cli/options.hpp"

#include <cstring>

#include "files/arguments.hpp"
#include "tables/write.hpp"

#ifndef XPCORR_VERSION
#error "XPCORR_VERSION must come from the build"
#endif

namespace cli {

const std::string_view usage =
    "Usage: xpcorr [OPTION]...\n"
    "Correct the fitted yields of the eighteen fit files mcfit0.dat ... mcfit8.dat\n"
    "and dafit0.dat ... dafit8.dat and print the report of rates, cross-sections\n"
    "and the fragmentation function with its errors on standard output.\n"
    "\n"
    "Options:\n"
    "  -C, --directory=DIR  read the fit files from DIR, not the current directory\n"
    "      --check          print no report: examine every fit file as the run reads\n"
    "                       it and print one line per error or doubtful value\n"
    "                       (FILE:LINE:COLUMN: error: ...), then a summary line\n"
    "      --table=FILE     after a complete report, also write the final rates and\n"
    "                       fragmentation function to FILE as a HEPData table in\n"
    "                       YAML, or as YODA reference data when FILE ends in\n"
    "                       .yoda; gzip-compressed when FILE ends in .gz\n"
    "                       (r.yoda.gz); a relative FILE is taken from the\n"
    "                       directory xpcorr was started in, not from DIR; FILE\n"
    "                       is replaced only by a complete table, and never when\n"
    "                       it is a fit file or a directory; '-' is refused:\n"
    "                       standard output carries the report\n"
    "  -h, --help           print this help and exit\n"
    "  -V, --version        print the version and exit\n"
    "\n"
    "Exit status: 0 after a complete report (and table); 1 when the table cannot\n"
    "be written; 2 for a usage error; the abort signal (134 in a shell) after the\n"
    "failure report of a missing or malformed fit file or of a report that\n"
    "cannot be written. With --check: 0 when nothing was found, 1 otherwise.\n";

const std::string_view version = "xpcorr " XPCORR_VERSION "\n";

namespace {

constexpr int table_option = 256;  // long options with no short form
constexpr int check_option = 257;

constexpr option long_options[] = {
    {"directory", required_argument, nullptr, 'C'},
    {"table", required_argument, nullptr, table_option},
    {"check", no_argument, nullptr, check_option},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};

// The long option `arg` as the user wrote it, without its "=value".
std::string_view long_name(const char* arg) noexcept { return {arg, std::strcspn(arg, "=")}; }

// The short option `letter` as "-x", in static storage.
std::string_view short_name(int letter) noexcept {
  static char name[3] = "-?";
  name[1] = static_cast<char>(letter);
  return {name, 2};
}

// The option whose value getopt_long has just taken, as the user wrote it:
// the argument before a value given on its own, else the argument that
// holds the value after its '='.
std::string_view written(char** argv, int letter) noexcept {
  const char* arg = argv[optind - 1];
  if (arg == optarg) arg = argv[optind - 2];
  return std::strncmp(arg, "--", 2) == 0 ? long_name(arg) : short_name(letter);
}

// The option that getopt_long refused. For a long option glibc has moved
// optind past it, so argv[optind - 1] is its text; optopt is 0 for an
// unknown long option, the option's value for a known one. For a short
// option optopt is the letter, and argv[optind - 1] may be an earlier
// argument (a letter inside a group), so only the letter is named.
Failure refused(int c, char** argv) noexcept {
  const char* arg = argv[optind - 1];
  const bool is_long = std::strncmp(arg, "--", 2) == 0;
  if (c == ':') return {Problem::missing_argument, is_long ? long_name(arg) : short_name(optopt)};
  if (optopt == 0) return {Problem::unknown_option, long_name(arg)};
  if (optopt == 'h' || optopt == 'V' || optopt == check_option)
    return {Problem::needless_argument, long_name(arg)};
  return {Problem::unknown_option, short_name(optopt)};
}

}  // namespace

// The value of -C or --table: an empty one counts as missing, a second
// one is refused rather than silently taking the place of the first. The
// option is named as written.
Failure take(const char*& value, char** argv, int letter) noexcept {
  if (*optarg == '\0') return {Problem::missing_argument, written(argv, letter)};
  if (value != nullptr) return {Problem::repeated_option, written(argv, letter)};
  value = optarg;
  return {};
}

// The table's name: not '-', as standard output carries the report.
Failure take_table(const char*& table, char** argv) noexcept {
  if (Failure f = take(table, argv, table_option)) return f;
  if (std::strcmp(table, "-") == 0) return {Problem::table_is_dash, written(argv, table_option)};
  return {};
}

// Missing values come back as ':' (files::Arguments asks getopt for it);
// the first operand is refused once every option has been read.
Failure parse(int argc, char** argv, Options& o) noexcept {
  const char* stray = nullptr;
  files::Arguments args(argc, argv, "C:hV", long_options);
  for (int c; (c = args.next()) != -1;) {
    Failure f;
    switch (c) {
      case 'C': f = take(o.directory, argv, 'C'); break;
      case table_option: f = take_table(o.table, argv); break;
      case check_option: o.check = true; break;
      case 'h': o.help = true; break;
      case 'V': o.version = true; break;
      case files::operand:
        if (stray == nullptr) stray = optarg;
        break;
      default: return refused(c, argv);
    }
    if (f) return f;
  }
  if (stray != nullptr) return {Problem::stray_argument, stray};
  if (o.check && o.table != nullptr) return {Problem::check_with_table, "--check"};
  if (o.table != nullptr && !tables::can_write(tables::format_for(o.table)))
    return {Problem::cannot_compress, o.table};
  return {};
}

}  // namespace cli
