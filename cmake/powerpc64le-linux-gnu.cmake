# Toolchain file: xpcorr for little-endian POWER (Debian ppc64el), with g++-powerpc64le-linux-gnu.
set(XPCORR_TRIPLE powerpc64le-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR ppc64le)
set(XPCORR_QEMU qemu-ppc64le-static)
include(${CMAKE_CURRENT_LIST_DIR}/cross-linux-gnu.cmake)
