# The browser build converts GBK through a table of the build machine's iconv (its own C library can
# only decode GBK): tools/gbk_table of the host build writes it into this build.
set(GBK_TABLE_TOOL ${CARDBATTLE_HOST_BUILD}/tools/gbk_table)
if(NOT EXISTS ${GBK_TABLE_TOOL})
  message(FATAL_ERROR "The browser build makes its GBK table with the build machine's gbk_table: build it first "
                      "(cmake --build build --target gbk_table) and pass -DCARDBATTLE_HOST_BUILD=build")
endif()
set(GBK_TABLE ${CMAKE_BINARY_DIR}/generated/gbk_table.cpp)
add_custom_command(
  OUTPUT ${GBK_TABLE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND ${GBK_TABLE_TOOL} ${GBK_TABLE}
  DEPENDS ${GBK_TABLE_TOOL}
  COMMENT "Making the GBK table from the build machine's iconv"
  VERBATIM)
target_sources(cardbattle_core PRIVATE ${GBK_TABLE})
