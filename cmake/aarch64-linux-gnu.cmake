# Toolchain file: xpcorr for 64-bit ARM (Debian arm64), with g++-aarch64-linux-gnu.
set(XPCORR_TRIPLE aarch64-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(XPCORR_QEMU qemu-aarch64-static)
include(${CMAKE_CURRENT_LIST_DIR}/cross-linux-gnu.cmake)
