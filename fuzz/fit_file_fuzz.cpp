// libFuzzer target: the same bytes read from a file through a small window
// (so that refills happen inside numbers and separators) and from memory
// must give the same fault and the same values, bit for bit; and, traced,
// through a window one byte larger than an item's text, the same places,
// texts and stop.

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string_view>

#include "recio/list_input.hpp"

namespace {

constexpr std::size_t items_count = 6;
constexpr std::size_t small_window = 16;

// One temporary file per process, rewritten for every input.
const char* temp_path() {
  static char path[] = "/tmp/xpcorr-fuzz-XXXXXX";
  static bool made = false;
  if (!made) {
    int fd = ::mkstemp(path);
    if (fd < 0) std::abort();
    ::close(fd);
    made = true;
    std::atexit([] { ::unlink(path); });
  }
  return path;
}

void write_all(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n <= 0) std::abort();
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

bool same(const recio::TracedItem& a, const recio::TracedItem& b) {
  return a.place.line == b.place.line && a.place.column == b.place.column &&
         a.text.view() == b.text.view() && a.text.cut == b.text.cut && a.set == b.set &&
         a.after == b.after;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char* path = temp_path();
  int fd = ::open(path, O_WRONLY | O_TRUNC);
  if (fd < 0) std::abort();
  write_all(fd, data, size);
  ::close(fd);

  float from_memory[items_count] = {1, 2, 3, 4, 5, 6};
  float from_file[items_count] = {1, 2, 3, 4, 5, 6};

  recio::Source mem(std::string_view(reinterpret_cast<const char*>(data), size));
  recio::Fault mem_fault = recio::read_list(mem, std::span<float>(from_memory));

  fd = ::open(path, O_RDONLY);
  if (fd < 0) std::abort();
  char window[small_window];
  recio::Source file(fd, std::span<char>(window));
  recio::Fault file_fault = recio::read_list(file, std::span<float>(from_file));
  ::close(fd);

  if (mem_fault != file_fault) __builtin_trap();
  if (std::memcmp(from_memory, from_file, sizeof from_memory) != 0) __builtin_trap();

  std::array<recio::TracedItem, items_count> mem_items{}, file_items{};
  recio::Trace mem_trace{mem_items}, file_trace{file_items};
  recio::Source traced_mem(std::string_view(reinterpret_cast<const char*>(data), size));
  recio::Fault traced_mem_fault =
      recio::read_list(traced_mem, std::span<float>(from_memory), &mem_trace);
  fd = ::open(path, O_RDONLY);
  if (fd < 0) std::abort();
  char trace_window[recio::ItemText::capacity + 1];
  recio::Source traced_file(fd, std::span<char>(trace_window));
  recio::Fault traced_file_fault =
      recio::read_list(traced_file, std::span<float>(from_file), &file_trace);
  ::close(fd);

  if (traced_mem_fault != mem_fault || traced_file_fault != file_fault) __builtin_trap();
  if (mem_trace.found != file_trace.found) __builtin_trap();
  for (std::size_t i = 0; i < mem_trace.found; ++i)
    if (!same(mem_items[i], file_items[i])) __builtin_trap();
  if (!same(mem_trace.stop, file_trace.stop)) __builtin_trap();
  return 0;
}
