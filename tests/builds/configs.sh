# The builds of xpcorr a user may make, each configured in a directory of
# its own under build-configs/, and the builds for other CPUs; sourced by
# same_bytes.sh and all_configs.sh.
# configure NAME [TARGET] configures and builds NAME, cmake's output going to
# build-configs/NAME.log and shown only when a step fails.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
configs_dir=$root/build-configs
default_configs="gcc-release gcc-debug clang-release gcc-lto"

# The cmake options of each build. gcc-release is the README's own command:
# no options, so the build type is the project's default (Release).
config_options() {
  case $1 in
    gcc-release)   echo "CXX=g++" ;;
    gcc-debug)     echo "CXX=g++ -DCMAKE_BUILD_TYPE=Debug" ;;
    clang-release) echo "CXX=clang++" ;;
    gcc-lto)       echo "CXX=g++ -DCMAKE_INTERPROCEDURAL_OPTIMIZATION=ON" ;;
    gcc-native)    echo "CXX=g++ -DCMAKE_CXX_FLAGS=-march=native" ;;
    aarch64|s390x|ppc64le)
      echo "CXX=$(cpu_triple "$1")-g++ -DCMAKE_TOOLCHAIN_FILE=$root/cmake/$(cpu_triple "$1").cmake" \
        "-DXPCORR_PLOT=OFF -DXPCORR_TESTS=OFF" ;;
    *) echo "unknown build configuration: $1" >&2; return 2 ;;
  esac
}

# The builds for other CPUs are named by the CPU, as `uname -m` names it;
# their programs run here under qemu-user.
source "$root/scripts/cpus.sh"
cross_configs=$cross_cpus

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
  local name=$1 target=${2:-all} dir=$configs_dir/$1 log=$configs_dir/$1.log opts cxx
  opts=$(config_options "$name") || return 2
  cxx=${opts%% *}; cxx=${cxx#CXX=}; opts=${opts#CXX=$cxx}
  mkdir -p "$configs_dir"
  # shellcheck disable=SC2086  # the options are single words
  if ! { CXX=$cxx cmake -S "$root" -B "$dir" $opts &&
         cmake --build "$dir" -j2 --target "$target"; } >"$log" 2>&1; then
    cat "$log" >&2
    echo "$name: build failed (log: $log)" >&2
    return 1
  fi
}
