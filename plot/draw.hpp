// Drawing the fragmentation functions of several tables on one picture
// with PLplot, into memory: nothing reaches the disk from here.
#pragma once

#include <string>
#include <vector>

#include "table.hpp"

namespace plot {

// Why a point cannot go on the logarithmic axis, or empty when it can.
std::string undrawable(const Point& p);

// The picture of `tables` in the format of PLplot device `device`, drawn
// for the picture file `name`; false with `why` set when PLplot fails.
// A fatal PLplot error ends the process with status 1 and its one line.
bool draw(const std::vector<Table>& tables, const char* device, const std::string& name, std::string& bytes,
          Failure& why);

}  // namespace plot
