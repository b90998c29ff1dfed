// A PNG file of a picture drawn in memory: eight bits for each of red,
// green and blue. libpng, under PLplot's own PNG device, tries five filters
// on every row and took nearly all of a small picture's time.
#pragma once

#include <string>
#include <string_view>

namespace plot {

// The PNG file of `rgb`, `width` by `height` pixels row after row from the
// top, three bytes each, at 200 pixels an inch; empty when zlib fails.
std::string png_of(std::string_view rgb, int width, int height);

}  // namespace plot
