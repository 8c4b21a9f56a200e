# The release bundle, laid out by `cmake --install <build> [--prefix <folder>]`:
#
#   OrinRobo.dll              the plug-in a host application loads
#   orinhost.exe              command-line host: catalogue, create, configure, firmware check
#   drivers/                  sample robot drivers ORSAMPLE1/3/4/5.DLL (orinhost's default folder)
#   Pickwell.exe              the robot station
#   pickwell-send.exe         gives the station one command
#   Pickwell-Setup-<v>.msi    the station PC's installer (station, sender, optional simulator)
#   simulator/                robot-control library simulator VTROBOTS20.DLL and its INI file
#   include/                  public headers (orinrobo/OrinRoboSdk.h for hosts and driver writers)
#   samples/driver-template/  a driver library that builds on its own from the bundle
#   samples/host/             a host program that loads the plug-in, built the same way
#   samples/toolchains/       CMake toolchain files for cross builds of the two samples
#   README.md                 the bundle's README for Windows users (dist/README.md)
#   docs/                     the notes per area
#   x64/                      the 64-bit flavour's OrinRobo.dll, orinhost.exe and drivers/, for
#                             64-bit hosts (installed from the win64 build into the same prefix)
#
# The station ships in the 32-bit flavour only: the robot-control library it links is a 32-bit
# library. Its 64-bit build exists for the tests.
#
# Without --prefix the bundle goes to <build>/dist.
# CMake's own default (/usr/local, or C:/Program Files for a Windows target) makes no sense for
# a cross-built bundle; it is replaced once, and a prefix chosen on purpose is kept.
if(NOT ORIN_BUNDLE_PREFIX_CHECKED)
  if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT OR CMAKE_INSTALL_PREFIX MATCHES "^(/usr/local|[A-Za-z]:/Program Files)")
    set(CMAKE_INSTALL_PREFIX ${CMAKE_BINARY_DIR}/dist CACHE PATH "Where cmake --install lays out the bundle" FORCE)
  endif()
  set(ORIN_BUNDLE_PREFIX_CHECKED ON CACHE INTERNAL "")
endif()

if(ORIN_FLAVOUR STREQUAL "win64")
  set(orin_bin_dest x64)
else()
  set(orin_bin_dest .)
endif()
install(TARGETS OrinRobo RUNTIME DESTINATION ${orin_bin_dest} LIBRARY DESTINATION ${orin_bin_dest})
if(TARGET orinhost)
  install(TARGETS orinhost RUNTIME DESTINATION ${orin_bin_dest})
endif()
foreach(driver ${ORIN_SAMPLE_DRIVERS})
  install(TARGETS ${driver} RUNTIME DESTINATION ${orin_bin_dest}/drivers LIBRARY DESTINATION ${orin_bin_dest}/drivers)
endforeach()

# The station, its sender and the simulator: 32-bit flavour only.
if(NOT ORIN_FLAVOUR STREQUAL "win64")
  if(TARGET Pickwell)
    install(TARGETS Pickwell RUNTIME DESTINATION .)
  endif()
  if(TARGET pickwell_send)
    install(TARGETS pickwell_send RUNTIME DESTINATION .)
  endif()
  if(TARGET vtrobots_sim)
    install(TARGETS vtrobots_sim RUNTIME DESTINATION simulator LIBRARY DESTINATION simulator)
    install(FILES ${CMAKE_SOURCE_DIR}/samples/vtrobots-sim/VTROBOTS20.INI DESTINATION simulator OPTIONAL)
  endif()
  if(TARGET station_installer)
    install(FILES ${ORIN_STATION_INSTALLER} DESTINATION .)
  endif()
endif()

# Shared by both flavours (installing both into one prefix writes the same files twice).

install(DIRECTORY ${CMAKE_SOURCE_DIR}/include/ DESTINATION include FILES_MATCHING PATTERN "*.h" PATTERN "*.def")
# The samples build on their own; the sample drivers of samples/drivers serve the tests and stay
# in the repository.
foreach(sample driver-template host toolchains)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/samples/${sample}/ DESTINATION samples/${sample}
          FILES_MATCHING PATTERN "*.cpp" PATTERN "*.cmake" PATTERN "CMakeLists.txt")
endforeach()
if(EXISTS ${CMAKE_SOURCE_DIR}/docs)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION docs FILES_MATCHING PATTERN "*.md" PATTERN "*.png")
endif()
# The repository's README speaks to its developers; the bundle has its own.
install(FILES ${CMAKE_SOURCE_DIR}/dist/README.md DESTINATION .)
