# Cross-builds 64-bit Windows binaries on Linux with clang-cl and lld-link (Microsoft's ABI):
#   cmake -S <sample> -B build -DCMAKE_TOOLCHAIN_FILE=<bundle>/samples/toolchains/x64-clang-cl.cmake
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(ORIN_CROSS_TRIPLE x86_64-pc-windows-msvc)
set(ORIN_CROSS_MINGW x86_64-w64-mingw32)
set(ORIN_CROSS_LINK_FLAGS "")
include(${CMAKE_CURRENT_LIST_DIR}/clang-cl-cross.cmake)
