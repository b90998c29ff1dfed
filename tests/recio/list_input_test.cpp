// List-directed input: one test per rule of the reader, each a table of
// inputs and the six values (or the fault) they must give.

#include "recio/list_input.hpp"

#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace std::literals;
using recio::Fault;

constexpr float prior = 7.0f;  // the value an unread item keeps
constexpr float inf = std::numeric_limits<float>::infinity();

using Six = std::array<float, 6>;

struct Read {
  Fault fault;
  Six items;
};

Read read(std::string_view input) {
  Read r{Fault::none, {prior, prior, prior, prior, prior, prior}};
  recio::Source source(input);
  r.fault = recio::read_list(source, r.items);
  return r;
}

std::uint32_t bits(float f) { return std::bit_cast<std::uint32_t>(f); }

// Compares the six items by bit pattern, so that -0.0, +0.0 and the last
// bit of the mantissa all count.
void expect_items(std::string_view input, const Six& expected) {
  Read r = read(input);
  EXPECT_EQ(r.fault, Fault::none) << "input: \"" << input << "\"";
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(bits(r.items[i]), bits(expected[i]))
        << "input: \"" << input << "\" item " << i << ": got " << r.items[i] << ", expected "
        << expected[i];
}

void expect_fault(std::string_view input, Fault expected) {
  Read r = read(input);
  EXPECT_EQ(static_cast<int>(r.fault), static_cast<int>(expected)) << "input: \"" << input << "\"";
}

struct ItemsCase {
  std::string_view input;
  Six expected;
};

struct FaultCase {
  std::string_view input;
  Fault expected;
};

struct ValueCase {
  std::string_view input;  // one value, read as the first of six
  std::uint32_t expected;  // its bit pattern
};

// Reads `text` followed by five more values and checks the first item's bits.
void expect_first_bits(std::string_view text, std::uint32_t expected) {
  std::string input(text);
  input += " 0 0 0 0 0\n";
  Read r = read(input);
  EXPECT_EQ(r.fault, Fault::none) << "input: \"" << text << "\"";
  EXPECT_EQ(bits(r.items[0]), expected) << std::hex << "input: \"" << text << "\": got 0x"
                                        << bits(r.items[0]) << ", expected 0x" << expected;
}

TEST(list_input, separators) {
  static constexpr ItemsCase cases[] = {
      {"1 2 3 4 5 6\n", {1, 2, 3, 4, 5, 6}},
      {"1,2,3,4,5,6\n", {1, 2, 3, 4, 5, 6}},
      {"1\t2\t3\t4\t5\t6\n", {1, 2, 3, 4, 5, 6}},
      {"1\n2\n3\n4\n5\n6\n", {1, 2, 3, 4, 5, 6}},
      {"1 ,2\t,\t3 , 4\n5,\n6\n", {1, 2, 3, 4, 5, 6}},
      {"   1    2\t \t3\n  4 5 6", {1, 2, 3, 4, 5, 6}},
      {"\n\n1 2\n\n\n3 4\n \n\t\n5 6\n", {1, 2, 3, 4, 5, 6}},
      {"1 2,\n3 4 5 6\n", {1, 2, 3, 4, 5, 6}},  // a comma ending a line is one separator
  };
  for (const auto& c : cases) expect_items(c.input, c.expected);
}

// Separators are passed over a word at a time: runs of every length up to
// three words, starting at every offset, end exactly at the next value; a
// line end ends a run of blanks between values only as a separator of its
// own; bytes that differ from a separator in one bit are not separators.
TEST(list_input, separator_runs_of_any_length) {
  constexpr std::string_view white = " \t\n \n\t  \n\n\t \t\t\n  \n \t\n\n\n \t \n";
  for (std::size_t lead = 0; lead < 8; ++lead) {
    for (std::size_t run = 1; run <= white.size(); ++run) {
      std::string input(white.substr(0, lead));
      input.append("1").append(white.substr(0, run)).append("2,3").append(run, ' ');
      input.append("4").append(white.substr(white.size() - run)).append("5\t6\n");
      expect_items(input, {1, 2, 3, 4, 5, 6});
    }
  }
  static constexpr FaultCase near_misses[] = {
      {"        \xa0 1 2 3 4 5 6\n", Fault::invalid_number},
      {"        \x8a 1 2 3 4 5 6\n", Fault::invalid_number},
      {"\n\n\n\n\n\n\n\n\x89 1 2 3 4 5 6\n", Fault::invalid_number},
      {"\t\t\t\t\t\t\t\x0b 1 2 3 4 5 6\n", Fault::invalid_number},
      {"       \r 1 2 3 4 5 6\n", Fault::invalid_number},
      {"                       \x00 1 2 3 4 5 6\n"sv, Fault::invalid_number},
  };
  for (const auto& c : near_misses) expect_fault(c.input, c.expected);
}

TEST(list_input, null_values) {
  static constexpr ItemsCase cases[] = {
      {"1,,3 4 5 6\n", {1, prior, 3, 4, 5, 6}},
      {",2 3 4 5 6\n", {prior, 2, 3, 4, 5, 6}},
      {",,,,,,\n", {prior, prior, prior, prior, prior, prior}},
      {"1, ,3 4 5 6\n", {1, prior, 3, 4, 5, 6}},
      {"1,\n,3 4 5 6\n", {1, prior, 3, 4, 5, 6}},
      {"3* 4 5 6\n", {prior, prior, prior, 4, 5, 6}},
      {"1 2* 4 5 6\n", {1, prior, prior, 4, 5, 6}},
      {"1 2*,4 5 6\n", {1, prior, prior, 4, 5, 6}},
      {"1 2 3 4 2*\n", {1, 2, 3, 4, prior, prior}},
      {"1 2 3 4 2*", {1, 2, 3, 4, prior, prior}},
      {"6*\n", {prior, prior, prior, prior, prior, prior}},
  };
  for (const auto& c : cases) expect_items(c.input, c.expected);
}

TEST(list_input, repeat_count) {
  static constexpr ItemsCase cases[] = {
      {"6*2.5\n", {2.5f, 2.5f, 2.5f, 2.5f, 2.5f, 2.5f}},
      {"3*1.5 2*2 -1\n", {1.5f, 1.5f, 1.5f, 2, 2, -1}},
      {"1 2*-3 4 5\n6\n", {1, -3, -3, 4, 5, 6}},
      {"2*3,4 5 6 7\n", {3, 3, 4, 5, 6, 7}},
      {"10*4\n", {4, 4, 4, 4, 4, 4}},
      {"99999999999*4\n", {4, 4, 4, 4, 4, 4}},
      {"1*1 1*2 1*3 1*4 1*5 1*6\n", {1, 2, 3, 4, 5, 6}},
      {"007*8\n", {8, 8, 8, 8, 8, 8}},
  };
  for (const auto& c : cases) expect_items(c.input, c.expected);
}

TEST(list_input, bad_repetition_count) {
  static constexpr FaultCase cases[] = {
      {"*5 1 2 3 4 5\n", Fault::bad_repetition_count},
      {"0*3 1 2 3 4 5\n", Fault::bad_repetition_count},
      {"000*3 1 2 3 4 5\n", Fault::bad_repetition_count},
      {"-2*1 1 2 3 4 5\n", Fault::bad_repetition_count},
      {"1 2 *5 4 5 6\n", Fault::bad_repetition_count},
  };
  for (const auto& c : cases) expect_fault(c.input, c.expected);
}

TEST(list_input, slash) {
  static constexpr ItemsCase cases[] = {
      {"/\n", {prior, prior, prior, prior, prior, prior}},
      {"1 2 /\n", {1, 2, prior, prior, prior, prior}},
      {"1,2/\n", {1, 2, prior, prior, prior, prior}},
      {"1,2,/ 3 4 5 6\n", {1, 2, prior, prior, prior, prior}},
      {"1\n2\n/\n3 4 5 6\n", {1, 2, prior, prior, prior, prior}},
      {"3*/\n", {prior, prior, prior, prior, prior, prior}},
      {"2*9/\n", {9, 9, prior, prior, prior, prior}},
      {"1 2 3 4 5 /", {1, 2, 3, 4, 5, prior}},
  };
  for (const auto& c : cases) expect_items(c.input, c.expected);
}

TEST(list_input, exponents) {
  static constexpr ItemsCase cases[] = {
      {"1.5E3 1.5e3 1.5D3 1.5d3 2.5D3 2.5e+3\n", {1500, 1500, 1500, 1500, 2500, 2500}},
      {"1.5-3 1.5+3 2E-1 2e0 -3d-0 4D+1\n", {1.5e-3f, 1500, 0.2f, 2, -3, 40}},
      {"1E1 1-1 .5E1 5.E-1 1.E+00000002 +2d2\n", {10, 0.1f, 5, 0.5f, 100, 200}},
  };
  for (const auto& c : cases) expect_items(c.input, c.expected);
}

TEST(list_input, exponent_field) {
  static constexpr FaultCase cases[] = {
      {"1.5e 2 3 4 5 6\n", Fault::exponent_field},
      {"1.5e\n", Fault::exponent_field},
      {"1.5e", Fault::exponent_field},
      {"1.5e+ 2 3 4 5 6\n", Fault::exponent_field},
      {"1.5D- 2 3 4 5 6\n", Fault::exponent_field},
      {"1.5-x 2 3 4 5 6\n", Fault::exponent_field},
      {"1.5+ 2 3 4 5 6\n", Fault::exponent_field},
      {"1.5ex 2 3 4 5 6\n", Fault::exponent_field},
      {"1e100000000 2 3 4 5 6\n", Fault::exponent_field},
      {"1e-100000000 2 3 4 5 6\n", Fault::exponent_field},
      {"1 2 3 4 5 6e\n", Fault::exponent_field},
  };
  for (const auto& c : cases) expect_fault(c.input, c.expected);

  // The largest exponent field is accepted, and its value decides.
  static constexpr ValueCase values[] = {
      {"1e99999999", 0x7f800000u},
      {"-1e99999999", 0xff800000u},
      {"1e-99999999", 0x00000000u},
      {"0e99999999", 0x00000000u},
      {"1e00000000000099999999", 0x7f800000u},
  };
  for (const auto& c : values) expect_first_bits(c.input, c.expected);
}

TEST(list_input, invalid_number) {
  static constexpr FaultCase cases[] = {
      {"abc 1 2 3 4 5\n", Fault::invalid_number},
      {". 1 2 3 4 5\n", Fault::invalid_number},
      {"- 1 2 3 4 5\n", Fault::invalid_number},
      {"+ 1 2 3 4 5\n", Fault::invalid_number},
      {".E1 1 2 3 4 5\n", Fault::invalid_number},
      {"\r1 2 3 4 5 6\n", Fault::invalid_number},
      {std::string_view("\0"
                        "1 2 3 4 5 6\n",
                        13),
       Fault::invalid_number},
      {"\xEF\xBB\xBF"
       "1 2 3 4 5 6\n",
       Fault::invalid_number},
      {"1 2 x 4 5 6\n", Fault::invalid_number},
      {"1 2 3 4 5 E5\n", Fault::invalid_number},
  };
  for (const auto& c : cases) expect_fault(c.input, c.expected);
}

TEST(list_input, end_of_file) {
  static constexpr FaultCase cases[] = {
      {"", Fault::end_of_file},
      {"1 2 3 4 5\n", Fault::end_of_file},
      {"1 2 3 4 5", Fault::end_of_file},
      {"1 2 3 4 5,", Fault::end_of_file},
      {"1 2 3 4 5,\n\n", Fault::end_of_file},
      {"   ", Fault::end_of_file},
      {" \t \n\n \t\n", Fault::end_of_file},
      {"4*1", Fault::end_of_file},
  };
  for (const auto& c : cases) expect_fault(c.input, c.expected);
}

TEST(list_input, forty_significant_digits) {
  // 1 + 2^-24 + 2^-53 is a point halfway between two doubles, above the
  // float halfway point 1 + 2^-24. The 45-digit text just above it would
  // round up to 0x3f800001 if read in full; its first 40 digits lie below
  // it, so the double is 1 + 2^-24 and the float rounds to even, 1.0.
  static constexpr ValueCase cases[] = {
      {"1.00000005960464488641292746251565404236316681", 0x3f800000u},
      {"1.000000059604644886412927462515654042363", 0x3f800000u},
      {"0.00000100000005960464488641292746251565404236316681E6", 0x3f800000u},
      {"10000000596046448864129274625156540423631668.1E-43", 0x3f800000u},
  };
  for (const auto& c : cases) expect_first_bits(c.input, c.expected);

  // Digits past the fortieth before the point still scale the value.
  static constexpr ItemsCase scaled[] = {
      {"123456789012345678901234567890123456789012345E-30 "
       "1234567890123456789012345678901234567890E-25 "
       "12345678901234567890123456789012345678909999.5E-30 "
       "1000000000000000000000000000000000000000000000000000E-50 "
       "10000000000000000000000000000000000000000000000000000000e-54 "
       "100000000000000000000000000000000000000000000000000000000000\n",
       {1.23456789012345678901234567890123456789e14f, 1.23456789012345678901234567890123456789e14f,
        1.2345678901234567890123456789012345678e13f, 10, 10, inf}},
  };
  for (const auto& c : scaled) expect_items(c.input, c.expected);
}

TEST(list_input, double_rounding) {
  // 1 + 2^-24 is halfway between the floats 1 and 1 + 2^-23. A decimal just
  // above it rounds to that halfway double, which rounds to even: 1.0,
  // where rounding the decimal straight to single would give 1 + 2^-23.
  static constexpr ValueCase cases[] = {
      {"1.00000005960464477539062500001", 0x3f800000u},
      {"1.000000059604644775390625", 0x3f800000u},
      {"1.00000005960464477539062501", 0x3f800000u},
      {"-1.00000005960464477539062500001", 0xbf800000u},
      // 1 + 3*2^-24 is halfway between odd 1 + 2^-23 and even 1 + 2^-22;
      // a decimal just below it still rounds to the halfway double, then up.
      {"1.000000178813934326171874999", 0x3f800002u},
      // plain correctly rounded cases
      {"0.8883", 0x3f6367a1u},
      {"1.5e-3", 0x3ac49ba6u},
      {"-1.5-3", 0xbac49ba6u},
      {"16777217", 0x4b800000u},
      {"3.4028235e38", 0x7f7fffffu},
      {"1e-45", 0x00000001u},
  };
  for (const auto& c : cases) expect_first_bits(c.input, c.expected);
}

// Beyond the tables: numbers of 1 to 18 digits with exponents around the
// range where a double holds the power of ten exactly give the bits of
// strtod's correctly rounded double, rounded to single.
TEST(list_input, conversion_is_the_correctly_rounded_double_made_single) {
  std::uint64_t state = 12345;
  auto next = [&state] { return state = state * 6364136223846793005u + 1442695040888963407u; };
  int mismatches = 0;
  for (int i = 0; i < 200000; ++i) {
    std::string text = "0";
    int digits = 1 + static_cast<int>(next() >> 33) % 18;
    for (int k = 0; k < digits; ++k) text += static_cast<char>('0' + (next() >> 33) % 10);
    int exponent = static_cast<int>((next() >> 33) % 61) - 30;
    text += 'e' + std::to_string(exponent);
    float expected = static_cast<float>(std::strtod(text.c_str(), nullptr));
    Read r = read(text);
    if (bits(r.items[0]) != bits(expected) && ++mismatches <= 10)
      ADD_FAILURE() << text << ": got " << r.items[0] << ", expected " << expected;
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(list_input, overflow_and_underflow) {
  static constexpr ValueCase cases[] = {
      {"1e39", 0x7f800000u},
      {"-1e39", 0xff800000u},
      {"3.5e38", 0x7f800000u},
      {"1e309", 0x7f800000u},
      {"1e500", 0x7f800000u},
      {"-1e500", 0xff800000u},
      {"1e-50", 0x00000000u},
      {"-1e-50", 0x80000000u},
      {"1e-320", 0x00000000u},
      {"1e-400", 0x00000000u},
      {"-1e-999", 0x80000000u},
      {"0", 0x00000000u},
      {"0e500", 0x00000000u},
      // A count has no sign at zero: every spelling of zero reads as +0.
      {"-0", 0x00000000u},
      {"-0.0E+00", 0x00000000u},
      {"-.000", 0x00000000u},
      {"-0d-999", 0x00000000u},
  };
  for (const auto& c : cases) expect_first_bits(c.input, c.expected);
}

TEST(list_input, carriage_return) {
  static constexpr FaultCase faults[] = {
      {"1\r\n2 3 4 5 6\n", Fault::invalid_number},
      {"1 2 3\r\n4 5 6\r\n", Fault::invalid_number},
  };
  for (const auto& c : faults) expect_fault(c.input, c.expected);
  static constexpr ItemsCase reads[] = {
      {"1 2 3 4 5 6\r\n", {1, 2, 3, 4, 5, 6}},
      {"1 2 3 4 5 6 \r\n", {1, 2, 3, 4, 5, 6}},
  };
  for (const auto& c : reads) expect_items(c.input, c.expected);
}

TEST(list_input, rest_of_line_passed_over) {
  struct Case {
    std::string_view input;
    int next;  // peek() after the read
  };
  static constexpr Case cases[] = {
      {"1 2 3 4 5 6\nN", 'N'},
      {"1 2 3 4 5 6 junk 7 8\nN", 'N'},
      {"1 2 3 4 5 6,7\nN", 'N'},
      {"1 2 3 4 5\n6\n7", '7'},
      {"6*1 xyz\nQ", 'Q'},
      {"1 / junk\nQ", 'Q'},
      {"1 2 3 4 5 6\n\nX", '\n'},
      {"1 2 3 4 5 6\n", recio::end_of_input},
      {"1 2 3 4 5 6", recio::end_of_input},
      {"1 2 3 4 5 6 rest", recio::end_of_input},
  };
  for (const auto& c : cases) {
    Six items{};
    recio::Source source(c.input);
    EXPECT_EQ(recio::read_list(source, items), Fault::none) << "input: \"" << c.input << "\"";
    EXPECT_EQ(source.peek(), c.next) << "input: \"" << c.input << "\"";
  }
}

TEST(list_input, last_line_without_line_end) {
  static constexpr ItemsCase cases[] = {
      {"1 2 3 4 5 6", {1, 2, 3, 4, 5, 6}},
      {"1 2 3\n4 5 6", {1, 2, 3, 4, 5, 6}},
      {"1 2 3 4 5 6.5E1", {1, 2, 3, 4, 5, 65}},
      {"1 2 3 4 5 -.25", {1, 2, 3, 4, 5, -0.25f}},
  };
  for (const auto& c : cases) expect_items(c.input, c.expected);
}

TEST(list_input, whole_numbers) {
  static constexpr ItemsCase cases[] = {
      {"1 -2 +3 100 0 16777217\n", {1, -2, 3, 100, 0, 16777216.0f}},
      {"007 -0010 123456789 2147483648 99999999999 5\n",
       {7, -10, 123456789.0f, 2147483648.0f, 99999999999.0f, 5}},
  };
  for (const auto& c : cases) expect_items(c.input, c.expected);
}

// What a traced item must hold.
struct Traced {
  std::uint64_t line, column;
  std::string_view text;
  bool cut, set;
};

struct TraceCase {
  std::string input;
  Fault fault;
  std::vector<Traced> items;  // as many as the input gave
  Traced stop;
};

void expect_traced(const recio::TracedItem& got, const Traced& want, const std::string& what) {
  EXPECT_EQ(got.place.line, want.line) << what;
  EXPECT_EQ(got.place.column, want.column) << what;
  EXPECT_EQ(got.text.view(), want.text) << what;
  EXPECT_EQ(got.text.cut, want.cut) << what;
  EXPECT_EQ(got.set, want.set) << what;
}

// A traced read tells where each item began (line and column from 1), its
// text as written and whether a value set it, and where the read stopped:
// at a fault, at the end, at a slash, or at what follows the last value on
// its line. Read from memory and from a file through a window one byte
// larger than a text, so that refills fall inside texts and line counts.
TEST(list_input, trace_tells_where_each_item_began) {
  const std::string long_value = "123456789012345678901234567890123456789012345";
  const TraceCase cases[] = {
      {"\n\n  1 2,3\n\t4, ,5 6 junk 7\r\nnext",
       Fault::none,
       {{3, 3, "1", false, true},
        {3, 5, "2", false, true},
        {3, 7, "3", false, true},
        {4, 2, "4", false, true},
        {4, 5, ",", false, false},
        {4, 6, "5", false, true}},
       {4, 8, "6 junk 7\r", false, true}},
      {"3*1.5 2* /x\n",
       Fault::none,
       {{1, 1, "3*1.5", false, true},
        {1, 1, "3*1.5", false, true},
        {1, 1, "3*1.5", false, true},
        {1, 7, "2*", false, false},
        {1, 7, "2*", false, false}},
       {1, 10, "/", false, false}},
      {std::string(50, '\n') + "1 2 3 4 " + long_value + " 6",
       Fault::none,
       {{51, 1, "1", false, true},
        {51, 3, "2", false, true},
        {51, 5, "3", false, true},
        {51, 7, "4", false, true},
        {51, 9, std::string_view(long_value).substr(0, 40), true, true},
        {51, 55, "6", false, true}},
       {51, 56, "", false, true}},
      {"1 2\n  abc,4\n",
       Fault::invalid_number,
       {{1, 1, "1", false, true}, {1, 3, "2", false, true}},
       {2, 3, "abc", false, false}},
      {"1 2 3\n",
       Fault::end_of_file,
       {{1, 1, "1", false, true}, {1, 3, "2", false, true}, {1, 5, "3", false, true}},
       {2, 1, "", false, false}},
      {"1 2 3 4\n5e+",
       Fault::exponent_field,
       {{1, 1, "1", false, true},
        {1, 3, "2", false, true},
        {1, 5, "3", false, true},
        {1, 7, "4", false, true}},
       {2, 1, "5e+", false, false}},
  };
  for (const TraceCase& c : cases) {
    char path[] = "/tmp/xpcorr-trace-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    unlink(path);  // at once, so that a failed assertion leaves no file
    ASSERT_EQ(write(fd, c.input.data(), c.input.size()), static_cast<ssize_t>(c.input.size()));
    ASSERT_EQ(lseek(fd, 0, SEEK_SET), 0);
    std::array<char, recio::ItemText::capacity + 1> window;
    recio::Source from_file(fd, window), from_memory(c.input);
    for (recio::Source* in : {&from_memory, &from_file}) {
      const std::string what = (in == &from_file ? "file: \"" : "memory: \"") + c.input + "\"";
      Six values{};
      std::array<recio::TracedItem, 6> items{};
      recio::Trace trace{items};
      EXPECT_EQ(recio::read_list(*in, values, &trace), c.fault) << what;
      ASSERT_EQ(trace.found, c.items.size()) << what;
      for (std::size_t i = 0; i < c.items.size(); ++i)
        expect_traced(items[i], c.items[i], what + " item " + std::to_string(i));
      expect_traced(trace.stop, c.stop, what + " stop");
    }
    close(fd);
  }
}

}  // namespace
