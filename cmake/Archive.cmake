# Packs a laid-out release bundle into the one archive that is handed out:
#
#   cmake -DBUNDLE=out/OrinRobo-bundle [-DOUTPUT=<file.zip>] [-DVERSION=<x.y>] -P cmake/Archive.cmake
#
# The zip holds one folder, OrinRobo-<version>/: the bundle and SHA256SUMS.txt, the SHA-256 of
# every other file in it (sha256sum's format, so `sha256sum -c SHA256SUMS.txt` checks an extracted
# copy; on Windows `certutil -hashfile <file> SHA256` shows one). VERSION defaults to the project
# version in the top-level CMakeLists.txt, OUTPUT to OrinRobo-<version>.zip beside the bundle.
# Only CMake is needed: `cmake -E tar --format=zip` writes the archive.
if(NOT BUNDLE OR NOT EXISTS "${BUNDLE}/include/orinrobo/OrinRoboSdk.h")
  message(FATAL_ERROR "BUNDLE=${BUNDLE} is not a laid-out bundle (cmake --install <build> --prefix <folder>)")
endif()
get_filename_component(BUNDLE "${BUNDLE}" ABSOLUTE)

if(NOT VERSION)
  file(STRINGS "${CMAKE_CURRENT_LIST_DIR}/../CMakeLists.txt" project_line REGEX "^project\\(OrinRobo VERSION")
  string(REGEX MATCH "VERSION ([0-9.]+)" _ "${project_line}")
  set(VERSION "${CMAKE_MATCH_1}")
  if(NOT VERSION)
    message(FATAL_ERROR "no project version found; pass -DVERSION=<x.y>")
  endif()
endif()
set(name OrinRobo-${VERSION})
if(NOT OUTPUT)
  get_filename_component(parent "${BUNDLE}" DIRECTORY)
  set(OUTPUT "${parent}/${name}.zip")
endif()
get_filename_component(OUTPUT "${OUTPUT}" ABSOLUTE)

# The archive's one folder is staged beside the output, so the bundle itself stays as it was.
set(staging "${OUTPUT}.staging")
file(REMOVE_RECURSE "${staging}")
file(MAKE_DIRECTORY "${staging}")
file(COPY "${BUNDLE}/" DESTINATION "${staging}/${name}")

file(GLOB_RECURSE files RELATIVE "${staging}/${name}" "${staging}/${name}/*")
list(REMOVE_ITEM files SHA256SUMS.txt)
list(SORT files)
set(sums "")
foreach(file ${files})
  file(SHA256 "${staging}/${name}/${file}" hash)
  string(APPEND sums "${hash}  ${file}\n")
endforeach()
file(WRITE "${staging}/${name}/SHA256SUMS.txt" "${sums}")

file(REMOVE "${OUTPUT}")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf "${OUTPUT}" --format=zip "${name}"
                WORKING_DIRECTORY "${staging}" RESULT_VARIABLE result)
file(REMOVE_RECURSE "${staging}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "writing ${OUTPUT} failed")
endif()
list(LENGTH files count)
message(STATUS "${OUTPUT}: ${name}/ with ${count} files and SHA256SUMS.txt")
