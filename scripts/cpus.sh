# The CPUs xpcorr is cross-built for, named as `uname -m` names them, and
# what each needs: its GNU triple (the cross compiler and cmake/TRIPLE.cmake),
# its Debian architecture and its qemu-user emulator. Sourced by
# cross-sysroot.sh, archives.sh and tests/builds/configs.sh.
cross_cpus="aarch64 s390x ppc64le"

cpu_triple() {
  case $1 in
    aarch64) echo aarch64-linux-gnu ;;
    s390x) echo s390x-linux-gnu ;;
    ppc64le) echo powerpc64le-linux-gnu ;;
    *) return 1 ;;
  esac
}

cpu_arch() {
  case $1 in
    aarch64) echo arm64 ;;
    s390x) echo s390x ;;
    ppc64le) echo ppc64el ;;
    *) return 1 ;;
  esac
}

cpu_emulator() { cpu_triple "$1" >/dev/null && echo "qemu-$1-static"; }
