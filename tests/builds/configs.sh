# The builds of xpcorr a user may make and the builds for other CPUs, each
# a configure preset of CMakePresets.json built in its own folder; sourced
# by same_bytes.sh and all_configs.sh.
# build_config NAME [TARGET...] configures and builds preset NAME, cmake's
# output going to build-configs/NAME.log and shown only when a step fails.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
configs_dir=$root/build-configs
default_configs="gcc-release gcc-debug clang-release gcc-lto"

# The builds for other CPUs are named by the CPU, as `uname -m` names it;
# their programs run here under qemu-user.
source "$root/scripts/cpus.sh"
cross_configs=$cross_cpus

# Whether NAME is a build of this script: a native one or a CPU's.
known_config() {
  case " $default_configs gcc-native $cross_configs " in
    *" $1 "*) return 0 ;;
    *) echo "unknown build configuration: $1" >&2; return 2 ;;
  esac
}

# Runs the xpcorr of build NAME in DIR, its streams to OUT and ERR, and
# prints its exit status. After a guest's abort qemu adds a line of its own
# to standard error; it is not the program's, so it is left out.
run_xpcorr() {
  local name=$1 dir=$2 out=$3 err=$4 emulator rc=0
  emulator=$(cpu_emulator "$name" || true)
  # shellcheck disable=SC2086  # no emulator: no word
  (cd "$dir" && exec $emulator "$configs_dir/$name/xpcorr") >"$out" 2>"$err" </dev/null || rc=$?
  if [ -n "$emulator" ] && [ "$rc" != 0 ]; then sed -i '/^qemu: uncaught target signal /d' "$err"; fi
  echo "$rc"
}

build_config() {
  local name=$1 log=$configs_dir/$1.log
  shift
  known_config "$name" || return 2
  mkdir -p "$configs_dir"
  if ! (cd "$root" && cmake --preset "$name" && cmake --build --preset "$name" ${1:+--target "$@"}) >"$log" 2>&1; then
    cat "$log" >&2
    echo "$name: build failed (log: $log)" >&2
    return 1
  fi
}
