#!/bin/sh
# xpcorr-plot on a large HEPData table (bench/large-table.sh, 1.2 MB, the
# size of the largest tables HEPData publishes): the README's build of
# xpcorr-plot alone, then wall time, processor time and peak memory of the
# table drawn as PNG and as SVG and of its points listed (.tsv: reading
# alone, nearly), best of three runs; instructions by callgrind when
# BENCH_INSTRUCTIONS=1. Compares with the targets. BENCH_PLOT=PROGRAM
# measures that xpcorr-plot instead (another build, to compare).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${BENCH_PLOT:-$root/build/xpcorr-plot}
[ -n "${BENCH_PLOT:-}" ] ||
  (cd "$root" && cmake --preset default >/dev/null && cmake --build --preset default --target xpcorr-plot >/dev/null)
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
sh "$root/bench/large-table.sh" >"$tmp/table.yaml"

# The best of three runs: wall seconds, processor seconds, peak kB.
measure() {
  best=
  for _ in 1 2 3; do
    /usr/bin/time -f '%e %U %S %M' -o "$tmp/t" "$bin" "$tmp/table.yaml" -o "$tmp/out.$1" 2>/dev/null
    line=$(awk '{printf "%.2f %.2f %d", $1, $2 + $3, $4}' "$tmp/t")
    if [ -z "$best" ] || [ "$(echo "$line $best" | awk '{print ($1 < $4)}')" = 1 ]; then best=$line; fi
  done
  echo "$best"
}

printf 'table: %s bytes\n' "$(wc -c <"$tmp/table.yaml")"
printf '%-22s %8s %10s %10s %14s\n' output "wall s" "cpu s" "peak kB" "target"
for kind in png svg tsv; do
  set -- $(measure $kind)
  printf '%-22s %8s %10s %10s %14s\n' "$kind" "$1" "$2" "$3" "< 0.15 s, 30 MB"
done
if [ "${BENCH_INSTRUCTIONS:-}" = 1 ]; then
  for kind in png tsv; do
    valgrind --tool=callgrind --callgrind-out-file="$tmp/cg" "$bin" "$tmp/table.yaml" -o "$tmp/out.$kind" 2>"$tmp/cg.log"
    printf '%-22s %s\n' "instructions, $kind" "$(sed -n 's/.*Collected : *\([0-9]*\).*/\1/p' "$tmp/cg.log")"
  done
fi
