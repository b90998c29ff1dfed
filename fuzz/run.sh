#!/bin/sh
# Builds the four libFuzzer targets with clang++ and runs each for a while
# on a copy of its seed corpus: the list-directed reader and the fit-file
# reader on fuzz/corpus/, the plotting program's table reader on the example
# tables of examples/hepdata/ and fuzz/corpus-table/, its YODA reader on
# the example files of examples/yoda/ and fuzz/corpus-yoda/.
#   fuzz/run.sh [seconds-per-target]     (default 30)
# Exits non-zero when a target crashes, leaks or times out.
set -eu

seconds=${1:-30}
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
out=${FUZZ_OUT:-$root/build-fuzz/runs}
cxx=${CXX_FUZZ:-clang++}

# The targets are built by the "fuzz" preset in build-fuzz/.
(cd "$root" && cmake --preset fuzz -DCMAKE_CXX_COMPILER="$cxx" >/dev/null && cmake --build --preset fuzz) ||
  { echo "fuzz/run.sh: the fuzz build failed" >&2; exit 1; }
targets=$root/build-fuzz/fuzz
mkdir -p "$out"

# run TARGET SEED-FILES... [-- LIBFUZZER-OPTIONS...]
status=0
run() {
  target=$1
  shift
  corpus="$out/corpus-$target"
  rm -rf "$corpus"
  mkdir -p "$corpus"
  while [ $# -gt 0 ] && [ "$1" != -- ]; do cp "$1" "$corpus"/; shift; done
  [ $# -gt 0 ] && shift
  echo "== running $target for ${seconds}s"
  if ! (cd "$out" && "$targets/$target" -max_total_time="$seconds" -rss_limit_mb=1024 -timeout=5 \
          -print_final_stats=1 "$@" "$corpus" >"$out/$target.log" 2>&1); then
    echo "!! $target failed; see $out/$target.log (crash-* files in $out)"
    tail -n 40 "$out/$target.log"
    status=1
  else
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)' "$out/$target.log" || true
    echo "   ok"
  fi
}
run list_input_fuzz "$here"/corpus/* -- -malloc_limit_mb=8
run fit_file_fuzz "$here"/corpus/* -- -malloc_limit_mb=8
run table_fuzz "$root"/examples/hepdata/*.yaml "$root"/examples/hepdata/*.json "$here"/corpus-table/* -- \
  -malloc_limit_mb=64 -max_len=16384 -dict="$here/table.dict"
run yoda_fuzz "$root"/examples/yoda/*.yoda* "$here"/corpus-yoda/* -- \
  -malloc_limit_mb=64 -max_len=16384 -dict="$here/yoda.dict"
exit $status
