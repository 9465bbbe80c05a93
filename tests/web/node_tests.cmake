# The browser build's test programs run under Node, one test each (as the Windows suite runs one
# program per test under Wine), with the machine's own files (NODERAWFS) and a stand-in for the
# page (node_page.js): the program's glue (web/glue.js) is the game's own, the glyphs are drawn by
# the page's own code (web/glyphs.js) on a canvas library for Node (npm, pinned), and the tests
# drive the stand-in through node_page_hooks.js.
find_program(NODE node REQUIRED)
set(NODE_PAGE ${CMAKE_CURRENT_LIST_DIR}/node_page.js)
set(NODE_PAGE_HOOKS ${CMAKE_CURRENT_LIST_DIR}/node_page_hooks.js)
if(NOT EXISTS ${CMAKE_SOURCE_DIR}/node_modules/@napi-rs/canvas/package.json)
  message(FATAL_ERROR "The tests under Node draw text with @napi-rs/canvas: run npm ci in ${CMAKE_SOURCE_DIR} (scripts/web.sh does)")
endif()

function(web_test target)
  cmake_parse_arguments(TEST "" "" "LEFT_OUT" ${ARGN})
  target_link_options(${target} PRIVATE -sENVIRONMENT=node -sNODERAWFS=1 -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1
                      -sWASM_ASYNC_COMPILATION=0 "SHELL:--js-library ${PAGE_GLUE}" "SHELL:--js-library ${NODE_PAGE_HOOKS}"
                      "SHELL:--pre-js ${NODE_PAGE}")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${PAGE_GLUE} ${NODE_PAGE_HOOKS} ${NODE_PAGE})
  add_dependencies(${target} web_font)
  set(filter)
  if(TEST_LEFT_OUT)
    list(JOIN TEST_LEFT_OUT ":" left_out)
    set(filter --gtest_filter=-${left_out})
  endif()
  string(REGEX REPLACE "^test_" "web_" name ${target})
  add_test(NAME ${name} COMMAND ${NODE} $<TARGET_FILE:${target}> --gtest_brief=1 ${filter}
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES LABELS web TIMEOUT 900
    ENVIRONMENT "NODE_PATH=${CMAKE_SOURCE_DIR}/node_modules;CARDBATTLE_WEB_FONT=${FONT_DIR}/cardbattle-text.woff2;CARDBATTLE_WEB_GLYPHS=${PAGE_DIR}/glyphs.js;CARDBATTLE_WEB_STORAGE=${PAGE_DIR}/storage.js")
endfunction()
