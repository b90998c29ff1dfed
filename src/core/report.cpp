// The report records: labels as list-directed records, numeric rows as
// formatted records over the reported bins 4 to 9.

#include "core/report.hpp"

#include <array>

#include "recio/list_output.hpp"

namespace core {

namespace {

constexpr int out = recio::output_unit;
using Row = std::array<float, reported_count>;

// One value per reported bin, in bin order, each formed as it is printed.
template <class Value>
Row row(Value value) noexcept {
  Row r{};
  for (int b = first_reported; b <= last_reported; ++b)
    r[static_cast<unsigned>(b - first_reported)] = value(b);
  return r;
}

void print_row(const Row& r) noexcept { recio::write_formatted(out, f9, r); }

void print_rates(const Measurement& m) noexcept {
  print_row(row([&](int b) { return product(m.ger[b], dxp[b]); }));
  print_row(row([&](int b) { return product(m.mcr[b], dxp[b]); }));
  print_row(row([&](int b) { return product(m.dar[b], dxp[b]); }));
}

void print_totals(const Sums& s) noexcept {
  print_label("total for bin 1-6, total all xp, ratio");
  recio::write_formatted(out, f9, std::array{s.sger6, s.sger, ratio(s.sger6, s.sger)});
  recio::write_formatted(out, f9, std::array{s.smcr6, s.smcr});
  recio::write_formatted(out, f9, std::array{s.sdar6, s.sdar});
}

void print_cross_sections(const Measurement& m) noexcept {
  print_row(row([&](int b) { return m.ger[b]; }));
  print_row(row([&](int b) { return m.mcr[b]; }));
  print_row(row([&](int b) { return m.dar[b]; }));
}

void print_fitted_over_generated(const Measurement& m) noexcept {
  print_row(row([&](int b) { return ratio(m.mcr[b], m.ger[b]); }));
  print_row(row([&](int b) { return ratio(m.dar[b], m.ger[b]); }));
}

}  // namespace

void print_label(std::string_view text) noexcept { recio::write_list(out, {text}); }

void print_blank() noexcept { recio::write_blank(out); }

void print_header() noexcept {
  print_label("THIS GIVES THE BIAS-CORRECTED RATES AND FRAG FUNCTION");
  recio::write_list(out, {std::string_view("BR ="), BR});
  print_label("ger, mcr and dar are corrected for biases");
  print_label("by dividing by :");
  for (int b = 1; b <= bin_count; ++b) recio::write_list(out, {b, bias[b]});
}

void print_uncorrected(const Measurement& m, const Sums& s) noexcept {
  print_label("Ratio of fitted rates");
  print_row(row([&](int b) { return ratio(m.ger[b], m.ger[b]); }));
  print_fitted_over_generated(m);
  print_blank();
  print_label("Rates (without bias correction)");
  print_rates(m);
  print_blank();
  print_totals(s);
  print_blank();
  print_label("Cross-sections (without bias correction)");
  print_cross_sections(m);
  print_blank();
  print_label("apply correction now");
}

void print_corrected(const Measurement& m, const Sums& s) noexcept {
  print_label("Rates");
  print_rates(m);
  print_blank();
  print_totals(s);
  print_blank();
  print_label("Cross-sections");
  print_cross_sections(m);
  print_blank();
  print_label("ratio fitted/matched ");
  print_fitted_over_generated(m);
  print_blank();
}

void print_final(const FinalValues& v) noexcept {
  print_label("THESE ARE THE BIAS-CORRECTED RATES AND FRAG FUNCTION");
  print_label("now for the systematic and stat errors :");
  print_label("rates");
  for (const WithErrors& row : v.rate) recio::write_formatted(out, f10, row);
  print_label("frags");
  for (const WithErrors& row : v.frag) recio::write_formatted(out, f11, row);
}

}  // namespace core
