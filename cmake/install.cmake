# Installing and packaging on Linux. `cmake --install` lays out the program, its baked pictures, a
# desktop entry and an icon; CPack packs the same tree as a .deb and a .tar.gz.
#
# The folders are fixed rather than configurable: the program finds its pictures from its own file,
# at <its folder>/../share/cardbattle/asset, so bin/ and share/ must stay side by side (an unpacked
# archive works the same way).
if(WIN32 OR EMSCRIPTEN)
  # windows/CMakeLists.txt lays out what the zip holds, for its installer; web/ the page's folder.
  return()
endif()
install(TARGETS cardbattle RUNTIME DESTINATION bin)
install(DIRECTORY ${CMAKE_BINARY_DIR}/asset/ DESTINATION share/cardbattle/asset)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION share/doc/cardbattle)

install(FILES ${CMAKE_SOURCE_DIR}/dist/cardbattle.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/dist/cardbattle.svg DESTINATION share/icons/hicolor/scalable/apps)
# The README shows the battle screen from docs/ beside it.
install(FILES ${CMAKE_SOURCE_DIR}/docs/battle.png DESTINATION share/doc/cardbattle/docs)
# and links the pages under docs/.
file(GLOB doc_pages ${CMAKE_SOURCE_DIR}/docs/*.md)
install(FILES ${doc_pages} DESTINATION share/doc/cardbattle/docs)
include(${CMAKE_CURRENT_LIST_DIR}/documents.cmake)

set(CPACK_GENERATOR DEB TGZ)
set(CPACK_PACKAGE_NAME cardbattle)
set(CPACK_PACKAGE_CONTACT "${CARDBATTLE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "single-player card battle game against the computer")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Your hero and your hand of cards face a computer opponent across a board of\n"
  "minions. A small settings screen in the terminal chooses the window size;\n"
  "the game is played with the mouse and the space key.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/deb_layout.cmake)
# The shared libraries the program links are found by dpkg-shlibdeps; the text needs a Chinese
# face, which fontconfig finds when the game's own is not installed.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei")
include(CPack)
