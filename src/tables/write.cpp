// The writers of tables, one branch per format, gzip compression, and the
// numbers they share.

#include "tables/write.hpp"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <new>

#ifdef XPCORR_ZLIB
#include <zlib.h>
#endif

#include "tables/hepdata.hpp"
#include "tables/yoda.hpp"

namespace tables {

namespace {

// Whether `path` ends in `ext`, in any case.
bool ends_in(std::string_view path, std::string_view ext) noexcept {
  if (path.size() < ext.size()) return false;
  path.remove_prefix(path.size() - ext.size());
  for (std::size_t i = 0; i < ext.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(path[i])) != ext[i]) return false;
  return true;
}

#ifdef XPCORR_ZLIB
// `text` compressed into one gzip member: zlib's gzip header with neither
// name nor time, so that the same table gives the same bytes.
std::string gzip(std::string_view text) {
  z_stream z{};
  if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY) !=
      Z_OK)
    throw std::bad_alloc();
  std::string out(deflateBound(&z, static_cast<uLong>(text.size())), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int done = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  if (done != Z_STREAM_END) throw std::bad_alloc();
  return out;
}
#else
std::string gzip(std::string_view) { throw std::bad_alloc(); }
#endif

}  // namespace

Format format_for(std::string_view path) noexcept {
  const bool gz = ends_in(path, ".gz");
  if (gz) path.remove_suffix(3);
  if (ends_in(path, ".yoda")) return gz ? Format::yoda_gzip : Format::yoda;
  return gz ? Format::hepdata_gzip : Format::hepdata;
}

bool can_write(Format format) noexcept {
#ifdef XPCORR_ZLIB
  (void)format;
  return true;
#else
  return format == Format::hepdata || format == Format::yoda;
#endif
}

std::string table_text(const Table& t, Format format) {
  switch (format) {
    case Format::hepdata: return hepdata_text(t);
    case Format::yoda: return yoda_text(t);
    case Format::hepdata_gzip: return gzip(hepdata_text(t));
    case Format::yoda_gzip: return gzip(yoda_text(t));
  }
  return {};
}

// The float's shortest text has at most nine significant digits, so the
// double read from it prints as the same text: no shorter decimal lies
// within half a double's unit of it.
double decimal(float value) noexcept {
  if (!std::isfinite(value)) return value;
  char buf[32];
  char* end = std::to_chars(buf, buf + sizeof buf, value).ptr;
  double d = 0;
  std::from_chars(buf, end, d);
  return d;
}

std::string_view number(double value, char (&buf)[32]) noexcept {
  if (std::isnan(value)) return ".nan";
  if (std::isinf(value)) return value < 0 ? "-.inf" : ".inf";
  char* end = std::to_chars(buf, buf + sizeof buf - 2, value).ptr;
  std::string_view text(buf, static_cast<std::size_t>(end - buf));
  const std::size_t e = text.find('e');
  if (e != std::string_view::npos && text.find('.') == std::string_view::npos) {
    std::memmove(buf + e + 2, buf + e, text.size() - e);
    std::memcpy(buf + e, ".0", 2);
    text = {buf, text.size() + 2};
  }
  return text;
}

}  // namespace tables
