// Drawing a figure with PLplot, into memory: nothing reaches the disk from
// here.
#pragma once

#include <string>

#include "plot/figure.hpp"

namespace plot {

// The figure in the format of PLplot device `device` (a PNG at 200 pixels
// an inch, the others in points), drawn for the picture file `name`; false
// with `why` set when PLplot fails. A fatal PLplot error ends the process
// with status 1 and its one line.
bool draw(const Figure& figure, const char* device, const std::string& name, std::string& bytes,
          Failure& why);

}  // namespace plot
