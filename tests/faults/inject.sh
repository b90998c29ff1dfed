#!/usr/bin/env bash
# Faults of the system, injected into xpcorr's calls with strace: writes
# that take nothing or are interrupted without end, reads interrupted, and
# each step of replacing the table refused. Every run must end within its
# time limit with exactly the standard output, standard error and exit
# status given, and leave the old table or the whole new one, and no other
# file. ctest runs it on the built program:
#
#   bash tests/faults/inject.sh build/xpcorr
#
# strace is installed when missing (as root); where it cannot be had or
# cannot inject (no ptrace in a container), the script says so and exits
# 77, which ctest counts as skipped.
set -u
[ $# -eq 1 ] || { echo "usage: $0 XPCORR" >&2; exit 2; }
xpcorr=$(realpath "$1")
root=$(cd "$(dirname "$0")/../.." && pwd)
sample=$root/examples/sample

if ! command -v strace >/dev/null && [ "$(id -u)" -eq 0 ]; then
  sh "$root/scripts/install-missing.sh" strace >&2
fi
skip() { echo "skipped: $1" >&2; exit 77; }
command -v strace >/dev/null || skip "strace is not installed (sh scripts/install-missing.sh strace)"
strace -qq -o /dev/null true 2>/dev/null || skip "strace cannot trace here (ptrace not permitted)"
strace -qq -o /dev/null -e trace=chdir -e inject=chdir:error=ENOENT sh -c 'cd /' 2>/dev/null &&
  skip "strace cannot inject system call results here"

# The scratch folder goes on exit; a watcher outside this process tree
# (ctest kills the whole tree of a test past its time limit) removes it
# when the script has gone by any other way.
scratch=$(mktemp -d /tmp/xpcorr-faults-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
# shellcheck disable=SC2016  # expanded by the watcher's own shell
(setsid sh -c 'while kill -0 "$1" 2>/dev/null; do sleep 1; done; rm -rf "$2"' \
  sh $$ "$scratch" </dev/null >/dev/null 2>&1 &)
ulimit -c 0  # the aborted runs leave no core

# What the runs are compared with: the sample's report, its header records
# 1 to 13, nothing, and the table of a run without faults.
report=$sample/expected-report.txt
header=$scratch/header.txt
nothing=/dev/null
head -n 13 "$report" >"$header"
mkdir "$scratch/plain" && cp "$sample"/*.dat "$scratch/plain"
(cd "$scratch/plain" && "$xpcorr" --table t.yaml >/dev/null) || { echo "no plain run" >&2; exit 1; }
new_table=$scratch/plain/t.yaml

# The failure message for `cause` with the unit and the state it names.
failure() {
  printf '%s\napparent state: %s\nlast format: %s\nlately %s formatted external IO\n' "$@"
}
written_report() {
  failure "write: $1" "unit 6 (unnamed)" "(3(1X,F5.3))" "writing sequential"
}
read_mcfit0() { failure "$1" "unit 90 named mcfit0.dat" "list io" "reading direct"; }

passed=0 failed=0
# check NAME SET FAULT OUT ERR STATUS TABLE [ARG...]: runs xpcorr with ARGs
# in a fresh copy of the sample fit files (mcfit0.dat replaced by $mcfit0
# when set) beside an old table t.yaml, under strace injecting FAULT into
# the calls of SET, within 30 seconds; then compares standard output with
# the file OUT, standard error with ERR (and its line end), the status
# with STATUS and the
# table with TABLE (the old one, or $new_table), and lists the folder.
check() {
  local name=$1 set=$2 fault=$3 out=$4 err=$5 status=$6 table=$7
  shift 7
  local dir=$scratch/$((passed + failed)) got=0 problems=
  mkdir "$dir" && cp "$sample"/*.dat "$dir" && printf 'old\n' >"$dir/t.yaml"
  [ -z "${mcfit0:-}" ] || printf '%s' "$mcfit0" >"$dir/mcfit0.dat"
  local names
  names=$(ls -A "$dir")
  { (cd "$dir" && exec timeout -k 5 30 strace -qq -o /dev/null -e trace="$set" \
    -e inject="$set:$fault" -- "$xpcorr" "$@") >"$dir.out" 2>"$dir.err"; } 2>/dev/null || got=$?
  cmp -s "$dir.out" "$out" || problems="$problems standard-output"
  [ "$(cat "$dir.err"; echo .)" = "${err:+$err
}." ] || problems="$problems standard-error"
  [ "$got" = "$status" ] || problems="$problems status-$got"
  if [ "$table" = old ]; then
    [ "$(cat "$dir/t.yaml")" = old ] || problems="$problems table-replaced"
  else
    cmp -s "$dir/t.yaml" "$table" || problems="$problems table-not-whole"
  fi
  [ "$(ls -A "$dir")" = "$names" ] || problems="$problems file-left"
  if [ -z "$problems" ]; then
    passed=$((passed + 1))
    echo "ok: $name"
  else
    failed=$((failed + 1))
    echo "FAILED: $name:$problems"
    echo "--- standard error:"
    cat "$dir.err"
  fi
}

table=(--table t.yaml)
mcfit0='x 2 3 4 5 6
'
check "a failure message whose every write takes nothing ends in the abort" \
  write retval=0 "$nothing" "" 134 old
check "a value read after an interrupted read fails with its own cause" \
  read error=EINTR:when=1 "$header" "$(read_mcfit0 "invalid number: incomprehensible list input")" \
  134 old
unset mcfit0
check "a report whose every write is interrupted ends in the abort" \
  write error=EINTR "$nothing" "" 134 old
check "a read interrupted without end fails with the system's text" \
  read error=EINTR "$header" "$(read_mcfit0 "list in: Interrupted system call")" 134 old
check "a report write that takes nothing is no space left, and later goes whole" \
  write retval=0:when=1 "$report" "$(written_report "No space left on device")" 134 old
check "help refused by standard output" \
  write retval=0:when=1 "$nothing" "xpcorr: cannot write standard output: No space left on device" 1 old --help
check "a table write interrupted once goes on" \
  write error=EINTR:when=2 "$report" "" 0 "$new_table" "${table[@]}"
check "a table write that takes nothing keeps the old table" \
  write retval=0:when=2 "$report" "xpcorr: cannot write t.yaml: No space left on device" 1 old "${table[@]}"
check "a table whose mode cannot be set keeps the old table" \
  fchmod error=EPERM "$report" "xpcorr: cannot write t.yaml: Operation not permitted" 1 old "${table[@]}"
check "a table that cannot be synced keeps the old table" \
  fsync error=EIO "$report" "xpcorr: cannot write t.yaml: Input/output error" 1 old "${table[@]}"
check "a table whose close fails keeps the old table" \
  close error=EIO "$report" "xpcorr: cannot write t.yaml: Input/output error" 1 old "${table[@]}"
check "a table that cannot be renamed into place keeps the old table" \
  rename,renameat,renameat2 error=EXDEV "$report" \
  "xpcorr: cannot write t.yaml: Invalid cross-device link" 1 old "${table[@]}"

# For a table each fit file is read to its end, in the run's one read of
# it, for its digest: a read refused past the values (the second read of
# mcfit0.dat) ends the run with the failure message, the old table kept.
check "a fit file that cannot be read to its end for a table keeps the old table" \
  read error=EIO:when=2 "$header" "$(read_mcfit0 "list in: Input/output error")" 134 old \
  "${table[@]}"
check "a fit file read for a table interrupted without end keeps the old table" \
  read error=EINTR:when=2+ "$header" "$(read_mcfit0 "list in: Interrupted system call")" 134 old \
  "${table[@]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
