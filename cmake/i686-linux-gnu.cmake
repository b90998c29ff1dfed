# Toolchain file: xpcorr for 32-bit x86 (Debian i386), with g++-i686-linux-gnu.
# The arithmetic runs in SSE2, each double operation rounded to double as on
# every other CPU: the x87 unit would keep it in extended precision.
set(XPCORR_TRIPLE i686-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(XPCORR_QEMU qemu-i386-static)
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/cross-linux-gnu.cmake)
