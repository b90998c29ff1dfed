# Toolchain file: xpcorr for IBM Z (Debian s390x, big-endian), with g++-s390x-linux-gnu.
set(XPCORR_TRIPLE s390x-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(XPCORR_QEMU qemu-s390x-static)
include(${CMAKE_CURRENT_LIST_DIR}/cross-linux-gnu.cmake)
