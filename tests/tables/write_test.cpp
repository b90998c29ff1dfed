// The numbers of the results table: the fewest digits that read back to
// the same float, in a form that YAML 1.1 and 1.2 readers both take as a
// number, and YAML's own names for infinities and NaN.

#include <bit>
#include <cstdint>
#include <string_view>

#include <gtest/gtest.h>

#include "tables/write.hpp"

namespace {

struct Case {
  std::uint32_t bits;
  std::string_view text;
};

TEST(tables, numbers_of_floats_are_shortest_and_read_as_numbers) {
  constexpr Case cases[] = {
      {0x3d4ccccd, "0.05"},       // 0.05: fixed notation when it is shorter
      {0x44074633, "541.09686"},  // eight digits, no more
      {0x4ceb79a3, "123456792"},  // whole, so exact: as short as 1.2345679e+08
      {0xc0200000, "-2.5"},          {0x80000000, "-0"},
      {0x7149f2ca, "1.0e+30"},  // "1e+30" would be a string to YAML 1.1
      {0x3851b717, "5.0e-05"},       {0x38d1b717, "1.0e-04"},
      {0x00000001, "1.0e-45"},        // the least subnormal
      {0x7f7fffff, "3.4028235e+38"},  // the greatest float keeps its point
      {0x7f800000, ".inf"},          {0xff800000, "-.inf"},
      {0x7fc00000, ".nan"},          {0xffc00001, ".nan"},
  };
  for (const Case& c : cases) {
    char buf[32];
    EXPECT_EQ(tables::number(tables::decimal(std::bit_cast<float>(c.bits)), buf), c.text)
        << std::hex << c.bits;
  }
}

}  // namespace
