# Installs the build into a scratch prefix and checks the bundle's layout.
# cmake -DBUILD_DIR=<build> -DPREFIX=<scratch> -DEXPECT="a;b;..." -P CheckBundle.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${errors}")
endif()
set(missing "")
foreach(item ${EXPECT})
  if(NOT EXISTS ${PREFIX}/${item})
    list(APPEND missing ${item})
  endif()
endforeach()
# Test-only libraries and test programs stay out of the bundle.
file(GLOB_RECURSE stray RELATIVE ${PREFIX} ${PREFIX}/*test*.exe ${PREFIX}/drivers/ORFILE.DLL ${PREFIX}/testdrivers/*)
file(REMOVE_RECURSE ${PREFIX})
if(missing OR stray)
  message(FATAL_ERROR "bundle layout: missing [${missing}], unexpected [${stray}]")
endif()
message(STATUS "bundle layout as expected")
