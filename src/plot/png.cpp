// PNG by hand: the signature, the header, the pixels compressed by zlib and
// the end, each chunk with its CRC. Every row is filtered by the one above
// ("Up"), which turns a page of mostly blank rows into runs of zeros that
// deflate packs small looking for runs alone.

#include "plot/png.hpp"

#include <zlib.h>

#include <cstdint>

namespace plot {

namespace {

void put32(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xff);
}

// A chunk: its length, type and data, then the CRC of type and data.
void chunk(std::string& out, const char type[5], std::string_view data) {
  put32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.append(type, 4).append(data);
  const auto* bytes = reinterpret_cast<const Bytef*>(out.data() + start);
  put32(out, static_cast<std::uint32_t>(crc32(0, bytes, static_cast<uInt>(out.size() - start))));
}

}  // namespace

std::string png_of(std::string_view rgb, int width, int height) {
  const std::size_t row = 3 * static_cast<std::size_t>(width),
                    rows = static_cast<std::size_t>(height);
  std::string filtered((row + 1) * rows, '\0');
  for (std::size_t y = 0; y < rows; ++y) {
    const unsigned char* line = reinterpret_cast<const unsigned char*>(rgb.data()) + y * row;
    unsigned char* to = reinterpret_cast<unsigned char*>(filtered.data()) + y * (row + 1);
    to[0] = y == 0 ? 0 : 2;  // none for the first row, then up
    for (std::size_t i = 0; i < row; ++i)
      to[1 + i] = static_cast<unsigned char>(line[i] - (y == 0 ? 0 : line[i - row]));
  }
  // Runs only (Z_RLE): the filtered page is long runs of zeros.
  z_stream z{};
  std::string packed(compressBound(static_cast<uLong>(filtered.size())), '\0');
  if (deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, 10, 1, Z_RLE) != Z_OK) return {};
  z.next_in = reinterpret_cast<Bytef*>(filtered.data());
  z.avail_in = static_cast<uInt>(filtered.size());
  z.next_out = reinterpret_cast<Bytef*>(packed.data());
  z.avail_out = static_cast<uInt>(packed.size());
  const bool done = deflate(&z, Z_FINISH) == Z_STREAM_END;
  packed.resize(z.total_out);
  deflateEnd(&z);
  if (!done) return {};

  std::string header, dpi, out = "\x89PNG\r\n\x1a\n";
  put32(header, static_cast<std::uint32_t>(width));
  put32(header, static_cast<std::uint32_t>(height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, filters, no interlace
  put32(dpi, 7874), put32(dpi, 7874), dpi += '\1';   // 200 an inch, in pixels a metre
  chunk(out, "IHDR", header);
  chunk(out, "pHYs", dpi);
  chunk(out, "IDAT", packed);
  chunk(out, "IEND", "");
  return out;
}

}  // namespace plot
