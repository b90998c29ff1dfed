// The provenance lines of a table: each fit file read whole, as the run
// left it, and digested by nettle's SHA-256 when the build has it.

#include "cli/provenance.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "core/fit_files.hpp"
#include "files/whole_file.hpp"

#if XPCORR_SHA256
#include <nettle/sha2.h>
#endif

#ifndef XPCORR_VERSION
#error "XPCORR_VERSION must come from the build"
#endif

namespace cli {

#if XPCORR_SHA256

namespace {

// The SHA-256 of every byte of the file `name`, in lowercase hex as
// sha256sum prints it. Returns 0, or the errno value of the open or read
// that failed.
int sha256_of(const char* name, std::string& hex) {
  const int fd = ::open(name, O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return errno;
  sha256_ctx ctx;
  sha256_init(&ctx);
  std::array<char, 64 * 1024> buf;
  ssize_t n;
  while ((n = files::read_some(fd, buf.data(), buf.size())) > 0)
    sha256_update(&ctx, static_cast<std::size_t>(n),
                  reinterpret_cast<const std::uint8_t*>(buf.data()));
  const int error = n < 0 ? errno : 0;
  ::close(fd);
  if (error != 0) return error;
  std::array<std::uint8_t, SHA256_DIGEST_SIZE> digest;
  sha256_digest(&ctx, digest.size(), digest.data());
  static constexpr char digits[] = "0123456789abcdef";
  hex.clear();
  for (std::uint8_t byte : digest) {
    hex += digits[byte >> 4];
    hex += digits[byte & 15];
  }
  return 0;
}

}  // namespace

bool provenance(std::vector<std::string>& lines, std::string& why) {
  lines.push_back("xpcorr " XPCORR_VERSION
                  " from these fit files (SHA-256, as sha256sum prints it):");
  std::string hex;
  for (const auto* names : {&core::mc_files, &core::data_files}) {
    for (std::string_view name : *names) {
      // The names are NUL-terminated literals.
      if (int error = sha256_of(name.data(), hex); error != 0) {
        why.append("cannot digest the fit file ")
            .append(name)
            .append(": ")
            .append(std::strerror(error));
        return false;
      }
      lines.push_back(hex.append("  ").append(name));
    }
  }
  return true;
}

#else

bool provenance(std::vector<std::string>& lines, std::string&) {
  lines.push_back("xpcorr " XPCORR_VERSION
                  "; the fit files were not digested: built without a SHA-256 library");
  return true;
}

#endif

}  // namespace cli
