// A picture drawn in memory encoded as a PNG file's bytes, at a fast
// setting: a figure is mostly white, which even the fastest compression
// packs well.
#pragma once

#include <string>

namespace plot {

// Pixels of a picture: `height` rows of `width` pixels, the top row
// first, each pixel red, green and blue bytes.
struct Rgb {
  const unsigned char* bytes = nullptr;
  int width = 0, height = 0;
};

// The PNG file of `picture` (8-bit RGB, no interlace) in `png`; false with
// libpng's reason in `why` when it fails.
bool encode_png(const Rgb& picture, std::string& png, std::string& why);

}  // namespace plot
