// xpcorr-plot: draws the fragmentation functions of one or more results
// tables (written by xpcorr --table) on one picture, SVG, PDF or PNG.

#include <getopt.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "whole_file/whole_file.hpp"
#include "draw.hpp"

namespace {

using namespace plot;
namespace fs = std::filesystem;

constexpr const char* usage_text =
    "Usage: xpcorr-plot TABLE... -o FILE [-l NAME]...\n"
    "Draw the fragmentation functions of results tables (xpcorr --table) on one picture.\n"
    "\n"
    "  -o, --output FILE  write the picture to FILE; its extension gives the format:\n"
    "                     .svg, .pdf or .png\n"
    "  -l, --label NAME   legend entry of the next table, in order (default: its file name)\n"
    "  -h, --help         print this help and exit\n"
    "  -V, --version      print the version and exit\n";

struct Options {
  std::vector<std::string> tables, labels;
  std::string output;
  const char* device = nullptr;
};

// The PLplot device for the picture file's extension, or null.
const char* device_for(const std::string& path) {
  std::string ext = fs::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == ".svg") return "svgcairo";
  if (ext == ".pdf") return "pdfcairo";
  if (ext == ".png") return "pngcairo";
  return nullptr;
}

bool print(const char* text) { return std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0; }

// Reads the command line into `o`; an exit status when the run ends here
// (help, version, a usage error), none when there is a picture to draw.
std::optional<int> parse(int argc, char** argv, Options& o) {
  static const option longs[] = {{"output", required_argument, nullptr, 'o'},
                                 {"label", required_argument, nullptr, 'l'},
                                 {"help", no_argument, nullptr, 'h'},
                                 {"version", no_argument, nullptr, 'V'},
                                 {nullptr, 0, nullptr, 0}};
  opterr = 0;
  for (int c; (c = getopt_long(argc, argv, ":o:l:hV", longs, nullptr)) != -1;) {
    switch (c) {
      case 'o': o.output = optarg; break;
      case 'l': o.labels.push_back(optarg); break;
      case 'h': return print(usage_text) ? 0 : 1;
      case 'V': return print("xpcorr-plot " XPCORR_VERSION "\n") ? 0 : 1;
      case ':': return report({Cause::missing_argument, argv[optind - 1], ""});
      default:
        return report({Cause::unknown_option, optopt ? std::string("-") + static_cast<char>(optopt) : argv[optind - 1], ""});
    }
  }
  o.tables.assign(argv + optind, argv + argc);
  if (o.tables.empty()) return report({Cause::no_table, "", ""});
  if (o.output.empty()) return report({Cause::no_output, "", ""});
  if (o.labels.size() > o.tables.size())
    return report({Cause::too_many_labels, std::to_string(o.tables.size()), std::to_string(o.labels.size())});
  if (!(o.device = device_for(o.output))) return report({Cause::unknown_format, o.output, ""});
  return std::nullopt;
}

}  // namespace

// Reads every table before drawing anything, names the points the picture
// leaves out, and writes the picture only once it is complete.
int main(int argc, char** argv) {
  Options o;
  if (std::optional<int> status = parse(argc, argv, o)) return *status;
  std::vector<Table> tables(o.tables.size());
  for (std::size_t i = 0; i < tables.size(); ++i) {
    Failure why;
    if (!read_table(o.tables[i], tables[i], why)) return report(why);
    tables[i].label = i < o.labels.size() ? o.labels[i] : fs::path(o.tables[i]).filename().string();
    for (const Point& p : tables[i].points)
      if (std::string reason = undrawable(p); !reason.empty())
        std::fprintf(stderr, "xpcorr-plot: %s: x_p %g to %g left out: %s (%g)\n", o.tables[i].c_str(), p.low, p.high,
                     reason.c_str(), p.value);
  }
  std::string bytes;
  Failure why;
  if (!draw(tables, o.device, o.output, bytes, why)) return report(why);
  if (int error = whole_file::replace_whole(o.output.c_str(), bytes); error != 0)
    return report({Cause::cannot_write, o.output, std::strerror(error)});
  return 0;
}
