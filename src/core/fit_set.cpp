// The fit set: the fit directory held open, and each fit file opened
// relative to it and read once, by the record I/O layer's own list reader.
// A whole read digests the bytes as the reader's window takes them in.

#include "core/fit_set.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "recio/units.hpp"

#if XPCORR_SHA256
#include <nettle/sha2.h>
#endif

namespace core {
namespace {

int unit_of(int bin) noexcept { return first_fit_unit - 1 + bin; }

// What is worked out of the bytes as they are read: the first four, their
// count, a 64-bit fingerprint and the SHA-256 when the build has it. The
// fingerprint mixes eight bytes at a time, whatever the chunks the reads
// hand over: bytes short of a word wait for the next chunk or the end.
struct Digest {
  FitFile& f;
  std::array<unsigned char, 8> word{};
  std::size_t pending = 0;
#if XPCORR_SHA256
  sha256_ctx sha;
#endif

  explicit Digest(FitFile& file) noexcept : f(file) {
    f.size = 0;
    f.fingerprint = 0x9e3779b97f4a7c15u;
#if XPCORR_SHA256
    sha256_init(&sha);
#endif
  }

  void mix(std::uint64_t w) noexcept {
    std::uint64_t h = (f.fingerprint ^ w) * 0xff51afd7ed558ccdu;
    f.fingerprint = h ^ (h >> 32);
  }

  static void take(void* self, const char* bytes, std::size_t n) noexcept {
    Digest& d = *static_cast<Digest*>(self);
    for (std::size_t i = 0; i < n && d.f.size + i < d.f.head.size(); ++i)
      d.f.head[static_cast<std::size_t>(d.f.size + i)] = static_cast<unsigned char>(bytes[i]);
    d.f.size += n;
#if XPCORR_SHA256
    sha256_update(&d.sha, n, reinterpret_cast<const std::uint8_t*>(bytes));
#endif
    for (; n > 0 && (d.pending > 0 || n < 8); --n) {
      d.word[d.pending++] = static_cast<unsigned char>(*bytes++);
      if (d.pending == 8) {
        std::uint64_t w;
        std::memcpy(&w, d.word.data(), 8);
        d.mix(w);
        d.pending = 0;
      }
    }
    for (; n >= 8; n -= 8, bytes += 8) {
      std::uint64_t w;
      std::memcpy(&w, bytes, 8);
      d.mix(w);
    }
    for (; n > 0; --n) d.word[d.pending++] = static_cast<unsigned char>(*bytes++);
  }

  // The last bytes, short of a word, and the count close the fingerprint.
  void finish() noexcept {
    std::uint64_t w = 0;
    std::memcpy(&w, word.data(), pending);
    mix(w);
    mix(f.size);
#if XPCORR_SHA256
    std::array<std::uint8_t, SHA256_DIGEST_SIZE> digest;
    sha256_digest(&sha, digest.size(), digest.data());
    static constexpr char hex[] = "0123456789abcdef";
    for (std::size_t i = 0; i < digest.size(); ++i) {
      f.sha256[2 * i] = hex[digest[i] >> 4];
      f.sha256[2 * i + 1] = hex[digest[i] & 15];
    }
#endif
  }
};

bool begins_number(int c) noexcept {
  return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// The lines after the sixth value's line are read to the end of the file,
// so that the digest covers every byte; the first of them that begins as
// a number does is kept, with its text up to the line end: a line of
// values there is never read.
void read_rest(recio::Source& in, FitFile& f) noexcept {
  for (int c; (c = in.skip_white()) != recio::end_of_input; in.skip_line()) {
    if (f.later_numbers || !begins_number(c)) continue;
    f.later_numbers = true;
    f.later = in.place();
    const std::string_view ahead = in.ahead(recio::ItemText::capacity + 1);
    const std::size_t n = std::min(ahead.find_first_of("\r\n"), ahead.size());
    f.later_text.size = std::min(n, recio::ItemText::capacity);
    f.later_text.cut = n > recio::ItemText::capacity;
    std::copy_n(ahead.data(), f.later_text.size, f.later_text.bytes.data());
  }
}

}  // namespace

FitSet::FitSet() noexcept : dir_(AT_FDCWD) {}

void FitSet::read_whole() noexcept {
  if (files_) return;
  files_.emplace();
  for (int b = 0; b < bin_count; ++b) {
    (*files_)[static_cast<unsigned>(b)].name = mc_files[static_cast<unsigned>(b)];
    (*files_)[static_cast<unsigned>(bin_count + b)].name = data_files[static_cast<unsigned>(b)];
  }
  for (FitFile& f : *files_) f.trace.items = f.items;
}

FitSet::~FitSet() {
  if (dir_ != AT_FDCWD) ::close(dir_);
}

// Read permission on the directory is enough; the working directory never
// changes, so a relative name elsewhere on the command line keeps its
// meaning.
int FitSet::open(const char* directory) noexcept {
  if (directory == nullptr) return 0;
  dir_ = ::open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_ >= 0) return 0;
  dir_ = AT_FDCWD;
  return errno;
}

// A whole read traces the items, digests every byte and goes on to the
// end of the file. A read error after the values leaves the digest
// incomplete, so it fails the read as one among them would.
void FitSet::read_file(int fd, FitFile& f) noexcept {
  std::array<char, recio::window_size> window;
  recio::Source in(fd, window);
  Digest digest(f);
  in.tap(Digest::take, &digest);
  f.fault = recio::read_list(in, f.values, &f.trace);
  if (f.fault == recio::Fault::none) {
    read_rest(in, f);
    if (in.error() != 0) f.fault = recio::Fault::read_failed;
  }
  f.read_error = in.error();
  digest.finish();
}

// Reads fit file k on `unit` into `values`, then closes the unit. A whole
// read begins the statement first, so that a failure message tells the
// unit as the run's own read does, and keeps the file's values too.
void FitSet::read_unit(int unit, std::array<float, fit_values>& values, int k) noexcept {
  if (files_) {
    FitFile& f = (*files_)[static_cast<unsigned>(k)];
    recio::begin_statement(unit, true, "list io");
    f.values = values;
    read_file(recio::descriptor(unit), f);
    if (f.fault != recio::Fault::none) recio::fail(f.fault, f.read_error);
    values = f.values;
  } else {
    recio::read_reals(unit, values);
  }
  recio::close(unit);
}

// The positions not kept (fitted mass, width, background and the yield's
// error) are still parsed, so they must be well-formed values. Positions
// that a file leaves unread keep what `m` held.
void FitSet::read(Measurement& m) noexcept {
  std::array<float, fit_values> values{};
  for (int b = 1; b <= bin_count; ++b)
    recio::open_old(unit_of(b), mc_files[static_cast<unsigned>(b - 1)], dir_);
  for (int b = 1; b <= bin_count; ++b) {
    values[matched_value] = m.mcmatch[b];
    values[yield_value] = m.mcyield[b];
    read_unit(unit_of(b), values, b - 1);
    m.mcmatch[b] = values[matched_value];
    m.mcyield[b] = values[yield_value];
  }
  for (int b = 1; b <= bin_count; ++b)
    recio::open_old(unit_of(b), data_files[static_cast<unsigned>(b - 1)], dir_);
  for (int b = 1; b <= bin_count; ++b) {
    values[yield_value] = m.dayield[b];
    read_unit(unit_of(b), values, bin_count + b - 1);
    m.dayield[b] = values[yield_value];
  }
}

// One file open at a time. A name that cannot be opened because it is a
// link pointing nowhere keeps the link's target.
void FitSet::examine() noexcept {
  read_whole();
  for (FitFile& f : *files_) {
    // The names are NUL-terminated literals.
    const int fd = ::openat(dir_, f.name.data(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
      f.open_error = errno;
      struct stat st;
      if (f.open_error == ENOENT && ::fstatat(dir_, f.name.data(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
          S_ISLNK(st.st_mode)) {
        const ssize_t n = ::readlinkat(dir_, f.name.data(), f.link.data(), f.link.size());
        f.link_size = n > 0 ? static_cast<std::size_t>(n) : 0;
      }
      continue;
    }
    read_file(fd, f);
    ::close(fd);
  }
}

std::string_view FitSet::holds(std::uint64_t dev, std::uint64_t ino) const noexcept {
  for (const auto* names : {&mc_files, &data_files}) {
    for (std::string_view name : *names) {
      struct stat st;
      // The names are NUL-terminated literals.
      if (::fstatat(dir_, name.data(), &st, 0) == 0 && st.st_dev == dev && st.st_ino == ino)
        return name;
    }
  }
  return {};
}

bool FitSet::has(const char* name) const noexcept {
  struct stat st;
  return ::fstatat(dir_, name, &st, AT_SYMLINK_NOFOLLOW) == 0;
}

}  // namespace core
