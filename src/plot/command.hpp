// The command line of xpcorr-plot: its options read into what the run
// needs, every usage error found before anything is read.
#pragma once

#include <string>
#include <vector>

#include "plot/failure.hpp"
#include "plot/figure.hpp"

namespace plot {

extern const char* const usage_text;

struct Options {
  bool help = false, version = false;
  std::vector<std::string> tables, labels;
  std::vector<int> columns, slices;  // one for each table, in order
  std::vector<std::size_t> curves;   // positions of tables drawn as lines
  std::vector<Draw> styles;          // one for each table, in order
  std::string output;
  const char* device = nullptr;  // null for the points as text
  Settings settings;
};

// Reads the command line into `o`; the first usage error, if any. Nothing
// is printed here.
Failure parse(int argc, char** argv, Options& o);

}  // namespace plot
