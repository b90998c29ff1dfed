// List-directed output: the real item form and the records of character,
// integer and real items. Expected text ends in ';' so that trailing
// blanks show.

#include "recio/list_output.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace {

using recio::ListItem;

constexpr float inf = std::numeric_limits<float>::infinity();

std::string real_text(float value) {
  char buf[32];
  return std::string(recio::real_item(value, buf)) + ';';
}

struct RealCase {
  float value;
  std::string_view expected;
};

TEST(list_output, real_item) {
  static constexpr RealCase cases[] = {
      {0.8883f, "  0.888300002;"},
      {0.99f, "  0.99000001;"},
      {100.f, "  100.;"},
      {1.f, "  1.;"},
      {-1.f, " -1.;"},
      {1e10f, "  1.E+10;"},
      {-1e10f, " -1.E+10;"},
      {-0.5f, " -0.5;"},
      {0.5f, "  0.5;"},
      {123456789.f, "  123456792.;"},
      {1e9f, "  1.E+09;"},
      {1.5e-5f, "  1.49999996E-05;"},
      {1e-5f, "  9.99999975E-06;"},
      {0.0001f, "  9.99999975E-05;"},
      {0.001f, "  0.00100000005;"},
      {3.4028235e38f, "  3.40282347E+38;"},
      {1e-45f, "  1.40129846E-45;"},
      {inf, "  INF;"},
      {-inf, " -INF;"},
  };
  for (const auto& c : cases) EXPECT_EQ(real_text(c.value), c.expected) << "value " << c.value;
}

TEST(list_output, real_zero) {
  // A zero of either sign is the two leading characters and "0.".
  static constexpr RealCase cases[] = {
      {0.0f, "  0.;"},
      {-0.0f, "  0.;"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(real_text(c.value), c.expected)
        << "value " << c.value << (std::signbit(c.value) ? " (negative zero)" : "");
}

struct RecordCase {
  std::vector<ListItem> items;
  std::string_view expected;
};

std::string record(const std::vector<ListItem>& items) {
  recio::Stream out(-1);
  EXPECT_TRUE(recio::emit_list(out, items));
  return std::string(out.pending()) + ';';
}

TEST(list_output, character_items) {
  const RecordCase cases[] = {
      {{std::string_view("BR =")}, " BR =\n;"},
      {{std::string_view("A"), std::string_view("B")}, " AB\n;"},
      {{1, std::string_view("X")}, " 1X\n;"},
      {{0.5f, std::string_view("X")}, "  0.5X\n;"},
      {{std::string_view(" ")}, "  \n;"},
      {{std::string_view("")}, " \n;"},
  };
  for (const auto& c : cases) EXPECT_EQ(record(c.items), c.expected);
}

TEST(list_output, integer_items) {
  const RecordCase cases[] = {
      {{0}, " 0\n;"},
      {{1}, " 1\n;"},
      {{-1}, " -1\n;"},
      {{1, 2, 3}, " 1 2 3\n;"},
      {{2147483647}, " 2147483647\n;"},
      {{-2147483647 - 1}, " -2147483648\n;"},
      {{std::string_view("N ="), 12}, " N = 12\n;"},
  };
  for (const auto& c : cases) EXPECT_EQ(record(c.items), c.expected);
}

TEST(list_output, header_records) {
  const RecordCase cases[] = {
      {{std::string_view("BR ="), 0.8883f}, " BR =  0.888300002\n;"},
      {{1, 0.99f}, " 1  0.99000001\n;"},
      {{std::string_view(" ")}, "  \n;"},
      {{}, "\n;"},
      {{0.5f, -0.5f, 1}, "  0.5 -0.5 1\n;"},
  };
  for (const auto& c : cases) EXPECT_EQ(record(c.items), c.expected);
}

TEST(list_output, line_limit) {
  const std::string a77(77, 'A');  // record length 78 after the leading blank
  const std::string a78(78, 'A');  // length 79
  const std::string a73(73, 'A');  // length 74
  const std::string a74(74, 'A');  // length 75
  const std::string a79(79, 'A');  // length 80
  struct Case {
    std::vector<ListItem> items;
    std::string expected;
  };
  const Case cases[] = {
      // integer: measure is the digit count; 1 + 78 < 80 stays
      {{std::string_view(a77), 1}, " " + a77 + " 1\n;"},
      // 1 + 79 >= 80 breaks
      {{std::string_view(a78), 1}, " " + a78 + "\n 1\n;"},
      // two digits on length 78: 2 + 78 >= 80 breaks
      {{std::string_view(a77), 12}, " " + a77 + "\n 12\n;"},
      // a minus sign does not count in the measure
      {{std::string_view(a77), -1}, " " + a77 + " -1\n;"},
      // then the record is 81 long; the next item breaks
      {{std::string_view(a77), -1, 2}, " " + a77 + " -1\n 2\n;"},
      // real: measure is its whole text, "  0.5" is 5
      {{std::string_view(a73), 0.5f}, " " + a73 + "  0.5\n;"},
      {{std::string_view(a74), 0.5f}, " " + a74 + "\n  0.5\n;"},
      // character: measure is its length; a character item that starts a
      // record gets its leading blank
      {{std::string_view(a77), std::string_view("BC")}, " " + a77 + "\n BC\n;"},
      {{std::string_view(a77), std::string_view("B")}, " " + a77 + "B\n;"},
      // a first item longer than the line is not broken
      {{std::string_view(a79)}, " " + a79 + "\n;"},
      {{std::string_view(a79), 5}, " " + a79 + "\n 5\n;"},
  };
  for (const auto& c : cases) EXPECT_EQ(record(c.items), c.expected);

  // Many reals: each "  0.888300002" is 13 long; six fit in 78, the
  // seventh would make 91 and starts a new record.
  std::vector<ListItem> reals(7, 0.8883f);
  std::string line;
  for (int i = 0; i < 6; ++i) line += "  0.888300002";
  EXPECT_EQ(record(reals), line + "\n  0.888300002\n;");
}

}  // namespace
