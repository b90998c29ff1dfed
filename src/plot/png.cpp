// PNG by hand: the signature, the header, the pixels compressed and the
// end, each chunk with its CRC (zlib's). Every row is filtered by the one
// above ("Up"), which turns a page of mostly blank rows into runs of
// zeros; the compression is deflate's simplest form, written here: one
// block of the fixed codes, each byte a literal and each run of it a copy
// of the byte before, about five times faster than zlib's own search.

#include "plot/png.hpp"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>

namespace plot {

namespace {

void put32(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xff);
}

// Bits packed from the lowest, as deflate writes them.
struct Bits {
  std::string out;
  std::uint64_t pending = 0;
  int count = 0;
  void put(std::uint32_t bits, int n) {
    pending |= std::uint64_t{bits} << count, count += n;
    for (; count >= 8; count -= 8) out += static_cast<char>(pending & 0xff), pending >>= 8;
  }
  void flush() {
    if (count > 0) out += static_cast<char>(pending & 0xff);
    pending = 0, count = 0;
  }
};

// Deflate's fixed code of each literal and length symbol, its bits
// reversed to be written lowest first.
struct Code {
  std::uint32_t bits;
  int length;
};

constexpr Code fixed(unsigned symbol) {
  unsigned code = symbol < 144   ? 0x30 + symbol
                  : symbol < 256 ? 0x190 + symbol - 144
                  : symbol < 280 ? symbol - 256
                                 : 0xc0 + symbol - 280;
  int length = symbol < 144 ? 8 : symbol < 256 ? 9 : symbol < 280 ? 7 : 8;
  std::uint32_t reversed = 0;
  for (int i = 0; i < length; ++i) reversed = reversed << 1 | ((code >> i) & 1);
  return {reversed, length};
}

constexpr auto codes = [] {
  std::array<Code, 288> c{};
  for (unsigned s = 0; s < 288; ++s) c[s] = fixed(s);
  return c;
}();

// A copy of `length` (3 to 258) bytes from one byte back: its length
// symbol, the length's extra bits, and distance code 0 (five bits).
void copy(Bits& b, unsigned length) {
  static constexpr unsigned base[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                        15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                        67, 83, 99, 115, 131, 163, 195, 227, 258};
  static constexpr int extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                    2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
  int k = 28;
  while (base[k] > length) --k;
  b.put(codes[257 + k].bits, codes[257 + k].length);
  b.put(length - base[k], extra[k]);
  b.put(0, 5);
}

// The zlib stream of `data`: its header, one final block of fixed codes,
// and the Adler-32 of `data`.
std::string deflated(std::string_view data) {
  Bits b;
  b.out = "\x78\x01";
  b.put(1, 1), b.put(1, 2);  // the last block; fixed codes
  const auto* d = reinterpret_cast<const unsigned char*>(data.data());
  for (std::size_t i = 0, n = data.size(); i < n;) {
    b.put(codes[d[i]].bits, codes[d[i]].length);
    std::size_t j = i + 1;
    while (j < n && d[j] == d[i]) ++j;
    for (std::size_t left = j - i - 1; left > 0;) {
      if (left < 3) {
        b.put(codes[d[i]].bits, codes[d[i]].length), --left;
        continue;
      }
      // Never leave one or two bytes of a run longer than a copy.
      std::size_t take = left > 258 && left - 258 < 3 ? left - 3 : std::min<std::size_t>(left, 258);
      copy(b, static_cast<unsigned>(take)), left -= take;
    }
    i = j;
  }
  b.put(codes[256].bits, codes[256].length);
  b.flush();
  const auto sum = static_cast<std::uint32_t>(
      adler32(1, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
  put32(b.out, sum);
  return b.out;
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
  const std::string packed = deflated(filtered);

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
