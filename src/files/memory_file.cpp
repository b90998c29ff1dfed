// The memory stream: open_memstream's buffer, or a temporary file that is
// removed at once and read back through a second descriptor of its own.

#include "files/memory_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "files/whole_file.hpp"

namespace files {

#if XPCORR_HAVE_OPEN_MEMSTREAM

MemoryFile::MemoryFile() noexcept {
  stream_ = ::open_memstream(&buffer_, &size_);
  if (!stream_) error_ = errno;
}

MemoryFile::~MemoryFile() { std::free(buffer_); }

std::string_view MemoryFile::bytes() noexcept { return {buffer_, size_}; }

#else

// The file goes in $TMPDIR (else /tmp) and is unlinked at once: nothing
// is left behind however the program ends.
MemoryFile::MemoryFile() noexcept {
  const char* dir = std::getenv("TMPDIR");
  if (dir == nullptr || *dir == '\0') dir = "/tmp";
  char name[PATH_MAX];
  const int n = std::snprintf(name, sizeof name, "%s/xpcorr.XXXXXX", dir);
  if (n < 0 || static_cast<std::size_t>(n) >= sizeof name) {
    error_ = ENAMETOOLONG;
    return;
  }
  const int fd = ::mkstemp(name);
  if (fd < 0) {
    error_ = errno;
    return;
  }
  ::unlink(name);
  fd_ = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  stream_ = fd_ < 0 ? nullptr : ::fdopen(fd, "w");
  if (!stream_) {
    error_ = errno;
    ::close(fd);
  }
}

MemoryFile::~MemoryFile() {
  std::free(buffer_);
  if (fd_ >= 0) ::close(fd_);
}

// Read once, from the start, after the stream has flushed and closed. A
// failure keeps its errno value and gives no bytes.
std::string_view MemoryFile::bytes() noexcept {
  if (buffer_ != nullptr || fd_ < 0) return {buffer_, size_};
  struct stat st;
  if (::fstat(fd_, &st) != 0 || ::lseek(fd_, 0, SEEK_SET) != 0) {
    error_ = errno;
    return {};
  }
  const auto size = static_cast<std::size_t>(st.st_size);
  buffer_ = static_cast<char*>(std::malloc(size + 1));
  if (buffer_ == nullptr) {
    error_ = ENOMEM;
    return {};
  }
  while (size_ < size) {
    std::size_t got;
    if (int error = read_some(fd_, buffer_ + size_, size - size_, got); error != 0 || got == 0) {
      error_ = error != 0 ? error : EIO;
      size_ = 0;
      return {};
    }
    size_ += got;
  }
  return {buffer_, size_};
}

#endif

}  // namespace files
