#!/bin/sh
# Builds the three libFuzzer targets with clang++ and runs each for a while
# on a copy of its seed corpus: the list-directed reader and the fit-file
# reader on fuzz/corpus/, the plotting program's table reader on the example
# tables of examples/hepdata/ and fuzz/corpus-table/.
#   fuzz/run.sh [seconds-per-target]     (default 30)
# Exits non-zero when a target crashes, leaks or times out.
set -eu

seconds=${1:-30}
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
out=${FUZZ_OUT:-$root/build-fuzz}
cxx=${CXX_FUZZ:-clang++}

mkdir -p "$out"
flags="-std=c++20 -g -O1 -fno-omit-frame-pointer -ffp-contract=off
       -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined"

# The table reader links plot's sources and the static yaml-cpp.
yaml_cpp=$($cxx -print-file-name=libyaml-cpp.a)
[ -e "$yaml_cpp" ] || { echo "fuzz/run.sh: no libyaml-cpp.a (package libyaml-cpp-dev)" >&2; exit 1; }

build() {
  target=$1
  shift
  echo "== building $target"
  # shellcheck disable=SC2086
  $cxx $flags -o "$out/$target" "$here/$target.cpp" "$@"
}
build list_input_fuzz -I"$root/src" "$root"/src/recio/*.cpp
build fit_file_fuzz -I"$root/src" "$root"/src/recio/*.cpp
build table_fuzz -I"$root" "$root/plot/table.cpp" "$root/plot/text.cpp" "$yaml_cpp"

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
  if ! (cd "$out" && "./$target" -max_total_time="$seconds" -rss_limit_mb=1024 -timeout=5 \
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
exit $status
