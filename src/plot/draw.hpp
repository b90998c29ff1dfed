// Drawing tables on one picture with PLplot, into memory: nothing reaches
// the disk from here.
#pragma once

#include <string>
#include <vector>

#include "plot/view.hpp"

namespace plot {

// What to draw: the tables, the y scale, and the ratio panel (null: none).
struct Picture {
  const std::vector<Series>& tables;
  bool log;
  const Ratios* ratios;
};

// The picture in the format of PLplot device `device`, drawn for the
// picture file `name`; false with `why` set when PLplot fails. A fatal
// PLplot error ends the process with status 1 and its one line.
bool draw(const Picture& picture, const char* device, const std::string& name, std::string& bytes,
          Failure& why);

}  // namespace plot
