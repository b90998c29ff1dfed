# Cross build of xpcorr for another Linux CPU with Debian's cross compilers,
# included by one small toolchain file per CPU, which sets XPCORR_TRIPLE
# (the GNU triple), CMAKE_SYSTEM_PROCESSOR (the CPU as `uname -m` names it)
# and XPCORR_QEMU (the user-mode emulator that runs its programs here).
#
# Libraries of the CPU beyond the compiler's own come from their Debian
# packages, unpacked by scripts/cross-sysroot.sh into
# build-cross/sysroot-TRIPLE (apt cannot install them beside the native
# ones); XPCORR_SYSROOT names another folder.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${XPCORR_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${XPCORR_TRIPLE}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${XPCORR_TRIPLE})

if(NOT XPCORR_SYSROOT)
  set(XPCORR_SYSROOT ${CMAKE_CURRENT_LIST_DIR}/../build-cross/sysroot-${XPCORR_TRIPLE})
endif()
get_filename_component(XPCORR_SYSROOT ${XPCORR_SYSROOT} ABSOLUTE)
set(CMAKE_FIND_ROOT_PATH /usr/${XPCORR_TRIPLE} ${XPCORR_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs built here run under qemu-user (tests, `ctest`).
set(CMAKE_CROSSCOMPILING_EMULATOR ${XPCORR_QEMU})
