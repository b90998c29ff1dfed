// Exact decimal arithmetic on numbers as they are written: the sum or half
// of two decimals is worked digit by digit and rounded once, so that a bin's
// centre or edge comes out as its digits say (0.075, never 0.07500000000000001).
#pragma once

#include <string>
#include <string_view>

namespace tables {

// A decimal held exactly: minus `negative`, times `digits` (no leading or
// trailing zeros; empty for zero), times ten to the `exponent`.
struct Decimal {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

// The decimal that `text` writes: an optional sign, digits with an optional
// point, an optional exponent. False for anything else, "nan" and "inf"
// too, and for a text of over 800 digits or an exponent beyond ±800.
bool decimal_of(std::string_view text, Decimal& d) noexcept;

// The shortest decimal that reads back as the finite `value` (its
// std::to_chars text).
Decimal decimal_of(double value);

Decimal sum(const Decimal& a, const Decimal& b);
Decimal negated(Decimal d);
Decimal half(const Decimal& d);

// `d` written in full, fixed or with an exponent, whichever is shorter, as
// std::to_chars writes a double of the same digits ("0.075", "1.5e+20").
std::string text_of(const Decimal& d);

// The double nearest `d` (an infinity beyond the largest).
double rounded(const Decimal& d) noexcept;

// The shortest text that reads back as `x` (std::to_chars's).
std::string shortest(double x);

}  // namespace tables
