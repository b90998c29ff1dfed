// Reading a table: the file (or bytes in memory) in pieces, inflated when
// they are gzip data, then the reader of its format: a HEPData table whole
// within its size limit, a YODA file line by line; and the one switch that
// words every reason for a refusal.

#include "tables/read.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#ifdef XPCORR_ZLIB
#include <zlib.h>
#endif

#include "tables/hepdata.hpp"
#include "tables/yoda.hpp"

namespace tables {
namespace {

constexpr std::size_t piece = 65536;

std::string megabytes(std::size_t bytes) { return std::to_string(bytes >> 20) + " MB"; }

// The bytes of a file or of memory, handed out in pieces of text: inflated
// when they start as gzip data does (one member or several, one after the
// other, as gzip writes them).
class Stream {
 public:
  explicit Stream(std::FILE* f) : file_(f) {}
  explicit Stream(std::string_view bytes) : memory_(bytes) {}
  ~Stream() {
#ifdef XPCORR_ZLIB
    if (gzip_) inflateEnd(&z_);
#endif
  }
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;

  // Appends the next piece of text to `text`. False with `why` set when
  // the bytes cannot be read or inflated.
  bool next(std::string& text, ReadFailure& why);
  bool ended() const { return ended_; }

 private:
  bool fill(ReadFailure& why);
  bool inflate_some(std::string& text, ReadFailure& why);

  std::FILE* file_ = nullptr;
  std::string_view memory_;
  std::string input_;  // raw bytes, read and not yet handed out from `used_` on
  std::size_t used_ = 0;
  bool raw_end_ = false, started_ = false, gzip_ = false, ended_ = false;
#ifdef XPCORR_ZLIB
  z_stream z_{};
#endif
};

// The next raw bytes, from `used_` on: a piece of the file or of memory.
bool Stream::fill(ReadFailure& why) {
  input_.erase(0, used_);
  used_ = 0;
  if (!file_) {
    const std::size_t n = std::min(piece, memory_.size());
    input_.append(memory_.substr(0, n));
    memory_.remove_prefix(n);
    raw_end_ = memory_.empty();
    return true;
  }
  char buf[piece];
  const std::size_t n = std::fread(buf, 1, sizeof buf, file_);
  input_.append(buf, n);
  if (n < sizeof buf && std::ferror(file_)) return why = {ReadError::unreadable, {}, errno}, false;
  raw_end_ = n < sizeof buf;
  return true;
}

// The first bytes tell gzip data; zlib then takes the raw bytes as it
// needs them, so only plain text is refilled here.
bool Stream::next(std::string& text, ReadFailure& why) {
  if (!started_) {
    if (!fill(why)) return false;
    started_ = true;
    gzip_ = input_.starts_with("\x1f\x8b");
#ifdef XPCORR_ZLIB
    if (gzip_ && inflateInit2(&z_, 16 + MAX_WBITS) != Z_OK)
      return gzip_ = false, why = {ReadError::unreadable, {}, "out of memory"}, false;
#else
    if (gzip_) return why = {ReadError::gzip_unsupported, {}, ""}, false;
#endif
  }
  if (gzip_) return inflate_some(text, why);
  if (used_ == input_.size() && !raw_end_ && !fill(why)) return false;
  text.append(input_, used_);
  used_ = input_.size();
  ended_ = raw_end_;
  return true;
}

#ifdef XPCORR_ZLIB
// Up to a piece of inflated text. A member that ends where more bytes
// follow is followed by the next one.
bool Stream::inflate_some(std::string& text, ReadFailure& why) {
  const std::size_t before = text.size();
  text.resize(before + piece);
  z_.next_out = reinterpret_cast<Bytef*>(text.data() + before);
  z_.avail_out = piece;
  while (z_.avail_out > 0 && !ended_) {
    if (z_.avail_in == 0) {
      if (used_ == input_.size() && !raw_end_ && !fill(why)) return false;
      z_.next_in = reinterpret_cast<Bytef*>(input_.data() + used_);
      z_.avail_in = static_cast<uInt>(input_.size() - used_);
      used_ = input_.size();
    }
    const int r = inflate(&z_, Z_NO_FLUSH);
    const bool no_more = z_.avail_in == 0 && used_ == input_.size() && raw_end_;
    if (r == Z_STREAM_END) {
      if (z_.avail_in == 0 && used_ == input_.size() && !raw_end_ && !fill(why)) return false;
      ended_ = z_.avail_in == 0 && used_ == input_.size() && raw_end_;
      if (!ended_) inflateReset(&z_);
    } else if (r == Z_BUF_ERROR && no_more) {
      return why = {ReadError::gzip_damaged, {}, "it ends before its data do"}, false;
    } else if (r != Z_OK && r != Z_BUF_ERROR) {
      return why = {ReadError::gzip_damaged, {}, z_.msg ? z_.msg : "zlib cannot inflate it"}, false;
    }
  }
  text.erase(text.size() - z_.avail_out);
  return true;
}
#else
bool Stream::inflate_some(std::string&, ReadFailure&) { return false; }
#endif

bool yoda_name(std::string_view file) {
  std::string name(file);
  for (char& c : name) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return name.ends_with(".yoda") || name.ends_with(".yoda.gz");
}

// A HEPData table: the whole text, refused beyond the size limit.
bool hepdata_from(Stream& in, std::string& text, Table& t, ReadFailure& why) {
  while (!in.ended() && text.size() <= max_table_bytes)
    if (!in.next(text, why)) return false;
  if (text.size() > max_table_bytes)
    return why = {ReadError::too_large, {}, megabytes(max_table_bytes)}, false;
  return parse_hepdata(text, t, why);
}

// A YODA file: its lines handed to the reader as the pieces come, until
// the object asked for is read or the text ends.
bool yoda_from(Stream& in, std::string& text, std::string_view object, Table& t, ReadFailure& why) {
  YodaReader reader(object);
  std::size_t total = text.size(), lines = 0;
  for (;;) {
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
      ++lines;
      if (!reader.line(std::string_view(text).substr(start, end - start), why)) return false;
      if (reader.done()) return reader.finish(t, why);
    }
    text.erase(0, start);
    if (text.size() > max_table_bytes)
      return why = {ReadError::line_too_long, {}, "line " + std::to_string(lines + 1)}, false;
    if (in.ended()) break;
    const std::size_t before = text.size();
    if (!in.next(text, why)) return false;
    if ((total += text.size() - before) > max_yoda_bytes)
      return why = {ReadError::too_large, {}, megabytes(max_yoda_bytes)}, false;
  }
  if (!text.empty() && !reader.line(text, why)) return false;
  return reader.finish(t, why);
}

bool read_from(Stream& in, std::string_view file, std::string_view object, Table& t,
               ReadFailure& why) {
  std::string text;
  if (!in.next(text, why)) return false;
  if (yoda_name(file) || yoda_start(text)) return yoda_from(in, text, object, t, why);
  if (!object.empty()) return why = {ReadError::path_in_table, {}, shown(object)}, false;
  return hepdata_from(in, text, t, why);
}

}  // namespace

std::string shown(std::string_view text, std::size_t limit) {
  bool cut = text.size() > limit;
  if (cut) {
    while (limit > 0 && (static_cast<unsigned char>(text[limit]) & 0xC0) == 0x80) --limit;
    text = text.substr(0, limit);
  }
  std::string s(text);
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  return cut ? s + "…" : s;
}

// The texts name a line too long by the reader's limit.
static_assert(max_table_bytes == 8 << 20);

files::Wording wording(ReadError e) noexcept {
  switch (e) {
    case ReadError::none: return {"cannot read: "};
    case ReadError::unreadable: return {"cannot read: {detail}"};
    case ReadError::too_large: return {"too large for a data table (over {detail})"};
    case ReadError::not_yaml: return {"not YAML: {detail}"};
    case ReadError::no_document: return {"empty: no YAML document"};
    case ReadError::documents: return {"{detail} YAML documents: a data table is one"};
    case ReadError::too_deep: return {"nested deeper than {detail} levels"};
    case ReadError::too_many_nodes:
      return {"its aliases repeat nodes too often (over {detail} per byte)"};
    case ReadError::forbidden_key: return {"key '{detail}' is not allowed in a HEPData table"};
    case ReadError::no_variables: return {"no {detail} variables: not a HEPData data table"};
    case ReadError::no_x:
      return {"no independent variables: the table holds no x to draw its values against"};
    case ReadError::not_list: return {"{detail} is not a list"};
    case ReadError::no_values: return {"{detail} has no values"};
    case ReadError::count_mismatch: return {"{detail}"};
    case ReadError::no_value: return {"{detail} has no value"};
    case ReadError::low_only: return {"{detail} has 'low' but no 'high'"};
    case ReadError::high_only: return {"{detail} has 'high' but no 'low'"};
    case ReadError::not_number: return {"{detail} is not a number"};
    case ReadError::no_error_kind: return {"{detail} has neither 'symerror' nor 'asymerror'"};
    case ReadError::path_in_table:
      return {"a HEPData table, not a YODA file: it has no object {detail}"};
    case ReadError::gzip_unsupported:
      return {"compressed with gzip, which this build cannot read (it was built without zlib)"};
    case ReadError::gzip_damaged: return {"damaged gzip data: {detail}"};
    case ReadError::line_too_long: return {"{detail} is longer than 8 MB"};
    case ReadError::outside_object: return {"{detail}: text outside every YODA object"};
    case ReadError::bad_line: return {"{detail}"};
    case ReadError::unended: return {"object {detail} has no END line"};
    case ReadError::no_objects: return {"no YODA object in it"};
    case ReadError::several_objects: return {"{detail}: name the one to read as FILE:PATH"};
    case ReadError::no_such_object: return {"no object {detail}"};
    case ReadError::unknown_type:
      return {
          "{detail}, which is not read here (Scatter2D old and V2, Histo1D old, V2 and V3, "
          "Profile1D old and V2, Estimate1D V3 are)"};
    case ReadError::no_header_end: return {"object {detail} has no '---' line ending its header"};
    case ReadError::bad_breakdown: return {"the ErrorBreakdown {detail}"};
  }
  return {"{detail}"};
}

std::string message(const ReadFailure& f) {
  files::Line line;
  return std::string(line.fill(wording(f.cause).text, f.subject, f.error, f.detail).view());
}

Source source_of(const std::string& name) {
  struct stat s;
  const std::size_t colon = name.find(":/");
  if (colon == std::string::npos || ::stat(name.c_str(), &s) == 0) return {name, ""};
  return {name.substr(0, colon), name.substr(colon + 1)};
}

bool read_table(const std::string& name, Table& t, ReadFailure& why) noexcept {
  try {
    const Source source = source_of(name);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(source.file.c_str(), "rb"),
                                                      std::fclose);
    if (!f) return why = {ReadError::unreadable, {}, errno}, false;
    Stream in(f.get());
    return read_from(in, source.file, source.object, t, why);
  } catch (const std::exception& e) {
    why = {ReadError::unreadable, {}, e.what()};
  }
  return false;
}

bool read_bytes(std::string_view bytes, std::string_view file, std::string_view object, Table& t,
                ReadFailure& why) noexcept {
  try {
    Stream in(bytes);
    return read_from(in, file, object, t, why);
  } catch (const std::exception& e) {
    why = {ReadError::unreadable, {}, e.what()};
  }
  return false;
}

}  // namespace tables
