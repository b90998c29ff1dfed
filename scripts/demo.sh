#!/bin/sh
# The README's first command: installs what the build needs, builds the
# program (without the tests) in build/ and runs it on the sample fit files
# of examples/sample/. Standard output is the report alone; the install and
# build steps write on standard error.
set -eu
cd "$(dirname "$0")/.."

{
  sh scripts/install-missing.sh cmake make g++ pkg-config \
    libyaml-cpp-dev libplplot-dev plplot-driver-cairo
  cmake -S . -B build -DXPCORR_TESTS=OFF
  cmake --build build -j2
} >&2

(cd examples/sample && ../../build/xpcorr)

# --- Table and picture of the sample ----------------------------------
# Place for the sample's results table (xpcorr --table) and its picture
# (xpcorr-plot), written under build/demo/; to be filled in when both
# programs are merged.
