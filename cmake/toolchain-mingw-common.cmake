# Shared part of the MinGW-w64 toolchain files; the flavour file sets ORIN_MINGW_PREFIX and
# CMAKE_SYSTEM_PROCESSOR first. Debian's "posix" compilers carry the C++ threading run-time.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${ORIN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORIN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${ORIN_MINGW_PREFIX}-windres)
set(CMAKE_AR           ${ORIN_MINGW_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       ${ORIN_MINGW_PREFIX}-ranlib CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${ORIN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every test binary runs under Wine; the wrapper picks the loader from the program's machine type
# and the prefix and display from scripts/wine-env.sh.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
