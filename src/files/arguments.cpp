// The command line read with getopt_long in its POSIX order: getopt stops
// at each operand, which is handed out here before getopt goes on after
// it, so that no reading depends on argv being reordered.

#include "files/arguments.hpp"

#include <algorithm>
#include <cstring>

namespace files {
namespace {

// An argument getopt takes for an operand: no leading '-', or "-" alone.
bool is_operand(const char* arg) noexcept { return arg[0] != '-' || arg[1] == '\0'; }

}  // namespace

// getopt reads from argv[1]: one command line per process, as getopt
// keeps its place between calls in globals of its own.
Arguments::Arguments(int argc, char** argv, const char* shorts, const option* longs) noexcept
    : argc_(argc), argv_(argv), longs_(longs) {
  shorts_[0] = '+';
  shorts_[1] = ':';
  const std::size_t n = std::min(std::strlen(shorts), sizeof shorts_ - 3);
  std::memcpy(shorts_ + 2, shorts, n);
  shorts_[2 + n] = '\0';
  opterr = 0;
  optind = 1;
}

// An operand is taken here only between arguments: inside a group of
// short options ("-rl" of "-rl x") optind stays on the group, which starts
// with '-'. When getopt ends on "--" the rest are all operands.
int Arguments::next() noexcept {
  if (optind >= argc_) return -1;
  if (options_ended_ || is_operand(argv_[optind])) {
    optarg = argv_[optind++];
    return operand;
  }
  const int c = getopt_long(argc_, argv_, shorts_, longs_, nullptr);
  if (c != -1) return c;
  options_ended_ = true;
  return next();
}

}  // namespace files
