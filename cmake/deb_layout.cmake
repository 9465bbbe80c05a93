# Run by CPack on the staged files before it packs them. Debian keeps games in /usr/games, so the
# .deb moves the program there; the program finds its pictures in ../share/cardbattle/asset from
# either folder, and the .tar.gz keeps bin/ as cmake --install lays it out.
if(CPACK_GENERATOR STREQUAL "DEB")
  file(GLOB staged_programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/cardbattle"
                            "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/usr/bin/cardbattle")
  foreach(program IN LISTS staged_programs)
    get_filename_component(usr "${program}/../.." ABSOLUTE)
    file(MAKE_DIRECTORY "${usr}/games")
    file(RENAME "${program}" "${usr}/games/cardbattle")
    file(GLOB left "${usr}/bin/*")
    if(NOT left)
      file(REMOVE_RECURSE "${usr}/bin")
    endif()
  endforeach()
endif()
