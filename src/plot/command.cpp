// Reading xpcorr-plot's options: getopt_long over the command line, with
// tables and options in any order (files::Arguments), each value checked
// where it is read, then what the options ask together.

#include "plot/command.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <utility>

#include "files/arguments.hpp"

namespace plot {

const char* const usage_text =
    "Usage: xpcorr-plot TABLE... -o FILE [OPTION]...\n"
    "Draw HEPData data tables (xpcorr --table, or from HEPData records) on one\n"
    "picture, or list their points. A TABLE may also be an object of a YODA file\n"
    "(.yoda or .yoda.gz) named by its path: FILE.yoda:/REF/ANALYSIS/d01-x01-y01.\n"
    "\n"
    "  -o, --output FILE    write to FILE, its extension giving the format: .svg,\n"
    "                       .pdf or .png for a picture, .tsv for the points as read\n"
    "                       ('-' for the points on standard output)\n"
    "Each of these goes to the next table, in order:\n"
    "  -l, --label NAME     legend entry (default: the table's file name)\n"
    "  -c, --column N       dependent variable, by position: 1 is the first\n"
    "                       (default: 'fragmentation function' if any, else the\n"
    "                       first)\n"
    "      --slice N        of a table of several independent variables, only\n"
    "                       the Nth combination of the values of all but the\n"
    "                       first (default 0: each one its own series)\n"
    "  -s, --style STYLE    points (a measurement: markers with error bars), line\n"
    "                       (a prediction: a line through its points in its\n"
    "                       band) or step (a prediction over bins: steps in\n"
    "                       boxes of its error) (default: points; step for a YODA\n"
    "                       object outside /REF in bins, line at points)\n"
    "The picture:\n"
    "      --curve N        draw table N (1 is the first) as a line, its error as\n"
    "                       a band, as --style line does\n"
    "  -r, --ratio          add a panel below: each table divided by the first,\n"
    "                       bin by bin or along a curve, around the first's error\n"
    "      --log            logarithmic y axis\n"
    "      --linear         linear y axis (default: logarithmic when every value\n"
    "                       drawn is positive over more than a decade; of --log\n"
    "                       and --linear the last given wins)\n"
    "      --logx           logarithmic x axis\n"
    "      --xrange LO,HI   x axis from LO to HI (either may be left empty for the\n"
    "                       data's); points outside are left out and named\n"
    "      --yrange LO,HI   y axis from LO to HI, likewise\n"
    "      --ratio-range LO,HI\n"
    "                       ratio panel's axis from LO to HI, likewise\n"
    "      --xlabel TEXT    x axis title, with LaTeX as in table names\n"
    "                       (default: the first table's name and units)\n"
    "      --ylabel TEXT    y axis title, likewise\n"
    "      --text TEXT      a line of text in the frame (experiment, reaction,\n"
    "                       energy), with LaTeX; may be given several times\n"
    "      --legend PLACE   top-right, top-left, bottom-right, bottom-left,\n"
    "                       outside (beside the frame) or none (default: the\n"
    "                       first corner where it covers no mark, else outside)\n"
    "      --size W,H       page size in cm, mm or in: 8.6cm,6.5cm or 3.4,2.6in;\n"
    "                       or one-column (8.6 cm wide), two-column (17.8 cm);\n"
    "                       text is 9 points or more (default: 16 cm by 12 cm)\n"
    "  -h, --help           print this help and exit\n"
    "  -V, --version        print the version and exit\n";

namespace {

namespace fs = std::filesystem;

// The PLplot device for the output file's extension, none for .tsv and for
// standard output ('-'); false for an extension it does not know.
bool format_for(const std::string& path, const char*& device) {
  if (path == "-") return device = nullptr, true;
  std::string ext = fs::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  device = ext == ".svg"   ? "svg"
           : ext == ".pdf" ? "pdfcairo"
           : ext == ".png" ? "pngcairo"
                           : nullptr;
  return device || ext == ".tsv";
}

// A whole number from `least`, all of `text`.
bool whole(std::string_view text, int least, int& n) {
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  return ec == std::errc() && ptr == text.data() + text.size() && n >= least;
}

// A finite number, all of `text`.
bool real(std::string_view text, double& v) {
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  return ec == std::errc() && ptr == text.data() + text.size() && std::isfinite(v);
}

// "LO,HI", either end empty for the data's; LO below HI when both are given.
bool range(std::string_view text, Limits& l) {
  std::size_t comma = text.find(',');
  if (comma == std::string_view::npos) return false;
  std::string_view lo = text.substr(0, comma), hi = text.substr(comma + 1);
  l = {};
  if (!lo.empty() && !real(lo, l.lo)) return false;
  if (!hi.empty() && !real(hi, l.hi)) return false;
  return !(l.lo >= l.hi);
}

// A length with its unit, or without one when `unit` (points per unit) is
// already known from the other length.
bool length(std::string_view text, double& points, double& unit) {
  constexpr std::pair<std::string_view, double> units[] = {{"cm", cm}, {"mm", cm / 10}, {"in", 72}};
  for (auto [name, size] : units)
    if (text.ends_with(name)) text.remove_suffix(name.size()), unit = size;
  return real(text, points) && points > 0;
}

// "W,H" with a unit on one or both, or one of the journal presets (whose
// height grows for a ratio panel).
bool page_size(std::string_view text, PageSize& size) {
  if (text == "one-column") return size = {8.6 * cm, 6.45 * cm, true}, true;
  if (text == "two-column") return size = {17.8 * cm, 11 * cm, true}, true;
  std::size_t comma = text.find(',');
  if (comma == std::string_view::npos) return false;
  double w = 0, h = 0, wu = 0, hu = 0;
  if (!length(text.substr(0, comma), w, wu) || !length(text.substr(comma + 1), h, hu)) return false;
  if (wu == 0 && hu == 0) return false;
  size = {w * (wu ? wu : hu), h * (hu ? hu : wu), false};
  auto fits = [](double v) { return v >= 4 * cm - 1e-9 && v <= 100 * cm + 1e-9; };
  return fits(size.width) && fits(size.height);
}

bool style(std::string_view text, Draw& d) {
  constexpr std::pair<std::string_view, Draw> styles[] = {
      {"points", Draw::points}, {"line", Draw::line}, {"step", Draw::step}};
  for (auto [name, value] : styles)
    if (text == name) return d = value, true;
  return false;
}

bool place(std::string_view text, Place& p) {
  constexpr std::pair<std::string_view, Place> places[] = {
      {"top-right", Place::top_right},     {"top-left", Place::top_left},
      {"bottom-left", Place::bottom_left}, {"bottom-right", Place::bottom_right},
      {"outside", Place::outside},         {"none", Place::none}};
  for (auto [name, value] : places)
    if (text == name) return p = value, true;
  return false;
}

// What the options ask together: as many labels, columns and slices as
// tables at most, curves among the tables, ranges above 0 on logarithmic
// axes, an output format.
Failure together(Options& o) {
  std::string tables = std::to_string(o.tables.size());
  if (o.tables.empty()) return {Cause::no_table, "", ""};
  if (o.output.empty()) return {Cause::no_output, "", ""};
  if (o.labels.size() > o.tables.size())
    return {Cause::too_many_labels, tables, std::to_string(o.labels.size())};
  if (o.columns.size() > o.tables.size())
    return {Cause::too_many_columns, tables, std::to_string(o.columns.size())};
  if (o.slices.size() > o.tables.size())
    return {Cause::too_many_slices, tables, std::to_string(o.slices.size())};
  if (o.styles.size() > o.tables.size())
    return {Cause::too_many_styles, tables, std::to_string(o.styles.size())};
  for (std::size_t n : o.curves)
    if (n > o.tables.size()) return {Cause::bad_curve, std::to_string(n), tables};
  const Settings& s = o.settings;
  if (s.xlog && s.x_range.lo <= 0)
    return {Cause::bad_range, "--xrange", "needs values above 0 on a logarithmic axis"};
  if (s.y_scale == Scale::log && s.y_range.lo <= 0)
    return {Cause::bad_range, "--yrange", "needs values above 0 on a logarithmic axis"};
  if (!format_for(o.output, o.device)) return {Cause::unknown_format, o.output, ""};
  return {};
}

// The options that have no letter, by the number getopt_long gives them.
enum LongOnly {
  log = 1000,
  linear,
  logx,
  slice,
  curve,
  xrange,
  yrange,
  ratio_range,
  xlabel,
  ylabel,
  text,
  legend,
  size
};

constexpr option longs[] = {{"output", required_argument, nullptr, 'o'},
                            {"label", required_argument, nullptr, 'l'},
                            {"column", required_argument, nullptr, 'c'},
                            {"slice", required_argument, nullptr, slice},
                            {"style", required_argument, nullptr, 's'},
                            {"curve", required_argument, nullptr, curve},
                            {"ratio", no_argument, nullptr, 'r'},
                            {"log", no_argument, nullptr, log},
                            {"linear", no_argument, nullptr, linear},
                            {"logx", no_argument, nullptr, logx},
                            {"xrange", required_argument, nullptr, xrange},
                            {"yrange", required_argument, nullptr, yrange},
                            {"ratio-range", required_argument, nullptr, ratio_range},
                            {"xlabel", required_argument, nullptr, xlabel},
                            {"ylabel", required_argument, nullptr, ylabel},
                            {"text", required_argument, nullptr, text},
                            {"legend", required_argument, nullptr, legend},
                            {"size", required_argument, nullptr, size},
                            {"help", no_argument, nullptr, 'h'},
                            {"version", no_argument, nullptr, 'V'},
                            {nullptr, 0, nullptr, 0}};

// One of --xrange, --yrange and --ratio-range, into its limits.
Failure take_range(int c, const char* arg, Settings& s) {
  Limits& l = c == xrange ? s.x_range : c == yrange ? s.y_range : s.ratio_range;
  const char* name = c == xrange ? "--xrange" : c == yrange ? "--yrange" : "--ratio-range";
  if (!range(arg, l))
    return {Cause::bad_range, name,
            "needs LO,HI with LO below HI (either may be empty), not '" + std::string(arg) + "'"};
  return {};
}

// Option `c` with its value `arg`, taken into `o`; a bad value's failure.
Failure take(int c, const char* arg, Options& o) {
  Settings& s = o.settings;
  int n = 0;
  switch (c) {
    case 'o': o.output = arg; break;
    case 'l': o.labels.push_back(arg); break;
    case 'c':
      if (!whole(arg, 1, n)) return {Cause::bad_column, arg, ""};
      o.columns.push_back(n);
      break;
    case 's':
      if (!style(arg, o.styles.emplace_back())) return {Cause::bad_style, arg, ""};
      break;
    case slice:
      if (!whole(arg, 0, n)) return {Cause::bad_slice, arg, ""};
      o.slices.push_back(n);
      break;
    case curve:
      if (!whole(arg, 1, n)) return {Cause::bad_curve, arg, "the number of tables"};
      o.curves.push_back(static_cast<std::size_t>(n));
      break;
    case 'r': s.ratio = true; break;
    case log: s.y_scale = Scale::log; break;
    case linear: s.y_scale = Scale::linear; break;
    case logx: s.xlog = true; break;
    case xrange:
    case yrange:
    case ratio_range: return take_range(c, arg, s);
    case xlabel: s.x_title = arg; break;
    case ylabel: s.y_title = arg; break;
    case text: s.text.push_back(arg); break;
    case legend:
      if (!place(arg, s.legend)) return {Cause::bad_place, arg, ""};
      break;
    case size:
      if (!page_size(arg, s.size)) return {Cause::bad_size, arg, ""};
      break;
  }
  return {};
}

// The output option getopt_long has just read, as the user wrote it: the
// argument before a value given on its own, else the argument that holds
// the value; a long one up to its '=', any short one as "-o".
std::string output_option(char** argv) {
  std::string_view arg = argv[optind - 1] == optarg ? argv[optind - 2] : argv[optind - 1];
  return arg.starts_with("--") ? std::string(arg.substr(0, arg.find('='))) : "-o";
}

}  // namespace

// Missing values come back as ':' (files::Arguments asks getopt for it).
// A second -o is refused: one run writes one file.
Failure parse(int argc, char** argv, Options& o) {
  files::Arguments args(argc, argv, "o:l:c:s:rhV", longs);
  bool output = false;
  for (int c; (c = args.next()) != -1;) {
    if (c == 'o' && std::exchange(output, true))
      return {Cause::repeated_option, output_option(argv), ""};
    switch (c) {
      case 'h': o.help = true; return {};
      case 'V': o.version = true; return {};
      case ':': return {Cause::missing_argument, argv[optind - 1], ""};
      case '?':
        return {Cause::unknown_option,
                optopt ? std::string("-") + static_cast<char>(optopt) : argv[optind - 1], ""};
      case files::operand: o.tables.push_back(optarg); break;
      default:
        if (Failure f = take(c, optarg, o)) return f;
    }
  }
  return together(o);
}

}  // namespace plot
