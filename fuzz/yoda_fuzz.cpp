// libFuzzer target: the YODA reader over any bytes, plain or gzip, as a
// generator run's file or reference data downloaded may hold, with no
// object asked for and with one; what it reads is then made into the
// series and the points text. It must never crash, hang or grow without
// bound.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "plot/points.hpp"
#include "plot/series.hpp"
#include "tables/read.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (std::string_view object : {"", "/A/x"}) {
    tables::Table table;
    tables::ReadFailure refusal;
    if (!tables::read_bytes(bytes, "fuzz.yoda", object, table, refusal)) {
      (void)tables::message(refusal);
      continue;
    }
    // An object read is one variable of each kind, with a value per point.
    if (table.independent.size() != 1 || table.dependent.size() != 1 ||
        table.independent[0].values.empty() ||
        table.independent[0].values.size() != table.dependent[0].values.size())
      __builtin_trap();
    std::vector<plot::Series> series;
    plot::Failure why;
    if (!plot::series_of(table, {}, series, why) || series.size() != 1) __builtin_trap();
    (void)plot::points_text(series);
  }
  return 0;
}
