#!/usr/bin/env bash
# The whole test suite in every build a user may make: GCC Release (the
# README's own command), GCC Debug (with the POSIX calls only), Clang
# Release and GCC Release with LTO, each a preset built and tested in
# build-configs/NAME.
#
#   tests/builds/all_configs.sh [--native] [NAME...]
#
# NAMEs pick builds from gcc-release gcc-debug clang-release gcc-lto
# gcc-native; --native adds gcc-native (-march=native) to the default four.
set -euo pipefail
source "$(dirname "$0")/configs.sh"

configs=
while [ $# -gt 0 ]; do
  case $1 in
    --native) configs="${configs:-$default_configs} gcc-native" ;;
    -h|--help) sed -n '2,9s/^# \{0,1\}//p' "$0"; exit 0 ;;
    -*) echo "all_configs: unknown option '$1' (see --help)" >&2; exit 2 ;;
    *) known_config "$1" || exit 2; configs="$configs $1" ;;
  esac
  shift
done
configs=${configs:-$default_configs}
configs=${configs# }

failed=
for c in $configs; do
  echo "== $c"
  build_config "$c" || { failed="$failed $c"; continue; }
  log=$configs_dir/$c.ctest.log
  if (cd "$root" && ctest --preset "$c") >"$log" 2>&1; then
    grep -E '^(100% tests passed|Total Test time)' "$log"
  else
    cat "$log"
    failed="$failed $c"
  fi
done
if [ -n "$failed" ]; then
  echo "all_configs: failed in:$failed" >&2
  exit 1
fi
echo "all_configs: every test passed in $configs"
