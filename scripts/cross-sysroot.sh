#!/bin/sh
# Makes this machine ready to build xpcorr for other CPUs and run it there
# under emulation: Debian's cross compiler and qemu-user for each CPU named
# (those of scripts/cpus.sh), and the CPU's own copies of the libraries
# xpcorr links beyond the C and C++ ones (sysroot_packages, below) unpacked
# into build-cross/sysroot-TRIPLE, where cmake/TRIPLE.cmake looks for them.
#
#   sh scripts/cross-sysroot.sh CPU...
#
# Such -dev packages cannot be installed beside the native ones (they are
# not Multi-Arch: same), so the CPU's packages are only downloaded and
# unpacked; the foreign architecture is added to dpkg for that and removed
# again.
set -eu
cd "$(dirname "$0")/.."

. scripts/cpus.sh
# nettle, whose SHA-256 names the fit files in xpcorr's tables, and zlib,
# which compresses the tables named .gz.
sysroot_packages="nettle-dev zlib1g-dev"

if [ "$(id -u)" -eq 0 ]; then as_root=; else as_root=sudo; fi

for cpu in "$@"; do
  triple=$(cpu_triple "$cpu") || { echo "cross-sysroot: unknown CPU '$cpu' ($cross_cpus)" >&2; exit 2; }
  arch=$(cpu_arch "$cpu")
  sh scripts/install-missing.sh "g++-$triple" qemu-user-static
  command -v "$(cpu_emulator "$cpu")" >/dev/null

  sysroot=build-cross/sysroot-$triple
  [ -n "$sysroot_packages" ] || continue
  [ -e "$sysroot/.unpacked" ] && [ "$(cat "$sysroot/.unpacked")" = "$sysroot_packages" ] && continue
  echo "Unpacking $sysroot_packages ($arch) into $sysroot"
  work=$(mktemp -d)
  $as_root dpkg --add-architecture "$arch"
  # An index that fails to update (a mirror in the middle of a sync serves
  # one of the wrong size for a while) fails the download only if the
  # packages cannot be had without it; both are tried three times.
  ok=0
  for try in 1 2 3; do
    $as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq || true
    # shellcheck disable=SC2046,SC2086  # one word per package
    if (cd "$work" && apt-get download -qq -o APT::Sandbox::User=root $(printf "%s:$arch " $sysroot_packages)); then ok=1; break; fi
    [ "$try" = 3 ] || sleep $((try * 20))
  done
  $as_root dpkg --remove-architecture "$arch"
  [ "$ok" = 1 ] || { rm -rf "$work"; echo "cross-sysroot: cannot fetch $sysroot_packages for $arch" >&2; exit 1; }
  rm -rf "$sysroot" && mkdir -p "$sysroot"
  for deb in "$work"/*.deb; do dpkg -x "$deb" "$sysroot"; done
  echo "$sysroot_packages" >"$sysroot/.unpacked"
  rm -rf "$work"
done
