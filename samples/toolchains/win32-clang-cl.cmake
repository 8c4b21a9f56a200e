# Cross-builds 32-bit Windows binaries on Linux with clang-cl and lld-link (Microsoft's ABI):
#   cmake -S <sample> -B build -DCMAKE_TOOLCHAIN_FILE=<bundle>/samples/toolchains/win32-clang-cl.cmake
set(CMAKE_SYSTEM_PROCESSOR x86)
set(ORIN_CROSS_TRIPLE i686-pc-windows-msvc)
set(ORIN_CROSS_MINGW i686-w64-mingw32)
# MinGW-w64's import libraries carry no safe exception-handler tables.
set(ORIN_CROSS_LINK_FLAGS "/safeseh:no")
include(${CMAKE_CURRENT_LIST_DIR}/clang-cl-cross.cmake)
