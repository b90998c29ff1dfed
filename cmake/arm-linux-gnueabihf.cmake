# Toolchain file: xpcorr for 32-bit ARM with hardware floating point
# (Debian armhf; `uname -m` says armv7l), with g++-arm-linux-gnueabihf.
set(XPCORR_TRIPLE arm-linux-gnueabihf)
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(XPCORR_QEMU qemu-arm-static)
include(${CMAKE_CURRENT_LIST_DIR}/cross-linux-gnu.cmake)
