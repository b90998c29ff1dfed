// libFuzzer target: the HEPData table reader over any bytes, as a table
// downloaded from the internet may hold, with the default choice of
// dependent variable and the second; the names it reads are then made into
// picture text. It must never crash, hang or grow without bound.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "plot/table.hpp"
#include "plot/text.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  for (int column : {0, 2}) {
    plot::Table table;
    plot::Failure why;
    if (!plot::parse_table(text, column, table, why)) continue;
    // A table read has a point for each value, and each of them an x.
    if (table.points.empty()) __builtin_trap();
    (void)plot::plot_text(table.x.name + table.x.units);
    (void)plot::plot_text(table.y.name + table.y.units);
  }
  return 0;
}
