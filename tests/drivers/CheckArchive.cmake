# The release archive as a driver writer and a host vendor meet it: install the build(s), pack the
# archive, extract it into an empty folder and, from there alone, build the driver template and the
# sample host with both toolchains of this flavour; `orinhost check` passes each built driver and
# each sample host lists and uses the other toolchain's driver through the bundled plug-in.
# cmake -DBUILD_DIRS="<build>;..." -DWORK=<scratch> -DSOURCE_DIR=<repository> -DARCH=win32|x64
#       -DRUN=<wine-run.sh> [-DKEEP=ON] -P CheckArchive.cmake      (KEEP leaves <scratch> for a look)
function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out ${run_options})
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${what} failed (${result}):\n${out}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

# Built as a user builds them: no compiler launcher from the developer's shell (ccache does not
# handle clang-cl's try-compile objects).
unset(ENV{CMAKE_CXX_COMPILER_LAUNCHER})
unset(ENV{CMAKE_C_COMPILER_LAUNCHER})

file(REMOVE_RECURSE ${WORK})
foreach(build ${BUILD_DIRS})
  run("cmake --install ${build}" ${CMAKE_COMMAND} --install ${build} --prefix ${WORK}/bundle)
endforeach()
run("packing the archive" ${CMAKE_COMMAND} -DBUNDLE=${WORK}/bundle -P ${SOURCE_DIR}/cmake/Archive.cmake)
file(REMOVE_RECURSE ${WORK}/bundle)
file(GLOB archive ${WORK}/OrinRobo-*.zip)
if(NOT archive MATCHES "/OrinRobo-[0-9.]+[0-9]\\.zip$")
  message(FATAL_ERROR "expected one OrinRobo-<version>.zip beside the bundle, found [${archive}]")
endif()

# Nothing but the archive's content in the folder the samples are built from.
file(MAKE_DIRECTORY ${WORK}/extract)
set(run_options WORKING_DIRECTORY ${WORK}/extract)
run("extracting the archive" ${CMAKE_COMMAND} -E tar xf ${archive})
set(run_options "")
file(GLOB root LIST_DIRECTORIES true ${WORK}/extract/*)
list(LENGTH root folders)
if(NOT folders EQUAL 1 OR NOT root MATCHES "/OrinRobo-[0-9.]+$")
  message(FATAL_ERROR "the archive should hold one folder OrinRobo-<version>, not [${root}]")
endif()

file(STRINGS ${root}/SHA256SUMS.txt sums)
list(LENGTH sums listed)
file(GLOB_RECURSE present RELATIVE ${root} ${root}/*)
list(REMOVE_ITEM present SHA256SUMS.txt)
list(LENGTH present files)
if(NOT files EQUAL listed)
  message(FATAL_ERROR "SHA256SUMS.txt lists ${listed} files, the archive holds ${files} besides it")
endif()
foreach(line ${sums})
  string(REGEX MATCH "^([0-9a-f]+)  (.+)$" _ "${line}")
  file(SHA256 ${root}/${CMAKE_MATCH_2} hash)
  if(NOT hash STREQUAL CMAKE_MATCH_1)
    message(FATAL_ERROR "SHA256SUMS.txt: ${CMAKE_MATCH_2} does not match")
  endif()
endforeach()

if(ARCH STREQUAL "x64")
  set(bin ${root}/x64)
else()
  set(bin ${root})
endif()
set(toolchains clang-cl mingw)
foreach(tc ${toolchains})
  foreach(sample driver-template host)
    set(dir ${WORK}/build/${tc}/${sample})
    run("configuring ${sample} with ${ARCH}-${tc}" ${CMAKE_COMMAND} -S ${root}/samples/${sample} -B ${dir}
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=${root}/samples/toolchains/${ARCH}-${tc}.cmake)
    run("building ${sample} with ${ARCH}-${tc}" ${CMAKE_COMMAND} --build ${dir})
  endforeach()
  # Exit code 0: everything its interface version requires is there, and every call returned.
  run("orinhost check of the ${tc} driver" ${RUN} ${bin}/orinhost.exe check ${WORK}/build/${tc}/driver-template/ORTEMPLATE.DLL)
endforeach()

# A host vendor's program folder: a sample host, the bundled plug-in and a drivers/ folder with the
# other toolchain's driver.
foreach(pair "clang-cl;mingw" "mingw;clang-cl")
  list(GET pair 0 host_tc)
  list(GET pair 1 driver_tc)
  set(app ${WORK}/app-${host_tc})
  file(COPY ${WORK}/build/${host_tc}/host/SampleHost.exe ${bin}/OrinRobo.dll DESTINATION ${app})
  file(COPY ${WORK}/build/${driver_tc}/driver-template/ORTEMPLATE.DLL DESTINATION ${app}/drivers)
  run("the ${host_tc} sample host" ${RUN} ${app}/SampleHost.exe)
  if(NOT out MATCHES "1 driver\\(s\\).*Template Robot.*driver destroyed.*firmware check destroyed")
    message(FATAL_ERROR "the ${host_tc} sample host did not list and use the ${driver_tc} template driver:\n${out}")
  endif()
  message(STATUS "${host_tc} sample host, ${driver_tc} driver:\n${out}")
endforeach()
if(NOT KEEP)
  file(REMOVE_RECURSE ${WORK})
endif()
message(STATUS "archive extracted, samples built with ${toolchains}, driver checked, host ran")
