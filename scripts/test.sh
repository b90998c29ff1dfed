#!/bin/sh
# The README's second command: installs what the build and the tests need,
# builds everything in build/ (the "default" preset) and runs every test,
# ending with ctest's summary. Its status is ctest's.
set -eu
cd "$(dirname "$0")/.."

sh scripts/install-missing.sh cmake make g++ pkg-config nettle-dev \
  libyaml-dev zlib1g-dev libplplot-dev plplot-driver-cairo libcairo2-dev libpng-dev libgtest-dev libmpfr-dev
cmake --preset default -DXPCORR_TESTS=ON
cmake --build --preset default
ctest --preset default
