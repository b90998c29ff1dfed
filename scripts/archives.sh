#!/bin/sh
# Builds, for each CPU named (default: x86_64 and every cross-built one), the
# archive build-archives/xpcorr-VERSION-linux-CPU.tar.gz: the static
# xpcorr, its manual page, and the sample fit files with their report.
# Each archive is then unpacked and its xpcorr run on its own sample (a
# foreign one under qemu-user), which must print the sample's report.
#
#   sh scripts/archives.sh [CPU...]
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
out=$root/build-archives
. scripts/cpus.sh
cpus=${*:-x86_64 $cross_cpus}

sh scripts/install-missing.sh cmake make g++ nettle-dev zlib1g-dev >&2
mkdir -p "$out"
for cpu in $cpus; do
  # x86-64 is this machine's own build ("xpcorr" preset); the others are
  # cross-built, each by its CPU's preset.
  preset=xpcorr emulator=
  if [ "$cpu" != x86_64 ]; then
    cpu_triple "$cpu" >/dev/null || { echo "archives: unknown CPU '$cpu' (x86_64 $cross_cpus)" >&2; exit 2; }
    preset=$cpu emulator=$(cpu_emulator "$cpu")
    sh scripts/cross-sysroot.sh "$cpu" >&2
  fi

  build=$out/build-$cpu
  {
    cmake --preset "$preset" -B "$build"
    cmake --build "$build" -j2
    (cd "$build" && cpack -G TGZ -B "$out")
  } >"$out/$cpu.log" 2>&1 || { cat "$out/$cpu.log" >&2; echo "archives: $cpu: build failed" >&2; exit 1; }
  archive=$(sed -n 's/.*package: \(.*\.tar\.gz\) generated.*/\1/p' "$out/$cpu.log")

  # The archive as a user gets it: its own sample gives its own report.
  check=$(mktemp -d)
  tar -xzf "$archive" -C "$check"
  top=$check/$(basename "$archive" .tar.gz)
  # shellcheck disable=SC2086  # no emulator: no word
  if $emulator "$top/bin/xpcorr" -C "$top/share/doc/xpcorr/examples" |
       cmp -s - "$top/share/doc/xpcorr/examples/expected-report.txt" &&
     [ -s "$top/share/man/man1/xpcorr.1" ]; then
    echo "$archive: $(tar -tzf "$archive" | grep -c -v '/$') files; its xpcorr prints its sample's report"
    rm -rf "$check"
  else
    echo "archives: $archive: its xpcorr does not print its sample's report (unpacked in $check)" >&2
    exit 1
  fi
done
