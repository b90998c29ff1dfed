// xpcorr-plot: draws HEPData data tables (those of xpcorr --table, and those
// published on HEPData) and objects of YODA files on one picture, SVG, PDF
// or PNG, or lists their points as tab-separated text.

#include <getopt.h>

#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "files/whole_file.hpp"
#include "plot/draw.hpp"
#include "plot/points.hpp"
#include "tables/read.hpp"

namespace {

using namespace plot;
namespace fs = std::filesystem;

constexpr const char* usage_text =
    "Usage: xpcorr-plot TABLE... -o FILE [-l NAME]... [-c N]... [-r] [--log|--linear]\n"
    "Draw HEPData data tables (xpcorr --table, or from HEPData records) on one\n"
    "picture, or list their points. A TABLE may also be an object of a YODA file\n"
    "(.yoda or .yoda.gz) named by its path: FILE.yoda:/REF/ANALYSIS/d01-x01-y01.\n"
    "\n"
    "  -o, --output FILE  write to FILE, its extension giving the format: .svg,\n"
    "                     .pdf or .png for a picture, .tsv for the points as read\n"
    "                     ('-' for the points on standard output)\n"
    "  -l, --label NAME   legend entry of the next table, in order\n"
    "                     (default: its file name)\n"
    "  -c, --column N     dependent variable of the next table to draw, in order,\n"
    "                     by position: 1 is the first (default: the one named\n"
    "                     'fragmentation function' if any, else the first)\n"
    "  -r, --ratio        add a panel below: each table divided by the first,\n"
    "                     bin by bin, around the first's total error as a band\n"
    "      --log          logarithmic y axis\n"
    "      --linear       linear y axis (default: logarithmic when every value\n"
    "                     drawn is positive over more than a decade; of --log\n"
    "                     and --linear the last given wins)\n"
    "  -h, --help         print this help and exit\n"
    "  -V, --version      print the version and exit\n";

struct Options {
  bool help = false, version = false;
  std::vector<std::string> tables, labels;
  std::vector<int> columns;
  std::string output;
  const char* device = nullptr;  // null for the points as text
  bool ratio = false;
  Scale scale = Scale::automatic;
};

// The PLplot device for the output file's extension, none for .tsv and for
// standard output ('-'); false for an extension it does not know.
bool format_for(const std::string& path, const char*& device) {
  if (path == "-") return device = nullptr, true;
  std::string ext = fs::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  device = ext == ".svg"   ? "svgcairo"
           : ext == ".pdf" ? "pdfcairo"
           : ext == ".png" ? "pngcairo"
                           : nullptr;
  return device || ext == ".tsv";
}

bool column_of(const char* text, std::vector<int>& columns) {
  int n = 0;
  const char* end = text + std::strlen(text);
  auto [ptr, ec] = std::from_chars(text, end, n);
  if (ec != std::errc() || ptr != end || n < 1) return false;
  columns.push_back(n);
  return true;
}

// Reads the command line into `o`; the first usage error, if any. Nothing
// is printed here.
Failure parse(int argc, char** argv, Options& o) {
  enum { log = 1000, linear };
  static const option longs[] = {{"output", required_argument, nullptr, 'o'},
                                 {"label", required_argument, nullptr, 'l'},
                                 {"column", required_argument, nullptr, 'c'},
                                 {"ratio", no_argument, nullptr, 'r'},
                                 {"log", no_argument, nullptr, log},
                                 {"linear", no_argument, nullptr, linear},
                                 {"help", no_argument, nullptr, 'h'},
                                 {"version", no_argument, nullptr, 'V'},
                                 {nullptr, 0, nullptr, 0}};
  opterr = 0;
  for (int c; (c = getopt_long(argc, argv, ":o:l:c:rhV", longs, nullptr)) != -1;) {
    switch (c) {
      case 'o': o.output = optarg; break;
      case 'l': o.labels.push_back(optarg); break;
      case 'c':
        if (!column_of(optarg, o.columns)) return {Cause::bad_column, optarg, ""};
        break;
      case 'r': o.ratio = true; break;
      case log: o.scale = Scale::log; break;
      case linear: o.scale = Scale::linear; break;
      case 'h': o.help = true; return {};
      case 'V': o.version = true; return {};
      case ':': return {Cause::missing_argument, argv[optind - 1], ""};
      default:
        return {Cause::unknown_option,
                optopt ? std::string("-") + static_cast<char>(optopt) : argv[optind - 1], ""};
    }
  }
  o.tables.assign(argv + optind, argv + argc);
  std::string tables = std::to_string(o.tables.size());
  if (o.tables.empty()) return {Cause::no_table, "", ""};
  if (o.output.empty()) return {Cause::no_output, "", ""};
  if (o.labels.size() > o.tables.size())
    return {Cause::too_many_labels, tables, std::to_string(o.labels.size())};
  if (o.columns.size() > o.tables.size())
    return {Cause::too_many_columns, tables, std::to_string(o.columns.size())};
  if (!format_for(o.output, o.device)) return {Cause::unknown_format, o.output, ""};
  return {};
}

// The help or version text on standard output.
Failure print(std::string_view text) {
  if (int error = files::write_in_full(1, text).error; error != 0)
    return {Cause::cannot_write, "standard output", std::strerror(error)};
  return {};
}

// Every table is read, and may be refused, before anything is written.
Failure read_all(const Options& o, std::vector<Series>& series) {
  series.resize(o.tables.size());
  for (std::size_t i = 0; i < series.size(); ++i) {
    tables::Table table;
    tables::ReadFailure refusal;
    if (!tables::read_table(o.tables[i], table, refusal))
      return {Cause::refused, o.tables[i], tables::message(refusal)};
    Failure why;
    if (!series_of(table, i < o.columns.size() ? o.columns[i] : 0, series[i], why)) {
      why.subject = o.tables[i];
      return why;
    }
    series[i].file = o.tables[i];
    series[i].label = i < o.labels.size()
                          ? o.labels[i]
                          : fs::path(tables::source_of(o.tables[i]).file).filename().string();
  }
  return {};
}

// A point the output leaves out, named on standard error.
void note(const Series& t, const Point& p, const char* where_to, const std::string& why) {
  std::fprintf(stderr, "xpcorr-plot: %s: %s left out%s: %s\n", t.file.c_str(), where(t, p).c_str(),
               where_to, why.c_str());
}

// The picture, with the points it leaves out named: those the y axis cannot
// draw, then those without a bin to divide by in the ratio panel.
Failure picture(const Options& o, const std::vector<Series>& series, std::string& bytes) {
  bool log = logarithmic(series, o.scale);
  for (const Series& t : series)
    for (const Point& p : t.points)
      if (std::string why = left_out(p, log); !why.empty()) note(t, p, "", why);
  std::optional<Ratios> r;
  if (o.ratio) {
    r = ratios(series);
    for (const Miss& m : r->misses)
      note(series[m.table], series[m.table].points[m.point], " of the ratio", m.why);
  }
  Failure why;
  draw({series, log, r ? &*r : nullptr}, o.device, o.output, bytes, why);
  return why;
}

// Reads every table, then writes the picture or the points, each only once
// it is complete.
Failure run(const Options& o) {
  std::vector<Series> series;
  std::string bytes;
  if (Failure f = read_all(o, series)) return f;
  if (o.device) {
    if (Failure f = picture(o, series, bytes)) return f;
  } else {
    bytes = points_text(series);
  }
  if (o.output == "-") {
    if (int error = files::write_in_full(1, bytes).error; error != 0)
      return {Cause::cannot_write, "standard output", std::strerror(error)};
  } else if (int error = files::replace_whole(o.output.c_str(), bytes); error != 0) {
    return {Cause::cannot_write, o.output, std::strerror(error)};
  }
  return {};
}

}  // namespace

// Every failure, of the command line, a table or the output, comes back
// here and goes through complain(), which prints its line and gives the
// exit status.
int main(int argc, char** argv) {
  Options o;
  if (Failure f = parse(argc, argv, o)) return complain(f);
  if (o.help) return complain(print(usage_text));
  if (o.version) return complain(print("xpcorr-plot " XPCORR_VERSION "\n"));
  return complain(run(o));
}
