// The provenance lines of a table: the SHA-256 of each fit file, worked
// out by the fit set from exactly the bytes the run read.

#include "cli/provenance.hpp"

#ifndef XPCORR_VERSION
#error "XPCORR_VERSION must come from the build"
#endif

namespace cli {

void provenance(const core::FitSet& fits, std::vector<std::string>& lines) {
  if (!core::digests_files) {
    lines.push_back("xpcorr " XPCORR_VERSION
                    "; the fit files were not digested: built without a SHA-256 library");
    return;
  }
  lines.push_back("xpcorr " XPCORR_VERSION
                  " from these fit files (SHA-256, as sha256sum prints it):");
  for (int k = 0; k < core::FitSet::count; ++k) {
    const core::FitFile& f = fits.file(k);
    lines.push_back(std::string(f.digest()).append("  ").append(f.name));
  }
}

}  // namespace cli
