// A command line read option by option with getopt_long, operands and
// options in any order on every system: GNU's getopt moves operands after
// the options, a POSIX one stops at the first operand.
#pragma once

#include <getopt.h>

namespace files {

// What next_argument gives for an operand (an argument that is no option,
// or any argument after "--"); getopt_long's own values are a character,
// a long option's value, '?', ':' or -1.
inline constexpr int operand = -2;

// Steps through argv[1] to argv[argc - 1]. `shorts` is getopt's option
// string after its '+' (kept from permuting) and ':' (missing values
// reported as ':'), which this adds: ":C:hV".
class Arguments {
 public:
  Arguments(int argc, char** argv, const char* shorts, const option* longs) noexcept;

  // The next option as getopt_long gives it, with optarg, optopt and
  // optind set as it sets them; `operand` with the operand in optarg; -1
  // once every argument has been taken.
  int next() noexcept;

 private:
  int argc_;
  char** argv_;
  char shorts_[64] = {};
  const option* longs_;
  bool options_ended_ = false;  // after "--": only operands
};

}  // namespace files
