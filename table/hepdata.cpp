// Emitting the results table with yaml-cpp: the bin edges of xp, then the
// fragmentation function and the rate, each value with its statistical
// and systematic error. Keys are limited to those HEPData accepts.

#include "hepdata.hpp"

#include <yaml-cpp/emitter.h>
#include <yaml-cpp/emittermanip.h>

#include <charconv>
#include <cmath>
#include <cstring>

namespace table {
namespace {

// Each bin width is a whole number of thousandths (the float nearest it),
// so the bin edges, running sums of the widths from xp = 0, are exact in
// thousandths and are written as decimals, never as float sums.
constexpr int thousandths(float width) { return static_cast<int>(double(width) * 1000 + 0.5); }

constexpr bool widths_are_thousandths() {
  for (int b = 1; b <= corr::bin_count; ++b)
    if (static_cast<float>(thousandths(corr::dxp[b]) / 1000.0) != corr::dxp[b]) return false;
  return true;
}
static_assert(widths_are_thousandths());

// "0.05", "0.1", "1.0": the integer part, the point, the thousandths
// without trailing zeros but at least one digit.
std::string decimal(int t) {
  std::string s = std::to_string(t / 1000) + "." + std::to_string(1000 + t % 1000).substr(1);
  while (s.back() == '0' && s[s.size() - 2] != '.') s.pop_back();
  return s;
}

void edges(YAML::Emitter& y) {
  y << YAML::BeginMap;
  y << YAML::Key << "header" << YAML::Value << YAML::Flow << YAML::BeginMap << YAML::Key << "name"
    << YAML::Value << "x_p" << YAML::EndMap;
  y << YAML::Key << "values" << YAML::Value << YAML::BeginSeq;
  int low = 0;
  for (int b = 1; b <= corr::bin_count; ++b) {
    const int high = low + thousandths(corr::dxp[b]);
    if (b >= corr::first_reported)
      y << YAML::Flow << YAML::BeginMap << YAML::Key << "low" << YAML::Value << decimal(low)
        << YAML::Key << "high" << YAML::Value << decimal(high) << YAML::EndMap;
    low = high;
  }
  y << YAML::EndSeq << YAML::EndMap;
}

void error(YAML::Emitter& y, float value, const char* label) {
  char buf[32];
  y << YAML::Flow << YAML::BeginMap << YAML::Key << "symerror" << YAML::Value
    << std::string(number(value, buf)) << YAML::Key << "label" << YAML::Value << label
    << YAML::EndMap;
}

// One dependent variable: its name, the branching ratio as a qualifier
// and one entry per reported bin.
void variable(YAML::Emitter& y, const char* name, const std::array<corr::WithErrors, corr::reported_count>& rows) {
  char buf[32];
  y << YAML::BeginMap;
  y << YAML::Key << "header" << YAML::Value << YAML::Flow << YAML::BeginMap << YAML::Key << "name"
    << YAML::Value << name << YAML::EndMap;
  y << YAML::Key << "qualifiers" << YAML::Value << YAML::BeginSeq << YAML::Flow << YAML::BeginMap
    << YAML::Key << "name" << YAML::Value << "BR" << YAML::Key << "value" << YAML::Value
    << std::string(number(corr::BR, buf)) << YAML::EndMap << YAML::EndSeq;
  y << YAML::Key << "values" << YAML::Value << YAML::BeginSeq;
  for (const corr::WithErrors& row : rows) {
    y << YAML::BeginMap << YAML::Key << "value" << YAML::Value << std::string(number(row[0], buf));
    y << YAML::Key << "errors" << YAML::Value << YAML::BeginSeq;
    error(y, row[1], "stat");
    error(y, row[2], "sys");
    y << YAML::EndSeq << YAML::EndMap;
  }
  y << YAML::EndSeq << YAML::EndMap;
}

}  // namespace

std::string_view number(float value, char (&buf)[32]) noexcept {
  if (std::isnan(value)) return ".nan";
  if (std::isinf(value)) return value < 0 ? "-.inf" : ".inf";
  char* end = std::to_chars(buf, buf + sizeof buf - 2, value).ptr;
  std::string_view text(buf, static_cast<std::size_t>(end - buf));
  const std::size_t e = text.find('e');
  if (e != std::string_view::npos && text.find('.') == std::string_view::npos) {
    std::memmove(buf + e + 2, buf + e, text.size() - e);
    std::memcpy(buf + e, ".0", 2);
    text = {buf, text.size() + 2};
  }
  return text;
}

// yaml-cpp reports misuse through the emitter's state, not by throwing;
// only memory can run out, and then no text is handed back.
bool format(const corr::FinalValues& v, std::string& text) noexcept {
  try {
    YAML::Emitter y;
    y.SetIndent(2);
    y << YAML::BeginMap;
    y << YAML::Key << "independent_variables" << YAML::Value << YAML::BeginSeq;
    edges(y);
    y << YAML::EndSeq;
    y << YAML::Key << "dependent_variables" << YAML::Value << YAML::BeginSeq;
    variable(y, "fragmentation function", v.frag);
    variable(y, "rate", v.rate);
    y << YAML::EndSeq << YAML::EndMap;
    if (!y.good()) return false;
    text.assign(y.c_str(), y.size());
    text += '\n';
    return true;
  } catch (...) {
    text.clear();
    return false;
  }
}

}  // namespace table
