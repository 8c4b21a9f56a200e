# Cross-builds 64-bit Windows binaries on Linux with MinGW-w64:
#   cmake -S <sample> -B build -DCMAKE_TOOLCHAIN_FILE=<bundle>/samples/toolchains/x64-mingw.cmake
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(ORIN_CROSS_MINGW x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-cross.cmake)
