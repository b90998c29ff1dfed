#!/bin/sh
# Release build of xpcorr alone (the "xpcorr" preset), then instructions, system calls, wall time and peak memory
# of a run on examples/sample, and of a run whose mcfit0.dat is prefixed by
# 200 MB of blank lines (read throughput). Compares with the targets.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-xpcorr
# shellcheck disable=SC2086  # BENCH_CMAKE_ARGS: one word per option
(cd "$root" && cmake --preset xpcorr ${BENCH_CMAKE_ARGS:-} >/dev/null && cmake --build --preset xpcorr >/dev/null)
bin=$build/xpcorr
sample=$root/examples/sample
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT

cd "$sample"
valgrind --tool=callgrind --callgrind-out-file="$tmp/cg.out" "$bin" >/dev/null 2>"$tmp/cg.log"
instr=$(sed -n 's/.*Collected : *\([0-9]*\).*/\1/p' "$tmp/cg.log")
strace -f -c -o "$tmp/st" "$bin" >/dev/null
calls=$(awk '$NF=="total"{print $4}' "$tmp/st")
/usr/bin/time -v "$bin" >"$tmp/out" 2>"$tmp/tv"
cmp -s "$tmp/out" expected-report.txt || echo "WARNING: sample report differs"
wall=$(sed -n 's/.*Elapsed (wall clock) time.*: //p' "$tmp/tv")
rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$tmp/tv")

big=$tmp/big; mkdir "$big"; cp "$sample"/*.dat "$sample"/expected-report.txt "$big"/
mb=200
{ head -c $((mb*1024*1024)) /dev/zero | tr '\0' '\n'; cat "$sample/mcfit0.dat"; } >"$big/mcfit0.dat"
cd "$big"
t0=$(date +%s.%N)
/usr/bin/time -v "$bin" >"$tmp/bout" 2>"$tmp/btv"
t1=$(date +%s.%N)
cmp -s "$tmp/bout" expected-report.txt && same=yes || same=NO
bwall=$(sed -n 's/.*Elapsed (wall clock) time.*: //p' "$tmp/btv")
brss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$tmp/btv")
secs=$(awk -v a="$t0" -v b="$t1" 'BEGIN{printf "%.3f", b-a}')
bwall="${secs} s"
tput=$(awk -v m=$mb -v s="$secs" 'BEGIN{ if (s>0) printf "%.0f", m/s; else print "inf"}')

printf '%-34s %14s %12s\n' measure value target
printf '%-34s %14s %12s\n' "instructions (sample)" "$instr" 190000
printf '%-34s %14s %12s\n' "system calls (sample)" "$calls" 70
printf '%-34s %14s %12s\n' "wall time (sample)" "$wall" -
printf '%-34s %14s %12s\n' "peak RSS kB (sample)" "$rss" 2048
printf '%-34s %14s %12s\n' "wall time (200 MB blanks)" "$bwall" -
printf '%-34s %14s %12s\n' "read throughput MB/s" "$tput" 1024
printf '%-34s %14s %12s\n' "peak RSS kB (200 MB blanks)" "$brss" 2048
printf '%-34s %14s %12s\n' "report equals expected (200 MB)" "$same" yes
if [ -n "${BENCH_ANNOTATE:-}" ]; then callgrind_annotate "$tmp/cg.out" | head -40; fi
