# The robot-control library's export list for this flavour. The contract's .def spells the
# 32-bit stdcall names with their @n argument sizes; x64 has one calling convention and no
# decoration, so the 64-bit flavour uses the same list with the suffixes taken off.
set(ORIN_VTROBOTS_DEF_SOURCE ${CMAKE_SOURCE_DIR}/include/vtrobots/VTROBOTS20.def)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  file(READ ${ORIN_VTROBOTS_DEF_SOURCE} orin_vtrobots_def_text)
  string(REGEX REPLACE "(VT_Robots_[A-Za-z]+)@[0-9]+" "\\1" orin_vtrobots_def_text "${orin_vtrobots_def_text}")
  set(ORIN_VTROBOTS_DEF ${CMAKE_BINARY_DIR}/generated/VTROBOTS20.def)
  file(WRITE ${ORIN_VTROBOTS_DEF}.in "${orin_vtrobots_def_text}")
  configure_file(${ORIN_VTROBOTS_DEF}.in ${ORIN_VTROBOTS_DEF} COPYONLY)
  set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ORIN_VTROBOTS_DEF_SOURCE})
else()
  set(ORIN_VTROBOTS_DEF ${ORIN_VTROBOTS_DEF_SOURCE})
endif()
