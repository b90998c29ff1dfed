// Ticks and their labels: the steps tried from the finest, the labels of
// each written whole, and the minor ticks between them.

#include "plot/ticks.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace plot {

namespace {

// m × 10^k, rounded once: for k < 0 a division, so that 3 × 0.1 is 0.3.
double scaled(double m, int k) { return k < 0 ? m / std::pow(10.0, -k) : m * std::pow(10.0, k); }

int decade_of(double v) {
  int e = static_cast<int>(std::floor(std::log10(v)));
  if (scaled(1, e + 1) <= v) ++e;
  if (scaled(1, e) > v) --e;
  return e;
}

std::string fixed(double v, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", std::max(decimals, 0), v + 0.0);  // no "-0"
  std::string s = buf;
  return s.starts_with('-') ? "−" + s.substr(1) : s;
}

// A linear axis: the finest step whose labels fit, else the coarsest with two.
Ticks linear(double lo, double hi, const Fits& fits) {
  Ticks chosen;
  int k0 = static_cast<int>(std::floor(std::log10(hi - lo))) - 3;
  for (int k = k0; k <= k0 + 5; ++k)
    for (int m : {1, 2, 5}) {
      double step = scaled(m, k);
      double i0 = std::ceil(lo / step - 1e-9), i1 = std::floor(hi / step + 1e-9);
      // Counted, not stepped: beyond 2^53 a double plus 1 is itself.
      if (!std::isfinite(i0) || !std::isfinite(i1) || i1 - i0 > 14 || i0 + 1 == i0) continue;
      std::vector<double> v;
      for (int j = 0; i0 + j <= i1; ++j) v.push_back(scaled((i0 + j) * m, k));
      if (v.empty()) continue;
      std::vector<std::string> text = labels(v, step);
      Ticks t;
      for (std::size_t j = 0; j < v.size(); ++j) t.major.push_back({v[j], text[j]});
      int sub = m == 2 ? 4 : 5;
      double j0 = std::ceil(lo / step * sub - 1e-9);
      for (int j = 0; j0 + j <= hi / step * sub + 1e-9 && j <= 15 * sub; ++j)
        if (std::fmod(j0 + j, sub) != 0) t.minor.push_back(scaled((j0 + j) * m, k) / sub);
      bool enough = v.size() >= 2;
      if (enough && fits(t.major)) return t;
      if (enough || chosen.major.empty()) chosen = t;
      if (!enough && chosen.major.size() >= 2) return chosen;
    }
  return chosen;
}

// A logarithmic axis over two or more decades: every s-th decade labelled.
Ticks decades(int d0, int d1, double lo, double hi, const Fits& fits) {
  Ticks chosen;
  for (int s : {1, 2, 3, 5, 10, 20, 50, 100}) {
    Ticks t;
    for (int d = d0; d <= d1; ++d) {
      if (((d % s) + s) % s == 0)
        t.major.push_back({static_cast<double>(d), power_of_ten(d)});
      else
        t.minor.push_back(d);
    }
    if (s == 1)
      for (int d = d0 - 1; d <= d1; ++d)
        for (int m = 2; m <= 9; ++m)
          if (double at = d + std::log10(m); at >= lo && at <= hi) t.minor.push_back(at);
    if (t.major.size() < 2) return chosen.major.empty() ? t : chosen;
    chosen = t;
    if (fits(t.major)) return t;
  }
  return chosen;
}

// A short logarithmic axis labelled at the multiples `marked` of the powers
// of ten (1, 2 and 5: 0.05, 0.1, 0.2, 0.5), the others minor ticks; empty
// unless two labels or more fall on the axis and fit.
Ticks within_decades(double lo, double hi, const std::vector<int>& marked, const Fits& fits) {
  Ticks t;
  for (int d = static_cast<int>(std::floor(lo)) - 1; d <= static_cast<int>(std::ceil(hi)); ++d)
    for (int m = 1; m <= 9; ++m) {
      double at = d + std::log10(m);
      if (at < lo - 1e-9 || at > hi + 1e-9) continue;
      if (std::ranges::find(marked, m) == marked.end()) {
        t.minor.push_back(at);
        continue;
      }
      t.major.push_back({at, labels({scaled(m, d)}, scaled(1, d)).front()});
    }
  return t.major.size() >= 2 && fits(t.major) ? t : Ticks{};
}

}  // namespace

std::string power_of_ten(int exponent) {
  static const char* const digits[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
  std::string out = exponent < 0 ? "10⁻" : "10";
  std::string n = std::to_string(exponent < 0 ? -static_cast<long>(exponent) : exponent);
  for (char c : n) out += digits[c - '0'];
  return out;
}

int rows(const std::vector<Tick>& t) {
  return std::ranges::any_of(t, [](const Tick& k) { return k.row == 1; }) ? 2 : 1;
}

Ticks named(const std::vector<std::string>& labels, const Fits& fits) {
  Ticks t;
  for (std::size_t k = 0; k < labels.size(); ++k)
    t.major.push_back({static_cast<double>(k + 1), labels[k]});
  if (!fits(t.major))
    for (std::size_t k = 1; k < t.major.size(); k += 2) t.major[k].row = 1;
  return t;
}

std::vector<std::string> labels(const std::vector<double>& v, double step) {
  double largest = 0;
  for (double x : v) largest = std::max(largest, std::fabs(x));
  int k = decade_of(step);
  // The step is 1, 2 or 5 times 10^k; its decimals are those of 10^k.
  std::vector<std::string> out;
  if (largest == 0) return std::vector<std::string>(v.size(), "0");
  int e = decade_of(largest);
  for (double x : v) {
    if (e >= -3 && e <= 4)
      out.push_back(fixed(x, -k));
    else if (x == 0)
      out.push_back("0");
    else
      out.push_back(fixed(x / scaled(1, e), e - k) + "×" + power_of_ten(e));
  }
  return out;
}

Ticks ticks(double lo, double hi, bool log, const Fits& fits) {
  if (!(hi > lo) || !std::isfinite(hi - lo)) return {};
  if (!log) return linear(lo, hi, fits);
  int d0 = static_cast<int>(std::ceil(lo - 1e-9)), d1 = static_cast<int>(std::floor(hi + 1e-9));
  // Fewer than three whole decades: labels at 1, 2 and 5 where they fit,
  // else at 1 and 3 (0.1, 0.3, 1, 3), else at the decades when there are
  // two, else, within a decade, at each of 1 to 9.
  if (d1 - d0 < 2)
    for (const std::vector<int>& marked : {std::vector<int>{1, 2, 5}, std::vector<int>{1, 3}})
      if (Ticks t = within_decades(lo, hi, marked, fits); !t.major.empty()) return t;
  if (d1 - d0 >= 1) return decades(d0, d1, lo, hi, fits);
  if (Ticks t = within_decades(lo, hi, {1, 2, 3, 4, 5, 6, 7, 8, 9}, fits); !t.major.empty())
    return t;
  // Narrower still: the steps of a linear axis, each at its log10.
  auto logs = [](std::vector<Tick> major) {
    for (Tick& k : major) k.at = std::log10(k.at);
    return major;
  };
  Ticks t = linear(std::pow(10.0, lo), std::pow(10.0, hi),
                   [&](const std::vector<Tick>& major) { return fits(logs(major)); });
  t.major = logs(t.major);
  for (double& m : t.minor) m = std::log10(m);
  return t;
}

}  // namespace plot
