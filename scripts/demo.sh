#!/bin/sh
# The README's first command: installs what the build needs, builds the
# programs (without the tests) in build/ (the "default" preset) and runs
# xpcorr on the sample fit files of examples/sample/, writing their results
# table, then draws it.
# Standard output is the report alone; the other steps write on standard
# error.
set -eu
cd "$(dirname "$0")/.."

{
  sh scripts/install-missing.sh cmake make g++ pkg-config nettle-dev \
    libyaml-dev zlib1g-dev libplplot-dev plplot-driver-cairo libcairo2-dev libpng-dev
  cmake --preset default -DXPCORR_TESTS=OFF
  cmake --build --preset default
} >&2

# The report on standard output; the sample's results table and the
# picture of its fragmentation function go to build/demo/.
mkdir -p build/demo
build/xpcorr -C examples/sample --table build/demo/sample.yaml
build/xpcorr-plot build/demo/sample.yaml -o build/demo/sample.png --label "sample fits"
echo "Table: build/demo/sample.yaml; picture: build/demo/sample.png" >&2
