#!/bin/sh
# Makes this machine ready to build xpcorr for other CPUs and run it there
# under emulation: Debian's cross compiler and qemu-user for each CPU named
# (aarch64, s390x, ppc64le), and that CPU's static yaml-cpp unpacked into
# build-cross/sysroot-TRIPLE, where cmake/TRIPLE.cmake looks for it.
#
#   sh scripts/cross-sysroot.sh CPU...
#
# libyaml-cpp-dev cannot be installed beside the native one (it is not
# Multi-Arch: same), so the CPU's package is only downloaded and unpacked;
# the foreign architecture is added to dpkg for that and removed again.
set -eu
cd "$(dirname "$0")/.."

. scripts/cpus.sh
if [ "$(id -u)" -eq 0 ]; then as_root=; else as_root=sudo; fi

for cpu in "$@"; do
  triple=$(cpu_triple "$cpu") || { echo "cross-sysroot: unknown CPU '$cpu' ($cross_cpus)" >&2; exit 2; }
  arch=$(cpu_arch "$cpu")
  sh scripts/install-missing.sh "g++-$triple" qemu-user-static
  command -v "$(cpu_emulator "$cpu")" >/dev/null

  sysroot=build-cross/sysroot-$triple
  [ -e "$sysroot/usr/lib/$triple/libyaml-cpp.a" ] && continue
  echo "Unpacking libyaml-cpp-dev:$arch into $sysroot"
  work=$(mktemp -d)
  $as_root dpkg --add-architecture "$arch"
  if $as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
     (cd "$work" && apt-get download -qq -o APT::Sandbox::User=root "libyaml-cpp-dev:$arch"); then ok=1; else ok=0; fi
  $as_root dpkg --remove-architecture "$arch"
  [ "$ok" = 1 ] || { rm -rf "$work"; echo "cross-sysroot: cannot fetch libyaml-cpp-dev:$arch" >&2; exit 1; }
  rm -rf "$sysroot" && mkdir -p "$sysroot"
  dpkg -x "$work"/libyaml-cpp-dev_*_"$arch".deb "$sysroot"
  rm -rf "$work"
done
