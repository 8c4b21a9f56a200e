# Binaries built the way a Microsoft-compiler user builds them: clang in MSVC mode compiles, lld-link
# links against MinGW-w64's import libraries, and no C++ run-time is linked in. They prove that a
# host or a driver from the other compiler meets the plug-in.
#
# orin_msabi_binary(<target> DLL|EXE OUTPUT <file> ENTRY <symbol> SOURCES <files...>
#                   [DEFINES <defs...>] [INCLUDES <dirs...>] [DEPENDS <files...>] [LIBS <names...>])
# LIBS are import libraries by short name (kernel32). Nothing is defined when clang or lld-link is
# missing; ORIN_MSABI_FOUND says whether they were found.
find_program(ORIN_CLANGXX NAMES clang++ clang++-14)
find_program(ORIN_LLD_LINK NAMES lld-link lld-link-14)
if(ORIN_CLANGXX AND ORIN_LLD_LINK)
  set(ORIN_MSABI_FOUND TRUE)
else()
  set(ORIN_MSABI_FOUND FALSE)
  message(STATUS "clang++ or lld-link not found: the Microsoft-ABI host and drivers are not built")
endif()

# The flavour follows the main build.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(ORIN_MSABI_TRIPLE x86_64-pc-windows-msvc)
  set(ORIN_MSABI_IMPORT_DIR /usr/x86_64-w64-mingw32/lib)
  set(ORIN_MSABI_LINK_FLAGS /machine:x64)
else()
  set(ORIN_MSABI_TRIPLE i686-pc-windows-msvc)
  set(ORIN_MSABI_IMPORT_DIR /usr/i686-w64-mingw32/lib)
  # MinGW's import libraries carry no safe exception-handler tables.
  set(ORIN_MSABI_LINK_FLAGS /machine:x86 /safeseh:no)
endif()

function(orin_msabi_binary target kind)
  cmake_parse_arguments(M "" "OUTPUT;ENTRY" "SOURCES;DEFINES;INCLUDES;DEPENDS;LIBS" ${ARGN})
  if(NOT ORIN_MSABI_FOUND)
    return()
  endif()
  set(objects "")
  set(flags --target=${ORIN_MSABI_TRIPLE} -std=c++17 -O2 -Wall -Wextra -Werror -fno-exceptions -fno-rtti
            -DORIN_NO_WINDOWS_HEADERS)
  foreach(def ${M_DEFINES})
    list(APPEND flags "-D${def}")
  endforeach()
  foreach(dir ${ORIN_PUBLIC_INCLUDE} ${M_INCLUDES})
    list(APPEND flags "-I${dir}")
  endforeach()
  foreach(source ${M_SOURCES})
    get_filename_component(stem ${source} NAME_WE)
    set(object ${CMAKE_CURRENT_BINARY_DIR}/msabi/${target}/${stem}.obj)
    add_custom_command(OUTPUT ${object}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/msabi/${target}
      COMMAND ${ORIN_CLANGXX} ${flags} -c ${source} -o ${object}
      DEPENDS ${source} ${M_DEPENDS} ${ORIN_PUBLIC_INCLUDE}/orinrobo/OrinRoboSdk.h
      COMMENT "Compiling ${stem}.cpp for ${ORIN_MSABI_TRIPLE} (${target})" VERBATIM)
    list(APPEND objects ${object})
  endforeach()
  set(libs "")
  foreach(lib ${M_LIBS})
    list(APPEND libs ${ORIN_MSABI_IMPORT_DIR}/lib${lib}.a)
  endforeach()
  if(kind STREQUAL "DLL")
    set(link_kind /dll)
  else()
    set(link_kind /subsystem:console)
  endif()
  get_filename_component(out_dir ${M_OUTPUT} DIRECTORY)
  add_custom_command(OUTPUT ${M_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
    COMMAND ${ORIN_LLD_LINK} /nologo ${link_kind} /nodefaultlib /entry:${M_ENTRY} ${ORIN_MSABI_LINK_FLAGS}
            /out:${M_OUTPUT} ${objects} ${libs}
    DEPENDS ${objects}
    COMMENT "Linking ${M_OUTPUT} with lld-link" VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${M_OUTPUT})
endfunction()
