# The browser build (Emscripten), configured by scripts/web.sh with emcmake beside a build of the
# project for this machine, whose tools it runs (CARDBATTLE_HOST_BUILD): the literal rewriting, the
# English table and the pictures' key step. What is the same as on the other systems (the core
# library, the game, the test programs) comes from the main CMakeLists.txt; here is what only the
# browser needs.
set(CARDBATTLE_HOST_BUILD "" CACHE PATH "A build of this project for the build machine, whose tools rewrite the literals and bake the pictures")
set(REWRITE_LITERALS ${CARDBATTLE_HOST_BUILD}/tools/rewrite_literals)
if(NOT EXISTS ${REWRITE_LITERALS})
  message(FATAL_ERROR "The browser build compiles through the build machine's rewrite_literals: build it first "
                      "(cmake --build build --target rewrite_literals art_key po_table gbk_table) and pass -DCARDBATTLE_HOST_BUILD=build")
endif()

# Game text is GBK, and clang can only be told UTF-8: every C++ source is compiled through the
# launcher that rewrites its non-ASCII literals as escapes of their GBK bytes (tools/).
set(CMAKE_CXX_COMPILER_LAUNCHER ${REWRITE_LITERALS} --compile)
# The launcher leaves the preprocessor's options out of the second step, so they must be seen.
set(CMAKE_CXX_USE_RESPONSE_FILE_FOR_INCLUDES OFF)
# Exceptions are caught as on the other systems (the catalogue's memory limits, the tests' scripted
# window close): without -fexceptions a throw would end the program. (WebAssembly's own exceptions
# would be quicker, but this Emscripten's Asyncify, which the game's waiting needs, refuses them.)
# Bulk memory makes every block copy one instruction: without it each copy of a picture's row is a
# call into the C library, or out to JavaScript when it is long, which made a frame twice as slow.
add_compile_options(-Wall -Wextra -fexceptions -mbulk-memory)
add_link_options(-fexceptions -mbulk-memory)

# GoogleTest from the sources Debian ships (googletest), built with em++ in its own way: without
# threads, and its own text left as it is.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set_target_properties(gtest gtest_main gmock gmock_main PROPERTIES CXX_COMPILER_LAUNCHER "")
