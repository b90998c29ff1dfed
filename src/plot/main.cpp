// xpcorr-plot: draws HEPData data tables (those of xpcorr --table, and those
// published on HEPData) and objects of YODA files on one picture, SVG, PDF
// or PNG, or lists their points as tab-separated text.

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>

#include "files/whole_file.hpp"
#include "plot/command.hpp"
#include "plot/draw.hpp"
#include "plot/layout.hpp"
#include "plot/points.hpp"
#include "tables/read.hpp"

namespace {

using namespace plot;
namespace fs = std::filesystem;

// The help or version text on standard output.
Failure print(std::string_view text) {
  if (int error = files::write_in_full(1, text); error != 0)
    return {Cause::cannot_write, "standard output", error};
  return {};
}

// How table `i` is drawn: as its --style asks, a line for --curve, else a
// prediction (a YODA object outside /REF) as steps over bins or a line
// through points, and a measurement as points.
Draw style_of(const Options& o, std::size_t i, const tables::Table& t) {
  if (i < o.styles.size()) return o.styles[i];
  if (std::ranges::count(o.curves, i + 1) > 0) return Draw::line;
  tables::Source src = tables::source_of(o.tables[i]);
  std::string file = src.file;
  for (char& c : file) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  bool yoda = file.ends_with(".yoda") || file.ends_with(".yoda.gz");
  if (!yoda || src.object.empty() || src.object.starts_with("/REF/")) return Draw::points;
  bool bins = std::ranges::any_of(t.independent.front().values, &tables::Coordinate::bin);
  return bins ? Draw::step : Draw::line;
}

// Every table is read, and may be refused, before anything is written: a
// matrix has no picture; each is drawn in the style it asks; a title
// that is a DOI gives way to the YODA object's name; columns of one
// file are labelled apart; a picture draws a table's one-point slices,
// each at its own x, as one series. What a reader tells of a table
// goes to `notes`.
Failure read_all(const Options& o, std::vector<Series>& series, std::vector<std::string>& notes) {
  for (std::size_t i = 0; i < o.tables.size(); ++i) {
    tables::Table table;
    tables::ReadFailure refusal;
    if (!tables::read_table(o.tables[i], table, refusal))
      return {Cause::refused, o.tables[i], tables::message(refusal)};
    for (const std::string& n : table.notes) notes.push_back(note_line(o.tables[i], n));
    Pick pick{i < o.columns.size() ? o.columns[i] : 0, i < o.slices.size() ? o.slices[i] : 0};
    Failure why;
    if (std::string m = matrix(table, pick.column); o.device && !m.empty())
      return {Cause::matrix, o.tables[i], m};
    std::size_t first = series.size();
    if (!series_of(table, pick, series, why)) return why.subject = o.tables[i], why;
    const Draw style = table.independent.empty() ? Draw::points : style_of(o, i, table);
    const std::string object = tables::source_of(o.tables[i]).object;
    for (std::size_t k = first; k < series.size(); ++k) {
      if (no_title(series[k].y.name)) series[k].y.name = object.substr(object.rfind('/') + 1);
      series[k].file = o.tables[i];
      series[k].label = i < o.labels.size()
                            ? o.labels[i]
                            : fs::path(tables::source_of(o.tables[i]).file).filename().string();
      series[k].table = i;
      series[k].curve = style == Draw::line, series[k].step = style == Draw::step;
    }
  }
  tell_apart(series, o.labels.size());
  if (o.device) join_single_points(series);
  return {};
}

// The points as text, every one on its line; a table none of whose points
// has a value that is a number is refused.
Failure points(const std::vector<Series>& series, std::string& bytes) {
  for (std::size_t i = 0; i < series.size(); ++i) {
    const Series& t = series[i];
    auto finite = [&](const Series& u) {
      return u.table == t.table &&
             std::ranges::any_of(u.points, [](const Point& p) { return std::isfinite(p.value); });
    };
    bool last = i + 1 == series.size() || series[i + 1].table != t.table;
    if (last && std::ranges::none_of(series, finite))
      return {Cause::nothing_to_draw, t.file, "no point has a value that is a number"};
  }
  bytes = points_text(series);
  return {};
}

// Reads every table, then writes the picture or the points, each only once
// it is complete, and names the points it left out.
Failure run(const Options& o) {
  std::vector<Series> series;
  std::vector<std::string> notes;
  if (Failure f = read_all(o, series, notes)) return f;
  std::string bytes;
  Failure why;
  if (o.device) {
    Figure figure;
    if (!compose(series, o.settings, figure, notes, why)) return why;
    lay_out(figure, o.settings);
    if (!draw(figure, o.device, o.output, bytes, why)) return why;
  } else if ((why = points(series, bytes))) {
    return why;
  }
  if (o.output == "-") {
    if (int error = files::write_in_full(1, bytes); error != 0)
      return {Cause::cannot_write, "standard output", error};
  } else if (int error = files::replace_whole(o.output.c_str(), bytes); error != 0) {
    return {Cause::cannot_write, o.output, error};
  }
  std::string all;
  for (const std::string& n : notes) all += n;
  files::write_in_full(2, all);
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
