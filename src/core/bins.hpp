// The fixed tables of the measurement, nine bins of scaled momentum xp,
// and the per-bin arrays that the fit input and the rates fill.
#pragma once

#include <array>

namespace core {

// Nine single-precision values, one per xp bin, indexed by bin 1 to 9.
struct PerBin {
  std::array<float, 9> v{};
  constexpr float& operator[](int bin) noexcept { return v[static_cast<unsigned>(bin - 1)]; }
  constexpr float operator[](int bin) const noexcept { return v[static_cast<unsigned>(bin - 1)]; }
};

inline constexpr int bin_count = 9;
inline constexpr int first_reported = 4;  // the report shows bins 4 to 9
inline constexpr int last_reported = 9;

// Each entry is the single-precision number nearest the decimal written.
inline constexpr PerBin dxp{{0.005f, 0.02f, 0.025f, 0.05f, 0.05f, 0.05f, 0.1f, 0.2f, 0.5f}};
inline constexpr PerBin gen{
    {5743.f, 216582.f, 262234.f, 288149.f, 148142.f, 83560.f, 85893.f, 60933.f, 21681.f}};
inline constexpr PerBin bias{
    {0.99f, 1.0078f, 1.0134f, 1.0112f, 1.008f, 1.0028f, 1.002f, 0.9947f, 0.9893f}};
inline constexpr PerBin stat{{0.f, 0.f, 0.f, 0.078f, 0.067f, 0.055f, 0.043f, 0.041f, 0.058f}};
inline constexpr PerBin syst{{0.f, 0.f, 0.f, 0.149f, 0.11f, 0.094f, 0.088f, 0.064f, 0.072f}};

// The branching ratio is printed only. The rates are multiplied by its
// reciprocal, a literal of its own rounded to eight digits: dividing by
// BR instead changes the last bit of the generated rate in three bins.
inline constexpr float BR = 0.8883f;
inline constexpr float rate_scale = 1.1257458f;
inline constexpr float norm = 1.0E6f;  // rates are per million

// Width-weighted sums of the rates over all nine bins and over bins 4 to 9.
struct Sums {
  float sger = 0, smcr = 0, sdar = 0;
  float sger6 = 0, smcr6 = 0, sdar6 = 0;
};

// Everything the run fills. A rate whose yield is not above 0 is never
// computed and keeps its 0; so does a fit value that the file left unread.
struct Measurement {
  PerBin mcmatch, mcyield, dayield;  // read from the fit files
  PerBin ger, mcr, dar;              // generated, Monte Carlo and data rates
};

}  // namespace core
