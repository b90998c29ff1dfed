// xpcorr-plot: draws HEPData data tables (those of xpcorr --table, and those
// published on HEPData) on one picture, SVG, PDF or PNG, or lists their
// points as tab-separated text.

#include <getopt.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "whole_file/whole_file.hpp"
#include "draw.hpp"
#include "points.hpp"

namespace {

using namespace plot;
namespace fs = std::filesystem;

constexpr const char* usage_text =
    "Usage: xpcorr-plot TABLE... -o FILE [-l NAME]... [-c N]... [-r] [--log|--linear]\n"
    "Draw HEPData data tables (xpcorr --table, or from HEPData records) on one\n"
    "picture, or list their points.\n"
    "\n"
    "  -o, --output FILE  write to FILE, its extension giving the format: .svg,\n"
    "                     .pdf or .png for a picture, .tsv for the points as read\n"
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
  std::vector<std::string> tables, labels;
  std::vector<int> columns;
  std::string output;
  const char* device = nullptr;  // null for the points as text
  bool ratio = false;
  Scale scale = Scale::automatic;
};

// The PLplot device for the output file's extension, none for .tsv; false
// for an extension it does not know.
bool format_for(const std::string& path, const char*& device) {
  std::string ext = fs::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  device = ext == ".svg" ? "svgcairo" : ext == ".pdf" ? "pdfcairo" : ext == ".png" ? "pngcairo" : nullptr;
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

bool print(const char* text) { return std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0; }

// Reads the command line into `o`; an exit status when the run ends here
// (help, version, a usage error), none when there is something to write.
std::optional<int> parse(int argc, char** argv, Options& o) {
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
        if (!column_of(optarg, o.columns)) return report({Cause::bad_column, optarg, ""});
        break;
      case 'r': o.ratio = true; break;
      case log: o.scale = Scale::log; break;
      case linear: o.scale = Scale::linear; break;
      case 'h': return print(usage_text) ? 0 : 1;
      case 'V': return print("xpcorr-plot " XPCORR_VERSION "\n") ? 0 : 1;
      case ':': return report({Cause::missing_argument, argv[optind - 1], ""});
      default:
        return report({Cause::unknown_option, optopt ? std::string("-") + static_cast<char>(optopt) : argv[optind - 1], ""});
    }
  }
  o.tables.assign(argv + optind, argv + argc);
  std::string tables = std::to_string(o.tables.size());
  if (o.tables.empty()) return report({Cause::no_table, "", ""});
  if (o.output.empty()) return report({Cause::no_output, "", ""});
  if (o.labels.size() > o.tables.size()) return report({Cause::too_many_labels, tables, std::to_string(o.labels.size())});
  if (o.columns.size() > o.tables.size())
    return report({Cause::too_many_columns, tables, std::to_string(o.columns.size())});
  if (!format_for(o.output, o.device)) return report({Cause::unknown_format, o.output, ""});
  return std::nullopt;
}

// Every table is read, and may be refused, before anything is written.
std::optional<int> read_all(const Options& o, std::vector<Table>& tables) {
  tables.resize(o.tables.size());
  for (std::size_t i = 0; i < tables.size(); ++i) {
    Failure why;
    if (!read_table(o.tables[i], i < o.columns.size() ? o.columns[i] : 0, tables[i], why)) return report(why);
    tables[i].file = o.tables[i];
    tables[i].label = i < o.labels.size() ? o.labels[i] : fs::path(o.tables[i]).filename().string();
  }
  return std::nullopt;
}

// A point the output leaves out, named on standard error.
void note(const Table& t, const Point& p, const char* where_to, const std::string& why) {
  std::fprintf(stderr, "xpcorr-plot: %s: %s left out%s: %s\n", t.file.c_str(), where(t, p).c_str(), where_to,
               why.c_str());
}

// The picture, with the points it leaves out named: those the y axis cannot
// draw, then those without a bin to divide by in the ratio panel.
std::optional<int> picture(const Options& o, const std::vector<Table>& tables, std::string& bytes) {
  bool log = logarithmic(tables, o.scale);
  for (const Table& t : tables)
    for (const Point& p : t.points)
      if (std::string why = left_out(p, log); !why.empty()) note(t, p, "", why);
  std::optional<Ratios> r;
  if (o.ratio) {
    r = ratios(tables);
    for (const Miss& m : r->misses) note(tables[m.table], tables[m.table].points[m.point], " of the ratio", m.why);
  }
  Failure why;
  if (!draw({tables, log, r ? &*r : nullptr}, o.device, o.output, bytes, why)) return report(why);
  return std::nullopt;
}

}  // namespace

// Reads every table, then writes the picture or the points, each only once
// it is complete.
int main(int argc, char** argv) {
  Options o;
  if (std::optional<int> status = parse(argc, argv, o)) return *status;
  std::vector<Table> tables;
  if (std::optional<int> status = read_all(o, tables)) return *status;
  std::string bytes;
  if (o.device) {
    if (std::optional<int> status = picture(o, tables, bytes)) return *status;
  } else {
    for (const Table& t : tables)
      for (const Point& p : t.points)
        if (!std::isfinite(p.value)) note(t, p, "", left_out(p, false));
    bytes = points_text(tables);
  }
  if (int error = whole_file::replace_whole(o.output.c_str(), bytes); error != 0)
    return report({Cause::cannot_write, o.output, std::strerror(error)});
  return 0;
}
