// The numbers along an axis: where its ticks go and each label's text,
// written so that it states its number whole (2×10⁵, never 2 with a
// factor somewhere else), in the Unicode the picture draws.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace plot {

struct Tick {
  double at;  // on the axis: the value, or its log10 on a logarithmic axis
  std::string label;
  int row = 0;  // 1: a line further from the axis, between its neighbours
};

// The number of rows of labels of `t`: 2 when some are staggered.
int rows(const std::vector<Tick>& t);

struct Ticks {
  std::vector<Tick> major;    // labelled
  std::vector<double> minor;  // not labelled
};

// Whether a set of labelled ticks fits along the axis.
using Fits = std::function<bool(const std::vector<Tick>&)>;

// The ticks of an axis from `lo` to `hi` (log10 of the values on a
// logarithmic axis): the finest of the steps 1, 2 and 5 times a power of
// ten whose labels `fits` takes, at least two where the axis holds them.
// A logarithmic axis of fewer than three whole decades is labelled at 1, 2
// and 5 times the powers of ten (0.05, 0.1, 0.2, 0.5) where those fit,
// else at 1 and 3 times them; a longer one at whole decades; one too narrow
// for two such labels at 1 to 9 times them, else at the steps of a linear
// axis.
Ticks ticks(double lo, double hi, bool log, const Fits& fits);

// The ticks of categories along an axis: label k at k + 1, every other one
// a row further from the axis when `fits` does not take them in one row.
Ticks named(const std::vector<std::string>& labels, const Fits& fits);

// The labels of values `v` that are multiples of `step` (1, 2 or 5 times a
// power of ten): fixed decimals, as many as the step needs, while the
// largest is from 0.001 to 99999, else a mantissa with those decimals times
// the largest one's power of ten ("1.5×10⁵"); 0 as "0", a minus as "−".
std::vector<std::string> labels(const std::vector<double>& v, double step);

// "10" with the exponent in superscript digits: "10⁻³".
std::string power_of_ten(int exponent);

}  // namespace plot
