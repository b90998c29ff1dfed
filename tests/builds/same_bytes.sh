#!/usr/bin/env bash
# Every build prints the same bytes: builds xpcorr in several configurations
# and runs each on the same seeded fit directories, requiring identical
# standard output, standard error and exit status from every build.
#
#   tests/builds/same_bytes.sh [--cases N] [--seed S] [--native] [--cross] [--keep]
#
# --native adds a GCC build with -march=native. --cross compares the
# README's build with static builds for aarch64, s390x (big-endian) and
# ppc64le instead, run under qemu-user; it first installs the cross
# compilers and qemu and unpacks each CPU's nettle
# (scripts/cross-sysroot.sh). --keep leaves the cases and outputs in the
# scratch directory it names (on /dev/shm when there is one: a disk file
# system makes the runs several times slower). On a difference
# it prints the seed, the first differing case (its files and the
# differing outputs) and exits 1.
set -euo pipefail
source "$(dirname "$0")/configs.sh"

cases=3000 seed=1 keep=0 configs=$default_configs
while [ $# -gt 0 ]; do
  case $1 in
    --cases) cases=${2:?}; shift 2 ;;
    --seed) seed=${2:?}; shift 2 ;;
    --native) configs="$configs gcc-native"; shift ;;
    --cross) configs="gcc-release $cross_configs"; shift ;;
    --keep) keep=1; shift ;;
    -h|--help) sed -n '2,16s/^# \{0,1\}//p' "$0"; exit 0 ;;
    *) echo "same_bytes: unknown option '$1' (see --help)" >&2; exit 2 ;;
  esac
done
[[ $cases =~ ^[0-9]+$ && $seed =~ ^[0-9]+$ ]] || { echo "same_bytes: --cases and --seed take whole numbers" >&2; exit 2; }

# A run that fails aborts; its core must not land among the fit files.
ulimit -c 0
scratch=/dev/shm
[ -d "$scratch" ] && [ -w "$scratch" ] || scratch=${TMPDIR:-/tmp}
work=$(mktemp -d "$scratch/same-bytes.XXXXXX")
mkdir -p "$work/cases" "$work/out"
if [ "$keep" = 1 ]; then echo "same_bytes: cases and outputs kept in $work" >&2
else trap 'rm -rf "$work"' EXIT; fi

for c in $configs; do
  case " $cross_configs " in *" $c "*) sh "$root/scripts/cross-sysroot.sh" "$c" ;; esac
done
for c in $configs; do
  if [ "$c" = gcc-release ]; then build_config "$c" xpcorr gen_fits; else build_config "$c" xpcorr; fi
done
gen_fits=$configs_dir/gcc-release/tests/gen_fits
"$gen_fits" "$seed" "$cases" "$work/cases"

# The fit files' names, kinds, modes and bytes, to show that no run changed them.
snapshot() { tar --sort=name -cf - -C "$work/cases" . | sha256sum; }
before=$(snapshot)

# Runs one build in every case directory; bash's own note on an aborted
# child goes to /dev/null, the child's streams to files of their own.
run_all() {
  local out=$work/out/$1 d n
  mkdir -p "$out"
  for d in "$work"/cases/case*; do
    n=${d##*/}
    run_xpcorr "$1" "$d" "$out/$n.out" "$out/$n.err" >"$out/$n.rc"
  done 2>/dev/null
}
set -- $configs
for ((i = 1; i <= $#; i += 2)); do
  run_all "${!i}" &
  j=$((i + 1)); [ "$j" -gt $# ] || run_all "${!j}"
  wait
done
[ "$(snapshot)" = "$before" ] || { echo "same_bytes: a run changed the fit files" >&2; exit 1; }

# Every build against the README's: the differing cases, first one shown.
ref=gcc-release
failed=$(for c in $configs; do
  [ "$c" = "$ref" ] || { diff -rq "$work/out/$ref" "$work/out/$c" || true; }
done | sed -n 's|.*/\(case[0-9]*\)\.[a-z]* and .*|\1|p' | sort -u)
nfailed=$(printf '%s' "$failed" | grep -c . || true)

show_case() {
  local n=$1 d=$work/cases/$1 f
  echo "same_bytes: seed $seed, first differing case $n (rewrite it: $gen_fits $seed 1 DIR ${n#case})"
  for f in mcfit{0..8}.dat dafit{0..8}.dat; do
    if [ -d "$d/$f" ]; then echo "--- $f: a directory"
    elif [ ! -e "$d/$f" ]; then echo "--- $f: missing"
    else echo "--- $f (cat -A)"; cat -A "$d/$f"; echo; fi
  done
  for c in $configs; do
    [ "$c" = "$ref" ] && continue
    for s in out err rc; do
      cmp -s "$work/out/$ref/$n.$s" "$work/out/$c/$n.$s" ||
        diff -u --label "$ref $s" --label "$c $s" "$work/out/$ref/$n.$s" "$work/out/$c/$n.$s" || true
    done
  done
}

# -0 and every other spelling of zero read as 0: each build, given the
# sample with bin 4's matched count written as any of them, prints what
# the README's build prints for 0.
zero=$work/zero
zero_bad=0
for c in $configs; do
  for z in 0 -0 +0 -0. -.000 -0.0E+00 0-0 -0d-999 -000.00e5; do
    rm -rf "$zero" && mkdir -p "$zero" && cp "$root"/examples/sample/*.dat "$zero"/
    sed -i "s/97390\.0/$z/" "$zero/mcfit3.dat"
    echo "status $(run_xpcorr "$c" "$zero" "$work/zero.run" "$work/zero.err")" >>"$work/zero.run"
    cat "$work/zero.err" >>"$work/zero.run"
    [ -e "$work/zero.ref" ] || cp "$work/zero.run" "$work/zero.ref"
    cmp -s "$work/zero.ref" "$work/zero.run" ||
      { echo "same_bytes: $c: a matched count written $z reports otherwise than 0" >&3; zero_bad=1; }
  done
done 3>&2 2>/dev/null
grep -q inf "$work/zero.ref" || { echo "same_bytes: a matched count of 0 did not reach the report" >&2; zero_bad=1; }

if [ "$nfailed" -gt 0 ]; then
  show_case "$(printf '%s\n' "$failed" | head -1)"
fi
echo "same_bytes: $((cases - nfailed)) passed, $nfailed failed$([ "$zero_bad" = 0 ] || echo ", and a spelling of zero reads otherwise than 0")"
[ "$nfailed" -eq 0 ] && [ "$zero_bad" -eq 0 ]
