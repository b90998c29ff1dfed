// A C stream whose bytes are kept in memory, for a library that writes to
// a FILE* (PLplot's drivers) when the bytes are wanted whole.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>

namespace files {

// open_memstream where the system has it; elsewhere an unnamed temporary
// file, read back once the stream is closed.
class MemoryFile {
 public:
  MemoryFile() noexcept;
  ~MemoryFile();
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  // The stream, or null when it could not be opened (error() says why).
  // Whoever writes to it closes it with fclose.
  std::FILE* stream() const noexcept { return stream_; }
  int error() const noexcept { return error_; }

  // The bytes written, once the stream has been closed; empty when none
  // were, or they cannot be read back (error() says why).
  std::string_view bytes() noexcept;

 private:
  std::FILE* stream_ = nullptr;
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
  int fd_ = -1;  // the temporary file, kept open past the stream's close
  int error_ = 0;
};

}  // namespace files
