# Cross-builds 32-bit Windows binaries on Linux with MinGW-w64:
#   cmake -S <sample> -B build -DCMAKE_TOOLCHAIN_FILE=<bundle>/samples/toolchains/win32-mingw.cmake
set(CMAKE_SYSTEM_PROCESSOR x86)
set(ORIN_CROSS_MINGW i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-cross.cmake)
