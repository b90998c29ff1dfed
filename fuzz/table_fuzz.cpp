// libFuzzer target: the HEPData table reader over any bytes, as a table
// downloaded from the internet may hold, with the default choice of
// dependent variable and the second; the names it reads are then made into
// picture text, and the figure of its series is composed, axes, ticks and
// layout. It must never crash, hang or grow without bound.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "plot/figure.hpp"
#include "plot/latex.hpp"
#include "plot/layout.hpp"
#include "plot/series.hpp"
#include "tables/hepdata.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  tables::Table table;
  tables::ReadFailure refusal;
  if (!tables::parse_hepdata(text, table, refusal)) return 0;
  // A table read has variables of both kinds, each with a value per point.
  if (table.independent.empty() || table.dependent.empty() || table.independent[0].values.empty())
    __builtin_trap();
  for (int column : {0, 2}) {
    std::vector<plot::Series> series;
    plot::Failure why;
    if (!plot::series_of(table, {column, 0}, series, why)) continue;
    std::size_t points = 0;
    for (const plot::Series& s : series) points += s.points.size();
    if (points != table.independent[0].values.size()) __builtin_trap();
    (void)plot::matrix(table, column);
    // Joining one-point slices keeps every point.
    std::vector<plot::Series> joined = series;
    plot::join_single_points(joined);
    for (const plot::Series& s : joined) points -= s.points.size();
    if (points != 0) __builtin_trap();
    (void)plot::plot_text(series.front().x.name + series.front().x.units);
    (void)plot::plot_text(series.front().y.name + series.front().y.units);
    for (plot::Series& s : series) {
      (void)plot::plot_text(s.slice);
      s.file = s.label = "t";
    }
    plot::Settings settings;
    settings.ratio = series.size() > 1;
    settings.text = {"text"};
    plot::Figure figure;
    std::vector<std::string> notes;
    if (plot::compose(series, settings, figure, notes, why)) plot::lay_out(figure, settings);
  }
  return 0;
}
