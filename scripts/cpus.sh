# The CPUs xpcorr is cross-built for, named as `uname -m` names them, and
# what each needs: its GNU triple (the cross compiler and cmake/TRIPLE.cmake),
# its Debian architecture and its qemu-user emulator. The configure preset
# of each is named by the CPU. Sourced by cross-sysroot.sh, archives.sh and
# tests/builds/configs.sh.
cross_cpus="aarch64 s390x ppc64le i686 armv7l"

cpu_triple() {
  case $1 in
    aarch64) echo aarch64-linux-gnu ;;
    s390x) echo s390x-linux-gnu ;;
    ppc64le) echo powerpc64le-linux-gnu ;;
    i686) echo i686-linux-gnu ;;
    armv7l) echo arm-linux-gnueabihf ;;
    *) return 1 ;;
  esac
}

cpu_arch() {
  case $1 in
    aarch64) echo arm64 ;;
    s390x) echo s390x ;;
    ppc64le) echo ppc64el ;;
    i686) echo i386 ;;
    armv7l) echo armhf ;;
    *) return 1 ;;
  esac
}

cpu_emulator() {
  case $1 in
    i686) echo qemu-i386-static ;;
    armv7l) echo qemu-arm-static ;;
    *) cpu_triple "$1" >/dev/null && echo "qemu-$1-static" ;;
  esac
}
