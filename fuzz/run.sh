#!/bin/sh
# Builds the two libFuzzer targets with clang++ and runs each for a while
# on a copy of the seed corpus.
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
       -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I$root/src"

for target in list_input_fuzz fit_file_fuzz; do
  echo "== building $target"
  # shellcheck disable=SC2086
  $cxx $flags -o "$out/$target" "$here/$target.cpp" "$root"/src/recio/*.cpp
done

status=0
for target in list_input_fuzz fit_file_fuzz; do
  corpus="$out/corpus-$target"
  rm -rf "$corpus"
  mkdir -p "$corpus"
  cp "$here"/corpus/* "$corpus"/
  echo "== running $target for ${seconds}s"
  if ! (cd "$out" && "./$target" -max_total_time="$seconds" -rss_limit_mb=1024 -malloc_limit_mb=8 \
          -timeout=5 -print_final_stats=1 "$corpus" \
          >"$out/$target.log" 2>&1); then
    echo "!! $target failed; see $out/$target.log (crash-* files in $out)"
    tail -n 40 "$out/$target.log"
    status=1
  else
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)' "$out/$target.log" || true
    echo "   ok"
  fi
done
exit $status
