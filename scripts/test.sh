#!/bin/sh
# The README's second command: installs what the build and the tests need,
# builds everything in build/ and runs every test, ending with ctest's
# summary. Its status is ctest's.
set -eu
cd "$(dirname "$0")/.."

sh scripts/install-missing.sh cmake make g++ pkg-config \
  libyaml-cpp-dev libplplot-dev plplot-driver-cairo libgtest-dev libmpfr-dev
cmake -S . -B build -DXPCORR_TESTS=ON
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2
