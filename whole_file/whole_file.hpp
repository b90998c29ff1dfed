// Replacing a file only by a complete one: the bytes go to a hidden file
// beside it, which is synced and then renamed over it.
#pragma once

#include <string_view>

namespace whole_file {

// Writes `bytes` to a new file ".NAME.XXXXXX" beside `path` (mode 0666
// less the umask), syncs it and renames it over `path`, so that `path` is
// either as it was or complete. Returns 0, or the errno value of the step
// that failed; then the new file is removed.
int replace_whole(const char* path, std::string_view bytes) noexcept;

}  // namespace whole_file
