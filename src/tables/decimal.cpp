// Decimals as strings of digits with an exponent: read from a text or a
// double's shortest text, added and halved exactly, written back or rounded
// to a double by the C++ library's correctly rounding std::from_chars.

#include "tables/decimal.hpp"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tables {
namespace {

constexpr int max_digits = 800, max_exponent = 800;

// Leading zeros dropped, trailing ones moved into the exponent; zero has no
// digits and no sign.
Decimal normal(Decimal d) {
  std::size_t first = d.digits.find_first_not_of('0');
  if (first == std::string::npos) return {};
  std::size_t last = d.digits.find_last_not_of('0');
  d.exponent += static_cast<int>(d.digits.size() - 1 - last);
  d.digits = d.digits.substr(first, last + 1 - first);
  return d;
}

// The digits of `d` followed by zeros down to ten to the `exponent`.
std::string scaled(const Decimal& d, int exponent) {
  return d.digits + std::string(static_cast<std::size_t>(d.exponent - exponent), '0');
}

// Whether the digit string `a` is less than `b` (neither has leading zeros).
bool less(const std::string& a, const std::string& b) {
  return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// `a` + `b` (or `a` - `b`, with a >= b) on digit strings.
std::string added(const std::string& a, const std::string& b, int sign) {
  std::string out(std::max(a.size(), b.size()) + 1, '0');
  int carry = 0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    int x = i < a.size() ? a[a.size() - 1 - i] - '0' : 0;
    int y = i < b.size() ? b[b.size() - 1 - i] - '0' : 0;
    int v = x + sign * y + carry;
    carry = v < 0 ? -1 : v / 10;
    out[out.size() - 1 - i] = static_cast<char>('0' + (v + 10) % 10);
  }
  return out;
}

}  // namespace

bool decimal_of(std::string_view text, Decimal& d) noexcept {
  d = {};
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) d.negative = text[i++] == '-';
  bool point = false, any = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c == '.' && !point) {
      point = true;
    } else if (c >= '0' && c <= '9') {
      any = true;
      if (d.digits.size() >= max_digits) return false;
      if (c != '0' || !d.digits.empty()) d.digits += c;
      if (point) --d.exponent;
    } else {
      break;
    }
  }
  if (!any) return false;
  if (i < text.size()) {
    if (text[i] != 'e' && text[i] != 'E') return false;
    std::string_view e = text.substr(i + 1);
    if (e.starts_with('+')) e.remove_prefix(1);
    int power = 0;
    auto [end, ec] = std::from_chars(e.data(), e.data() + e.size(), power);
    if (e.empty() || ec != std::errc() || end != e.data() + e.size()) return false;
    if (std::abs(power) > max_exponent) return false;
    d.exponent += power;
  }
  d = normal(d);
  return std::abs(d.exponent) <= 2 * max_exponent;
}

Decimal decimal_of(double value) {
  Decimal d;
  if (!std::isfinite(value)) return d;
  char buf[32];
  char* end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific).ptr;
  decimal_of(std::string_view(buf, static_cast<std::size_t>(end - buf)), d);
  return d;
}

Decimal sum(const Decimal& a, const Decimal& b) {
  if (a.digits.empty()) return b;
  if (b.digits.empty()) return a;
  const int exponent = std::min(a.exponent, b.exponent);
  std::string x = scaled(a, exponent), y = scaled(b, exponent);
  if (a.negative == b.negative) return normal({a.negative, added(x, y, 1), exponent});
  if (less(x, y)) return normal({b.negative, added(y, x, -1), exponent});
  return normal({a.negative, added(x, y, -1), exponent});
}

Decimal negated(Decimal d) {
  if (!d.digits.empty()) d.negative = !d.negative;
  return d;
}

// Half is five tenths: the digits times five, the exponent one lower.
Decimal half(const Decimal& d) {
  std::string out(d.digits.size() + 1, '0');
  int carry = 0;
  for (std::size_t i = d.digits.size(); i > 0; --i) {
    int v = (d.digits[i - 1] - '0') * 5 + carry;
    out[i] = static_cast<char>('0' + v % 10);
    carry = v / 10;
  }
  out[0] = static_cast<char>('0' + carry);
  return normal({d.negative, out, d.exponent - 1});
}

std::string text_of(const Decimal& d) {
  if (d.digits.empty()) return "0";
  const std::string& digits = d.digits;
  const int n = static_cast<int>(digits.size()), e = d.exponent, power = e + n - 1;
  const std::string exponent = std::to_string(std::abs(power));
  const int fixed_size = e >= 0 ? n + e : n + e > 0 ? n + 1 : 2 - e;
  const int scientific_size = n + (n > 1) + 2 + std::max<int>(2, exponent.size());
  std::string out = d.negative ? "-" : "";
  const auto count = [](int k) { return static_cast<std::size_t>(k); };
  if (fixed_size <= scientific_size && e >= 0)
    out.append(digits).append(count(e), '0');
  else if (fixed_size <= scientific_size && n + e > 0)
    out.append(digits, 0, count(n + e)).append(".").append(digits, count(n + e));
  else if (fixed_size <= scientific_size)
    out.append("0.").append(count(-e - n), '0').append(digits);
  else
    out.append(digits, 0, 1)
        .append(n > 1 ? "." : "")
        .append(digits, 1)
        .append(power < 0 ? "e-" : "e+")
        .append(exponent.size() < 2 ? "0" : "")
        .append(exponent);
  return out;
}

double rounded(const Decimal& d) noexcept {
  if (d.digits.empty()) return 0;
  std::string text = d.digits + "e" + std::to_string(d.exponent);
  double v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec == std::errc::result_out_of_range)
    v = static_cast<int>(d.digits.size()) + d.exponent > 0 ? HUGE_VAL : 0.0;
  return d.negative ? -v : v;
}

std::string shortest(double x) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, x).ptr);
}

}  // namespace tables
