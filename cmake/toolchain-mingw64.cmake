# Cross-compiles 64-bit Windows binaries (the flavour for 64-bit hosts) with Debian's MinGW-w64
# compilers.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ORIN_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
