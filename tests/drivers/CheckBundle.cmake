# Installs the build into a scratch prefix and checks the bundle's layout.
# cmake -DBUILD_DIRS="<build>;..." -DPREFIX=<scratch> -DEXPECT="a;b;..." [-DABSENT="c;..."]
#       -P CheckBundle.cmake
# Several build folders (both flavours) are installed into the one prefix, in the order given.
file(REMOVE_RECURSE ${PREFIX})
foreach(build ${BUILD_DIRS})
  execute_process(COMMAND ${CMAKE_COMMAND} --install ${build} --prefix ${PREFIX}
                  RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install ${build} failed: ${errors}")
  endif()
endforeach()
set(missing "")
foreach(item ${EXPECT})
  if(NOT EXISTS ${PREFIX}/${item})
    list(APPEND missing ${item})
  endif()
endforeach()
# Test-only libraries and test programs stay out of the bundle, and so does what this flavour
# leaves to the other one.
file(GLOB_RECURSE stray RELATIVE ${PREFIX} ${PREFIX}/*test*.exe ${PREFIX}/drivers/ORFILE.DLL ${PREFIX}/testdrivers/*)
foreach(item ${ABSENT})
  if(EXISTS ${PREFIX}/${item})
    list(APPEND stray ${item})
  endif()
endforeach()
file(REMOVE_RECURSE ${PREFIX})
if(missing OR stray)
  message(FATAL_ERROR "bundle layout: missing [${missing}], unexpected [${stray}]")
endif()
message(STATUS "bundle layout as expected")
