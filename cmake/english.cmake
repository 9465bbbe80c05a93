# English: po/en.po becomes a table compiled into the program, so that no file is read at run time
# (the zip and the browser build stay one folder). A small tool of the build machine makes it, as
# art_key bakes the pictures; a cross build takes that tool from a build for the build machine.
set(PO_CATALOGUE ${CMAKE_SOURCE_DIR}/po/en.po)
set(ENGLISH_TABLE ${CMAKE_BINARY_DIR}/generated/english_table.cpp)

if(CMAKE_CROSSCOMPILING)
  set(PO_TABLE ${CARDBATTLE_HOST_BUILD}/po_table)
  if(NOT EXISTS ${PO_TABLE})
    message(FATAL_ERROR "A cross build makes its English table with the build machine's po_table: build it first "
                        "(cmake --build build --target po_table) and pass -DCARDBATTLE_HOST_BUILD=build")
  endif()
else()
  # The tool converts the catalogue's UTF-8 to GBK with the platform's own conversion, compiled into
  # it alone: it cannot link the game's library, which the table it makes is part of.
  set(HOST_TEXT_CONVERSION ${CMAKE_SOURCE_DIR}/src/platform/linux/text.cpp)
  add_executable(po_table ${CMAKE_SOURCE_DIR}/tools/po_table.cpp ${HOST_TEXT_CONVERSION})
  target_include_directories(po_table PRIVATE ${CMAKE_SOURCE_DIR}/src)
  set(PO_TABLE po_table)
endif()

add_custom_command(
  OUTPUT ${ENGLISH_TABLE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND ${PO_TABLE} ${PO_CATALOGUE} ${ENGLISH_TABLE}
  DEPENDS ${PO_TABLE} ${PO_CATALOGUE}
  COMMENT "Making the English table from po/en.po"
  VERBATIM)
target_sources(cardbattle_core PRIVATE ${ENGLISH_TABLE})
