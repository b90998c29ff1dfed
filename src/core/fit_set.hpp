// The fit set: the eighteen fit files of one fit directory, held by a
// directory descriptor, each opened relative to it and read exactly once.
// It keeps what the run, --check and the table's digests need of each.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/fit_files.hpp"
#include "core/rates.hpp"
#include "recio/list_input.hpp"

namespace core {

#if XPCORR_SHA256
inline constexpr bool digests_files = true;
#else
inline constexpr bool digests_files = false;
#endif

// One fit file as its single read saw it, when read whole.
struct FitFile {
  std::string_view name;
  int open_error = 0;            // errno of the open; 0 when it was opened
  std::array<char, 256> link{};  // the target of a link that points nowhere,
  std::size_t link_size = 0;     // cut to the array's size
  recio::Fault fault = recio::Fault::none;
  int read_error = 0;  // errno of a failed read
  std::array<float, fit_values> values{};
  std::array<recio::TracedItem, fit_values> items{};
  recio::Trace trace{};
  // Of all the bytes read: the first four, how many, a fingerprint that
  // tells two files' bytes apart and, in a build with SHA-256, their digest
  // in lowercase hex as sha256sum prints it.
  std::array<unsigned char, 4> head{};
  std::uint64_t size = 0;
  std::uint64_t fingerprint = 0;
  std::array<char, 64> sha256{};
  // The first later line that begins as a number does, never read.
  bool later_numbers = false;
  recio::Place later{};
  recio::ItemText later_text{};

  bool read_whole() const noexcept { return open_error == 0 && fault == recio::Fault::none; }
  std::string_view link_target() const noexcept { return {link.data(), link_size}; }
  std::string_view digest() const noexcept { return {sha256.data(), sha256.size()}; }
};

class FitSet {
 public:
  FitSet() noexcept;
  FitSet(const FitSet&) = delete;
  FitSet& operator=(const FitSet&) = delete;
  ~FitSet();

  // Holds the fit directory `directory`, or the current one when null.
  // Returns 0, or the errno value of the open that failed.
  int open(const char* directory) noexcept;

  // Each file is then read to its end, for its trace, its digest and the
  // lines after its values, in the run's single read of it, and kept.
  void read_whole() noexcept;

  // The run's read: opens the nine Monte Carlo files on units 90 to 98,
  // then reads and closes them in bin order, keeping the matched count and
  // the fitted yield; then the same for the nine data files, keeping the
  // fitted yield. Any failure is fatal, through the record I/O layer.
  void read(Measurement& m) noexcept;

  // --check's read: every file opened and read in turn, its failure kept.
  void examine() noexcept;

  // Fit file k, once read whole: the Monte Carlo files of bins 1 to 9,
  // then the data files.
  static constexpr int count = 2 * bin_count;
  const FitFile& file(int k) const noexcept { return (*files_)[static_cast<unsigned>(k)]; }

  // The fit file that is the file of device `dev` and inode `ino`, by any
  // path or link, or an empty name.
  std::string_view holds(std::uint64_t dev, std::uint64_t ino) const noexcept;

  // Whether `name` exists in the fit directory (as a link, too).
  bool has(const char* name) const noexcept;

 private:
  void read_file(int fd, FitFile& f) noexcept;
  void read_unit(int unit, std::array<float, fit_values>& values, int k) noexcept;

  int dir_;
  // Made only for a whole read: the run alone keeps nothing of the files
  // but their values, and pays nothing for what a whole read keeps.
  std::optional<std::array<FitFile, count>> files_;
};

}  // namespace core
