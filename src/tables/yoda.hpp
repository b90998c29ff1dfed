// YODA files, the text files of the field's Monte Carlo comparison tools:
// predictions of a generator run and the reference data that comparison
// analyses carry, any number of objects between BEGIN and END lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tables/read.hpp"
#include "tables/table.hpp"

namespace tables {

// The table as YODA reference data: one Scatter2D (V2) per dependent
// variable against the first independent one, at /REF/XPCORR/d01-x01-y01,
// ...-y02 and on, with each point's errors in its ErrorBreakdown.
std::string yoda_text(const Table& t);

// The largest YODA text (or its gzip-inflated text) a reader goes through,
// and the largest object it keeps: a generator run's file is read in
// pieces, and only the object asked for is held.
constexpr std::size_t max_yoda_bytes = std::size_t{1} << 30;
constexpr std::size_t max_object_bytes = max_table_bytes;

// Whether `text` starts as a YODA file does: its first line that is
// neither blank nor a comment is an object's BEGIN line.
bool yoda_start(std::string_view text);

// Goes through a YODA text line by line: the BEGIN and END of every object,
// and the lines of the one asked for by its path (or, when none is, of the
// one object that is neither /RAW/, bookkeeping (/_...) nor a weight
// variation), which it then reads into a table.
class YodaReader {
 public:
  explicit YodaReader(std::string_view wanted) : wanted_(wanted) {}

  // The next line, without its line end. False with `why` set when the
  // text cannot be a YODA file.
  bool line(std::string_view text, ReadFailure& why);

  // The object asked for by its path is read whole: the rest of the text
  // need not be.
  bool done() const { return done_; }

  // After the last line: the object read into `t`, or why it cannot be.
  bool finish(Table& t, ReadFailure& why) const noexcept;

 private:
  struct Object {
    std::string type, path, text;
    std::size_t line = 0;  // of its BEGIN line
  };
  bool begin(std::string_view type, std::string_view path, ReadFailure& why);
  std::string some_paths() const;
  bool read_kept(Table& t, ReadFailure& why) const;

  std::string wanted_;
  std::size_t line_ = 0;
  bool inside_ = false, taking_ = false, done_ = false;
  Object current_, kept_;
  bool found_ = false;
  std::size_t objects_ = 0, plain_ = 0;
  std::vector<std::string> first_plain_, first_any_;  // the first three paths
};

}  // namespace tables
