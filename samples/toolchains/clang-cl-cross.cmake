# Shared part of win32-clang-cl.cmake and x64-clang-cl.cmake: builds the samples on Linux the way
# Microsoft's compiler builds them. clang-cl compiles and lld-link links; Linux has no Windows SDK,
# so MinGW-w64's import libraries stand in for MSVC's (kernel32.lib is libkernel32.a). The flavour
# file sets ORIN_CROSS_TRIPLE, ORIN_CROSS_MINGW and ORIN_CROSS_LINK_FLAGS first.
set(CMAKE_SYSTEM_NAME Windows)

set(ORIN_LLVM_NAMES_SUFFIXES "" -19 -18 -17 -16 -15 -14)
foreach(tool clang-cl lld-link llvm-rc llvm-mt)
  set(names "")
  foreach(suffix ${ORIN_LLVM_NAMES_SUFFIXES})
    list(APPEND names ${tool}${suffix})
  endforeach()
  string(MAKE_C_IDENTIFIER "ORIN_${tool}" var)
  find_program(${var} NAMES ${names} REQUIRED)
endforeach()
set(CMAKE_C_COMPILER ${ORIN_clang_cl})
set(CMAKE_CXX_COMPILER ${ORIN_clang_cl})
set(CMAKE_LINKER ${ORIN_lld_link})
set(CMAKE_RC_COMPILER ${ORIN_llvm_rc})
set(CMAKE_MT ${ORIN_llvm_mt})
set(CMAKE_C_FLAGS_INIT "--target=${ORIN_CROSS_TRIPLE}")
set(CMAKE_CXX_FLAGS_INIT "--target=${ORIN_CROSS_TRIPLE}")

# MSVC's default libraries under their MSVC names, linked to MinGW-w64's import libraries.
set(ORIN_CROSS_LIB_DIR ${CMAKE_BINARY_DIR}/mingw-import-libs)
file(MAKE_DIRECTORY ${ORIN_CROSS_LIB_DIR})
foreach(lib kernel32 user32 gdi32 winspool shell32 ole32 oleaut32 uuid comdlg32 advapi32)
  if(EXISTS /usr/${ORIN_CROSS_MINGW}/lib/lib${lib}.a AND NOT EXISTS ${ORIN_CROSS_LIB_DIR}/${lib}.lib)
    file(CREATE_LINK /usr/${ORIN_CROSS_MINGW}/lib/lib${lib}.a ${ORIN_CROSS_LIB_DIR}/${lib}.lib SYMBOLIC)
  endif()
endforeach()
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "/libpath:${ORIN_CROSS_LIB_DIR} ${ORIN_CROSS_LINK_FLAGS}")
endforeach()

# The compiler checks would link against a C run-time that is not there.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
