// The points of tables as read, as tab-separated text: for a look in a
// terminal or for another tool (gnuplot, numpy.loadtxt).
#pragma once

#include <string>
#include <vector>

#include "plot/series.hpp"

namespace plot {

// A first line naming the columns (after '#', which gnuplot and numpy skip),
// then a line per point: the table's label, x low, x high, x, the value,
// stat down and up, total down and up; a value that is text ('-', a bin not
// measured) leaves those five fields empty. Numbers are the shortest
// decimals that read back as the same doubles ("nan" and "inf" too).
std::string points_text(const std::vector<Series>& tables);

}  // namespace plot
