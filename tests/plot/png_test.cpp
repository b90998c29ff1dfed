// The PNG encoder, checked by libpng's own decoder: the pixels read back
// are those given, for a picture whose rows are not a multiple of any
// word and whose bytes all differ from their neighbours.

#include <png.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plot/png.hpp"

namespace {

TEST(Png, DecodesToThePixelsGiven) {
  for (const auto& [width, height] : {std::pair{1, 1}, {7, 5}, {333, 2}}) {
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i)
      rgb[i] = static_cast<unsigned char>(i * 37 + i / 3);
    std::string file, why;
    ASSERT_TRUE(plot::encode_png({rgb.data(), width, height}, file, why)) << why;

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&image, file.data(), file.size()))
        << image.message;
    EXPECT_EQ(image.width, static_cast<png_uint_32>(width));
    EXPECT_EQ(image.height, static_cast<png_uint_32>(height));
    EXPECT_EQ(image.format, static_cast<png_uint_32>(PNG_FORMAT_RGB));  // 8-bit, no alpha
    std::vector<unsigned char> back(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, back.data(), 0, nullptr)) << image.message;
    EXPECT_EQ(back, rgb) << width << "x" << height;
  }
}

}  // namespace
