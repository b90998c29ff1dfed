// Formatted output: the F field edit and the records of the three formats.
// Expected text ends in ';' so that leading and trailing blanks show.

#include "recio/formatted_output.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "recio/units.hpp"

namespace {

// FORMATs of the three forms a record may take here.
constexpr recio::Format f9{"(9(1X,F8.5))", 9, 8, 5};
constexpr recio::Format f10{"(3(1X,F6.4))", 3, 6, 4};
constexpr recio::Format f11{"(3(1X,F5.3))", 3, 5, 3};

constexpr float inf = std::numeric_limits<float>::infinity();

std::string field(float value, int width, int decimals) {
  char buf[recio::max_width];
  return std::string(recio::edit_f(value, width, decimals, buf)) + ';';
}

struct FieldCase {
  float value;
  int width;
  int decimals;
  std::string_view expected;
};

void check(const FieldCase& c) {
  EXPECT_EQ(field(c.value, c.width, c.decimals), c.expected)
      << "value " << c.value << " in F" << c.width << '.' << c.decimals;
}

TEST(f_field, right_justified) {
  static constexpr FieldCase cases[] = {
      {0.5f, 8, 5, " 0.50000;"},  {1.f, 8, 5, " 1.00000;"},   {-0.5f, 8, 5, "-0.50000;"},
      {12.5f, 8, 5, "12.50000;"}, {0.8883f, 6, 4, "0.8883;"}, {0.8883f, 8, 5, " 0.88830;"},
      {1.f, 5, 3, "1.000;"},      {0.25f, 5, 3, "0.250;"},    {3.14159f, 6, 4, "3.1416;"},
      {99.999f, 6, 3, "99.999;"}, {0.f, 5, 3, "0.000;"},
  };
  for (const auto& c : cases) check(c);
}

TEST(f_field, rounding) {
  static constexpr FieldCase cases[] = {
      {0.125f, 6, 2, "  0.12;"},                                 // exact halfway: to even
      {0.375f, 6, 2, "  0.38;"},     {1.2345f, 5, 3, "1.235;"},  // the float is just above 1.2345
      {0.99999f, 8, 5, " 0.99999;"}, {0.999996f, 8, 5, " 1.00000;"},
      {2.5f, 4, 0, "  2.;"},         {3.5f, 4, 0, "  4.;"},
  };
  for (const auto& c : cases) check(c);
}

TEST(f_field, negative_rounding_to_zero) {
  static constexpr FieldCase cases[] = {
      {-0.000001f, 8, 5, " 0.00000;"}, {-0.000004f, 8, 5, " 0.00000;"},
      {-0.000006f, 8, 5, "-0.00001;"}, {-0.00004f, 6, 4, "0.0000;"},
      {-0.0004f, 5, 3, "0.000;"},      {-0.0f, 8, 5, " 0.00000;"},
      {-0.0f, 6, 4, "0.0000;"},        {-0.0f, 5, 3, "0.000;"},
  };
  for (const auto& c : cases) check(c);
}

TEST(f_field, leading_zero_dropped) {
  static constexpr FieldCase cases[] = {
      {-0.123456f, 6, 4, "-.1235;"}, {-0.5f, 6, 4, "-.5000;"},      {-0.5f, 5, 3, "-.500;"},
      {-0.999f, 5, 3, "-.999;"},     {-0.12345f, 7, 5, "-.12345;"}, {0.5f, 4, 3, ".500;"},
      {-0.0004f, 4, 3, ".000;"},  // unsigned zeros, one too long
  };
  for (const auto& c : cases) check(c);
}

TEST(f_field, asterisks) {
  static constexpr FieldCase cases[] = {
      {12.5f, 6, 4, "******;"},
      {-12.5f, 8, 5, "********;"},
      {100.f, 8, 5, "********;"},
      {-10.f, 8, 5, "********;"},
      {10.f, 6, 4, "******;"},
      {-1.f, 6, 4, "******;"},     // "-1.0000" is 7, and does not start with 0
      {-0.5f, 5, 4, "*****;"},     // "-.5000" would still be 6
      {-0.9996f, 5, 3, "*****;"},  // rounds to "-1.000"
      {0.99996f, 5, 4, "*****;"},  // rounds to "1.0000"
      {3.4028235e38f, 8, 5, "********;"},
      {3.4028235e38f, 32, 25, "********************************;"},  // 65 bytes of text
      {-3.4028235e38f, 32, 40, "********************************;"},
  };
  for (const auto& c : cases) check(c);
}

TEST(f_field, infinity) {
  static constexpr FieldCase cases[] = {
      {inf, 8, 5, "     inf;"},
      {-inf, 8, 5, "    -inf;"},
      {inf, 6, 4, "   inf;"},
      {-inf, 5, 3, " -inf;"},
  };
  for (const auto& c : cases) check(c);
}

// A NaN reads "-nan" whatever its sign and payload, as the NaN that x86-64
// makes of an invalid operation prints: other CPUs make it with the sign
// bit clear.
TEST(f_field, nan_of_any_sign_prints_as_on_x86_64) {
  static constexpr FieldCase cases[] = {
      {std::bit_cast<float>(0xffc00000u), 8, 5, "    -nan;"},  // x86-64's default NaN
      {std::bit_cast<float>(0x7fc00000u), 8, 5, "    -nan;"},  // that of ARM, POWER, s390x
      {std::bit_cast<float>(0x7f800001u), 6, 4, "  -nan;"},    // signalling, with a payload
      {std::bit_cast<float>(0xffffffffu), 5, 3, " -nan;"},
      {std::bit_cast<float>(0x7fc00000u), 3, 1, "***;"},
  };
  for (const auto& c : cases) check(c);
}

// The field's digits are those of "%#.*f" for every float, not only for
// the values of the tables above: a sweep over the bit patterns of positive
// floats (subnormals and values of every exponent), and over the exact
// ties j / 2^(d+1) with j odd, at each number of decimals d from 0 to 9
// (each with a power of ten of its own), and on to 12 decimals, where the
// general conversion takes over, wherever the text fits a wide field.
TEST(f_field, digits_are_those_of_the_fixed_printf_conversion) {
  int mismatches = 0;
  auto compare = [&mismatches](float value, int decimals) {
    char buf[recio::max_width];
    char expected[512];
    int n =
        std::snprintf(expected, sizeof expected, "%#32.*f", decimals, static_cast<double>(value));
    if (n > recio::max_width) return;
    std::string_view got = recio::edit_f(value, recio::max_width, decimals, buf);
    if (got != expected && ++mismatches <= 10)
      ADD_FAILURE() << "bits 0x" << std::hex << std::bit_cast<std::uint32_t>(value) << std::dec
                    << " F32." << decimals << ": got " << got << "; want " << expected << ';';
  };
  for (int decimals = 0; decimals <= 12; ++decimals) {
    for (std::uint32_t bits = 1; bits < 0x7f800000u; bits += 4093)
      compare(std::bit_cast<float>(bits), decimals);
    for (int j = 1; j < 20000; j += 2)
      compare(std::ldexp(static_cast<float>(j), -decimals - 1), decimals);
  }
  EXPECT_EQ(mismatches, 0);
}

struct RecordCase {
  const recio::Format* format;
  std::vector<float> values;
  std::string expected;
};

std::string record(const recio::Format& format, const std::vector<float>& values) {
  recio::Stream out(-1);
  EXPECT_TRUE(recio::emit_formatted(out, format, values));
  return std::string(out.pending()) + ';';
}

TEST(formatted_output, record_length) {
  struct Case {
    const recio::Format* format;
    std::size_t count;
    std::size_t length;  // without the line end
  };
  static constexpr Case cases[] = {
      {&f9, 6, 54},  {&f9, 3, 27}, {&f9, 2, 18},  {&f9, 9, 81},
      {&f10, 3, 21}, {&f10, 1, 7}, {&f11, 3, 18}, {&f11, 2, 12},
  };
  for (const auto& c : cases) {
    std::string text = record(*c.format, std::vector<float>(c.count, 0.5f));
    EXPECT_EQ(text.size(), c.length + 2) << c.format->text << " with " << c.count;
    EXPECT_EQ(text.substr(c.length), "\n;") << c.format->text << " with " << c.count;
  }
}

TEST(formatted_output, records) {
  const RecordCase cases[] = {
      {&f9, {0.5f, -0.5f, 1.f}, "  0.50000 -0.50000  1.00000\n;"},
      {&f9, {0.8883f, 0.99f}, "  0.88830  0.99000\n;"},
      {&f9,
       {1.f, 2.f, 3.f, 4.f, 5.f, 6.f},
       "  1.00000  2.00000  3.00000  4.00000  5.00000  6.00000\n;"},
      {&f10, {0.5f, -0.123456f, 12.5f}, " 0.5000 -.1235 ******\n;"},
      {&f11, {0.5f, -0.5f, 0.f}, " 0.500 -.500 0.000\n;"},
      {&f11, {-0.0f, inf, -inf}, " 0.000   inf  -inf\n;"},
      // past the repeat count the format starts again, on a new record
      {&f10, {1.f, 2.f, 3.f, 4.f}, " 1.0000 2.0000 3.0000\n 4.0000\n;"},
      {&f11, {1.f, 2.f, 3.f, 4.f, 5.f, 6.f}, " 1.000 2.000 3.000\n 4.000 5.000 6.000\n;"},
      {&f9, {}, "\n;"},
  };
  for (const auto& c : cases) EXPECT_EQ(record(*c.format, c.values), c.expected) << c.format->text;
}

}  // namespace
