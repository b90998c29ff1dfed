// The command line of xpcorr: the options, read with getopt_long, and the
// help and version texts.
#pragma once

#include <string_view>

#include "cli/problem.hpp"

namespace cli {

struct Options {
  bool help = false;
  bool version = false;
  const char* directory = nullptr;  // -C DIR: read the fit files there
  const char* table = nullptr;      // --table FILE: write the results table
  bool check = false;               // --check: examine the fit files, no report
};

// Reads every argument. A usage error names the first offending argument
// and leaves `o` partly filled; nothing is printed here.
Failure parse(int argc, char** argv, Options& o) noexcept;

extern const std::string_view usage;    // the --help text
extern const std::string_view version;  // the --version text

}  // namespace cli
