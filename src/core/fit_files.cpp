// Reading the fit files: all nine files of a sample are opened before any
// is read, so a missing file stops the run before that sample is used.

#include "core/fit_files.hpp"

#include "recio/list_input.hpp"
#include "recio/units.hpp"

namespace core {

namespace {

int unit_of(int bin) noexcept { return first_fit_unit - 1 + bin; }

void open_all(const std::array<std::string_view, bin_count>& names) noexcept {
  for (int b = 1; b <= bin_count; ++b)
    recio::open_old(unit_of(b), names[static_cast<unsigned>(b - 1)]);
}

// Reads the six values of bin b's file into `values`, whose positions
// that the file leaves unread keep what they hold, then closes the unit.
void read_six(int b, std::array<float, fit_values>& values) noexcept {
  recio::read_reals(unit_of(b), values);
  recio::close(unit_of(b));
}

}  // namespace

// The positions not kept (fitted mass, width, background and the yield's
// error) are still parsed, so they must be well-formed values.
void read_fit_files(Measurement& m) noexcept {
  std::array<float, fit_values> values{};
  open_all(mc_files);
  for (int b = 1; b <= bin_count; ++b) {
    values[matched_value] = m.mcmatch[b];
    values[yield_value] = m.mcyield[b];
    read_six(b, values);
    m.mcmatch[b] = values[matched_value];
    m.mcyield[b] = values[yield_value];
  }
  open_all(data_files);
  for (int b = 1; b <= bin_count; ++b) {
    values[yield_value] = m.dayield[b];
    read_six(b, values);
    m.dayield[b] = values[yield_value];
  }
}

}  // namespace core
