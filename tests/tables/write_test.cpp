// The numbers of the results table: the fewest digits that read back to
// the same float, in a form that YAML 1.1 and 1.2 readers both take as a
// number, and YAML's own names for infinities and NaN; bin centres and
// widths worked exactly in the decimals written; the format of a name; and
// the texts, plain where YAML reads them back as the same string, else
// quoted.

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "tables/decimal.hpp"
#include "tables/write.hpp"
#include "tables/yaml_nodes.hpp"

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

// Each centre and width, worked by hand from the edges' decimals, is
// written exactly and rounds once to the double the C library reads from
// that text; the doubles' own (low + high) / 2 and high - low are wrong
// in the last digit or overflow.
TEST(tables, centres_and_widths_are_exact_in_the_decimals_written) {
  struct Centre {
    double low, high;
    std::string centre, width;
  };
  const Centre cases[] = {
      {0.05, 0.1, "0.075", "0.05"},  // (0.05 + 0.1) / 2 is 0.07500000000000001
      {0.1, 0.2, "0.15", "0.1"},     // 0.15000000000000002
      {0.1, 0.3, "0.2", "0.2"},      // 0.3 - 0.1 is 0.19999999999999998
      {-0.5, 0.3, "-0.1", "0.8"},
      {0, 1e-5, "5e-06", "1e-05"},
      {1e20, 2e20, "1.5e+20", "1e+20"},
      {1.7976931348623157e308, 1.7976931348623157e308, "1.7976931348623157e+308", "0"},
      // 601 digits, in full as shorter than with an exponent.
      {-1e-300, 1e300, "4" + std::string(299, '9') + "." + std::string(300, '9') + "5",
       "1" + std::string(300, '0') + "." + std::string(299, '0') + "1"},
  };
  for (const Centre& c : cases) {
    SCOPED_TRACE(c.centre);
    const tables::Decimal low = tables::decimal_of(c.low), high = tables::decimal_of(c.high);
    const tables::Decimal centre = tables::half(tables::sum(low, high));
    const tables::Decimal width = tables::sum(high, tables::negated(low));
    EXPECT_EQ(tables::text_of(centre), c.centre);
    EXPECT_EQ(tables::text_of(width), c.width);
    EXPECT_EQ(tables::rounded(centre), std::strtod(c.centre.c_str(), nullptr));
    EXPECT_EQ(tables::rounded(width), std::strtod(c.width.c_str(), nullptr));
  }
}

TEST(tables, a_name_ending_in_yoda_asks_for_yoda_any_other_for_hepdata_and_gz_compresses) {
  struct Name {
    std::string_view name;
    tables::Format format;
  };
  constexpr Name names[] = {
      {"t.yoda", tables::Format::yoda},
      {"dir/REF.YODA", tables::Format::yoda},
      {"t.yoda.gz", tables::Format::yoda_gzip},
      {"t.YODA.GZ", tables::Format::yoda_gzip},
      {"t.yaml.gz", tables::Format::hepdata_gzip},
      {"t.gz", tables::Format::hepdata_gzip},
      {"t.yoda.gzip", tables::Format::hepdata},
      {"t.gz.yoda", tables::Format::yoda},
      {"t.yaml", tables::Format::hepdata},
      {"yoda", tables::Format::hepdata},
      {"t.yodas", tables::Format::hepdata},
      {".gz", tables::Format::hepdata_gzip},
  };
  for (const Name& n : names) EXPECT_EQ(tables::format_for(n.name), n.format) << n.name;
}

// Each name as the writer gives it, and read back by libyaml, a reader of
// its own, as the same string: plain when YAML 1.1 would take it so,
// in double quotes with escapes when it would be a number, boolean or null,
// start with an indicator, hold a separator or comment sign, blanks at an
// end, or a byte outside printable ASCII.
TEST(tables, texts_are_plain_or_quoted_and_read_back_as_written) {
  const struct {
    std::string name;
    std::string_view written;
  } cases[] = {
      {"x_p", "x_p"},
      {"fragmentation function", "fragmentation function"},
      {"$\\xi = -\\ln z$", "$\\xi = -\\ln z$"},
      {"a:b#c-d", "a:b#c-d"},
      {"", "\"\""},
      {" lead", "\" lead\""},
      {"trail ", "\"trail \""},
      {"Yes", "\"Yes\""},
      {"off", "\"off\""},
      {"NULL", "\"NULL\""},
      {"~", "\"~\""},
      {"1.5", "\"1.5\""},
      {".5", "\".5\""},
      {"-x", "\"-x\""},
      {"#x", "\"#x\""},
      {"'q'", "\"'q'\""},
      {"*x", "\"*x\""},
      {"a: b", "\"a: b\""},
      {"a:", "\"a:\""},
      {"a #b", "\"a #b\""},
      {"a,b", "\"a,b\""},
      {"a[b]", "\"a[b]\""},
      {"a{b}", "\"a{b}\""},
      {"say \"x\" \\ y", "say \"x\" \\ y"},
      {"\"x\" \\ y", "\"\\\"x\\\" \\\\ y\""},
      {"tab\tline\nend", "\"tab\\x09line\\x0aend\""},
      {"a\x7f", "\"a\\x7f\""},
      {"\xc3\xa9", "\"\xc3\xa9\""},
  };
  for (const auto& c : cases) {
    const tables::Table t{{}, {{{c.name, ""}, {}}}, {}};
    const std::string text = tables::table_text(t, tables::Format::hepdata);
    EXPECT_EQ(text, "independent_variables:\n  - header: {name: " + std::string(c.written) +
                        "}\n    values: []\ndependent_variables: []\n");
    tables::YamlDocument doc;
    tables::ReadFailure why;
    ASSERT_TRUE(doc.parse(text, why)) << tables::message(why);
    EXPECT_EQ(doc.root().at("independent_variables").item(0).at("header").at("name").text(), c.name)
        << text;
  }
}

// Every form of the data file: comment lines, bins with and without a
// value of their own and points, numeric and text qualifiers with units,
// values without errors, with symmetric and asymmetric errors (labelled or
// not), and text values, which carry no errors.
TEST(tables, every_form_of_the_data_file) {
  const tables::Table t{{"written by a test"},
                        {{{"x", "GeV"},
                          {{true, false, 0, 0.5, 0},
                           {true, true, 0.5, 1, 0.75},
                           {false, false, 0, 0, 2},
                           {false, false, 0, 0, -1}}}},
                        {{{"y", ""},
                          {{"BR", true, 0.8883, "", ""}, {"SQRT(S)", false, 0, "91.2", "GeV"}},
                          {{true, 1.5, "", {}},
                           {true, 2, "", {{0.5, 0.5, "stat"}, {0.125, 0.25, ""}}},
                           {false, 0, "-", {{1, 1, "x"}}},
                           {false, 0, "", {}}}}}};
  EXPECT_EQ(tables::table_text(t, tables::Format::hepdata),
            "# written by a test\n"
            "independent_variables:\n"
            "  - header: {name: x, units: GeV}\n"
            "    values:\n"
            "      - {low: 0.0, high: 0.5}\n"
            "      - {low: 0.5, high: 1.0, value: 0.75}\n"
            "      - {value: 2.0}\n"
            "      - {value: -1.0}\n"
            "dependent_variables:\n"
            "  - header: {name: \"y\"}\n"  // y is true to YAML 1.1
            "    qualifiers:\n"
            "      - {name: BR, value: 0.8883}\n"
            "      - {name: SQRT(S), value: \"91.2\", units: GeV}\n"
            "    values:\n"
            "      - value: 1.5\n"
            "      - value: 2\n"
            "        errors:\n"
            "          - {symerror: 0.5, label: stat}\n"
            "          - {asymerror: {plus: 0.25, minus: -0.125}}\n"
            "      - value: \"-\"\n"
            "      - value: ''\n");
}

}  // namespace
