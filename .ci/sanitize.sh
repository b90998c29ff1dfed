#!/bin/sh
# The "sanitize" preset (GCC Debug with AddressSanitizer, UBSan and the C++
# library's assertions, in build-asan/), then the whole test suite. The
# tests expect the abort status (134) and exact standard error of the
# failure message: ASan must leave SIGABRT alone and print nothing extra.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --preset sanitize
cmake --build --preset sanitize
# handle_abort=0 keeps the plain abort signal; leaks fail the run, except
# those inside the plotting libraries (lsan.supp), and silently so.
export ASAN_OPTIONS=handle_abort=0:detect_leaks=1:abort_on_error=0:allow_user_segv_handler=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=exitcode=23:print_suppressions=0:suppressions=$root/.ci/lsan.supp
ctest --preset sanitize
