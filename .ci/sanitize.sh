#!/bin/sh
# Debug build with AddressSanitizer and UBSan, then the whole test suite.
# The e2e tests expect the abort status (134) and exact stderr of the
# failure report: ASan must leave SIGABRT alone and print nothing extra.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-asan
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DXPCORR_STATIC=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake --build "$build" -j"$(nproc)"
# handle_abort=0 keeps the plain abort signal; leaks fail the run, except
# those inside the plotting libraries (lsan.supp), and silently so.
export ASAN_OPTIONS=handle_abort=0:detect_leaks=1:abort_on_error=0:allow_user_segv_handler=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=exitcode=23:print_suppressions=0:suppressions=$root/.ci/lsan.supp
cd "$build" && ctest --output-on-failure -j"$(nproc)"
