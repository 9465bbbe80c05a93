# The browser build's test programs run under Node, one test each (as the Windows suite runs one
# program per test under Wine), with the machine's own files (NODERAWFS) and a stand-in for the
# page (node_page.js): the program's glue (web/glue.js) is the game's own, the glyphs are drawn by
# the page's own code (web/glyphs.js) on a canvas library for Node (npm, pinned), in the whole face
# the page's web font is cut from (the tests draw characters the game does not), and the tests
# drive the stand-in through node_page_hooks.js.
find_program(NODE node REQUIRED)
set(NODE_PAGE ${CMAKE_CURRENT_LIST_DIR}/node_page.js CACHE INTERNAL "")
set(NODE_PAGE_HOOKS ${CMAKE_CURRENT_LIST_DIR}/node_page_hooks.js CACHE INTERNAL "")
if(NOT EXISTS ${CMAKE_SOURCE_DIR}/node_modules/@napi-rs/canvas/package.json)
  message(FATAL_ERROR "The tests under Node draw text with @napi-rs/canvas: run npm ci in ${CMAKE_SOURCE_DIR} (scripts/web.sh does)")
endif()

# What a program for Node needs beside the game's code; it runs with NODE_ENVIRONMENT set.
function(web_node_program target)
  target_link_options(${target} PRIVATE -sENVIRONMENT=node -sNODERAWFS=1 -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1
                      -sWASM_ASYNC_COMPILATION=0 "SHELL:--js-library ${PAGE_GLUE}" "SHELL:--js-library ${NODE_PAGE_HOOKS}"
                      "SHELL:--pre-js ${NODE_PAGE}")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${PAGE_GLUE} ${NODE_PAGE_HOOKS} ${NODE_PAGE})
endfunction()
set(NODE_ENVIRONMENT "NODE_PATH=${CMAKE_SOURCE_DIR}/node_modules;CARDBATTLE_WEB_FONT=${FACE_FILE};CARDBATTLE_WEB_GLYPHS=${PAGE_DIR}/glyphs.js;CARDBATTLE_WEB_STORAGE=${PAGE_DIR}/storage.js" CACHE INTERNAL "")

# A test program under Node, less the cases LEFT_OUT names (GoogleTest patterns).
function(web_test target)
  cmake_parse_arguments(TEST "" "" "LEFT_OUT" ${ARGN})
  web_node_program(${target})
  set(filter)
  if(TEST_LEFT_OUT)
    list(JOIN TEST_LEFT_OUT ":" left_out)
    set(filter --gtest_filter=-${left_out})
  endif()
  string(REGEX REPLACE "^test_" "web_" name ${target})
  add_test(NAME ${name} COMMAND ${NODE} $<TARGET_FILE:${target}> --gtest_brief=1 ${filter}
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES LABELS web TIMEOUT 900 ENVIRONMENT "${NODE_ENVIRONMENT}")
endfunction()
