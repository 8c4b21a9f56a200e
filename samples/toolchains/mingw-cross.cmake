# Shared part of win32-mingw.cmake and x64-mingw.cmake: builds the samples with a MinGW-w64 cross
# compiler (Debian's packages, or any named <ORIN_CROSS_MINGW>-g++ on the PATH). The flavour file
# sets ORIN_CROSS_MINGW first. On Windows, MinGW-w64's own g++ needs no toolchain file.
set(CMAKE_SYSTEM_NAME Windows)
find_program(ORIN_MINGW_CXX NAMES ${ORIN_CROSS_MINGW}-g++-posix ${ORIN_CROSS_MINGW}-g++ REQUIRED)
find_program(ORIN_MINGW_CC NAMES ${ORIN_CROSS_MINGW}-gcc-posix ${ORIN_CROSS_MINGW}-gcc REQUIRED)
find_program(ORIN_MINGW_RC NAMES ${ORIN_CROSS_MINGW}-windres REQUIRED)
set(CMAKE_C_COMPILER ${ORIN_MINGW_CC})
set(CMAKE_CXX_COMPILER ${ORIN_MINGW_CXX})
set(CMAKE_RC_COMPILER ${ORIN_MINGW_RC})

set(CMAKE_FIND_ROOT_PATH /usr/${ORIN_CROSS_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
