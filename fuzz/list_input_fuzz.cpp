// libFuzzer target: list-directed input of six reals from bytes in memory.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "recio/list_input.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  recio::Source in(std::string_view(reinterpret_cast<const char*>(data), size));
  float items[6] = {1, 2, 3, 4, 5, 6};
  (void)recio::read_list(in, std::span<float>(items));
  // The items are read so that a read of an uninitialised slot would show.
  volatile float sink = 0;
  for (float v : items) sink = sink + v;
  return 0;
}
