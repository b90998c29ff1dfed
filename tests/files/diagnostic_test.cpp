// The one line writer of both programs: a failure's line from its room's
// wording and its parts, and a finding's line, byte for byte.

#include "files/diagnostic.hpp"

#include <cerrno>
#include <climits>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace {

// The subject goes where the text places it, else before the text; the
// detail, when there is none, is the system's text of the error number;
// a usage error is followed by the hint; a brace that marks nothing stays;
// a subject past the longest path is cut, the rest of the line kept.
TEST(diagnostic, a_failure_is_one_line_of_program_subject_and_text) {
  struct Case {
    std::string_view text;
    bool usage;
    std::string_view subject;
    int error;
    std::string_view detail;
    std::string_view expected;
  };
  constexpr Case cases[] = {
      {"unknown option '{subject}'", true, "-x", 0, "",
       "prog: unknown option '-x'\nTry 'prog --help' for more information.\n"},
      {"is a directory", false, "out", 0, "", "prog: out: is a directory\n"},
      {"{detail}", false, "missing", ENOENT, "", "prog: missing: No such file or directory\n"},
      {"cannot write {subject}: {detail}", false, "t.yaml", ENOSPC, "",
       "prog: cannot write t.yaml: No space left on device\n"},
      {"cannot draw {subject}: {detail}", false, "f.svg", EIO, "PLplot wrote nothing",
       "prog: cannot draw f.svg: PLplot wrote nothing\n"},
      {"more labels ({detail}) than tables ({subject})", true, "1", 0, "2",
       "prog: more labels (2) than tables (1)\nTry 'prog --help' for more information.\n"},
      {"no table given", true, "", 0, "",
       "prog: no table given\nTry 'prog --help' for more information.\n"},
      {"{detail}", false, "", 0, "11 tables, {too} many", "prog: 11 tables, {too} many\n"},
      {"a {brace} stays", false, "", 0, "", "prog: a {brace} stays\n"},
  };
  for (const Case& c : cases) {
    files::Line line;
    files::failure_line(line, "prog", {c.text, 1, c.usage}, c.subject, c.error, c.detail);
    EXPECT_EQ(line.view(), c.expected) << c.text;
  }
  const std::string long_name(PATH_MAX + 10, 'a');
  files::Line line;
  files::failure_line(line, "prog", {"cannot write {subject}: {detail}"}, long_name, EACCES, "");
  EXPECT_EQ(line.view(),
            "prog: cannot write " + long_name.substr(0, PATH_MAX) + ": Permission denied\n");
}

// A finding names its file, its line and column when it lies at one, and
// whether it is an error or a warning.
TEST(diagnostic, a_finding_is_one_line_of_file_place_and_text) {
  files::Line placed, whole;
  files::finding_line(placed, "fits/mcfit3.dat", {12, 7}, false, {"the ", "'0'", " is unset"});
  files::finding_line(whole, "dafit0.dat", {}, true, {"is a directory, not a fit file"});
  EXPECT_EQ(placed.view(), "fits/mcfit3.dat:12:7: warning: the '0' is unset\n");
  EXPECT_EQ(whole.view(), "dafit0.dat: error: is a directory, not a fit file\n");
}

}  // namespace
