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

#include "files/whole_file.hpp"
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

// The file at `path` read into `values` through `window`, traced when
// `trace` is given.
recio::Fault read_file(const char* path, std::span<char> window, std::span<float> values,
                       recio::Trace* trace = nullptr) {
  const int fd = ::open(path, O_RDONLY);
  if (fd < 0) std::abort();
  recio::Source in(fd, window);
  const recio::Fault fault = recio::read_list(in, values, trace);
  ::close(fd);
  return fault;
}

bool same(const recio::TracedItem& a, const recio::TracedItem& b) {
  return a.place == b.place && a.text.view() == b.text.view() && a.text.cut == b.text.cut &&
         a.set == b.set && a.after == b.after;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char* path = temp_path();
  int fd = ::open(path, O_WRONLY | O_TRUNC);
  if (fd < 0) std::abort();
  if (files::write_in_full(fd, {reinterpret_cast<const char*>(data), size}) != 0) std::abort();
  ::close(fd);

  float from_memory[items_count] = {1, 2, 3, 4, 5, 6};
  float from_file[items_count] = {1, 2, 3, 4, 5, 6};

  recio::Source mem(std::string_view(reinterpret_cast<const char*>(data), size));
  recio::Fault mem_fault = recio::read_list(mem, std::span<float>(from_memory));

  char window[small_window];
  recio::Fault file_fault = read_file(path, window, from_file);

  if (mem_fault != file_fault) __builtin_trap();
  if (std::memcmp(from_memory, from_file, sizeof from_memory) != 0) __builtin_trap();

  std::array<recio::TracedItem, items_count> mem_items{}, file_items{};
  recio::Trace mem_trace{mem_items}, file_trace{file_items};
  recio::Source traced_mem(std::string_view(reinterpret_cast<const char*>(data), size));
  recio::Fault traced_mem_fault =
      recio::read_list(traced_mem, std::span<float>(from_memory), &mem_trace);
  char trace_window[recio::ItemText::capacity + 1];
  recio::Fault traced_file_fault = read_file(path, trace_window, from_file, &file_trace);

  if (traced_mem_fault != mem_fault || traced_file_fault != file_fault) __builtin_trap();
  if (mem_trace.found != file_trace.found) __builtin_trap();
  for (std::size_t i = 0; i < mem_trace.found; ++i)
    if (!same(mem_items[i], file_items[i])) __builtin_trap();
  if (!same(mem_trace.stop, file_trace.stop)) __builtin_trap();
  return 0;
}
