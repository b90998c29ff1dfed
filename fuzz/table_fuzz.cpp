// libFuzzer target: the HEPData table reader over any bytes, as a table
// downloaded from the internet may hold, with the default choice of
// dependent variable and the second; the names it reads are then made into
// picture text. It must never crash, hang or grow without bound.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "plot/latex.hpp"
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
    plot::Series series;
    plot::Failure why;
    if (!plot::series_of(table, column, series, why)) continue;
    if (series.points.size() != table.independent[0].values.size()) __builtin_trap();
    (void)plot::plot_text(series.x.name + series.x.units);
    (void)plot::plot_text(series.y.name + series.y.units);
  }
  return 0;
}
