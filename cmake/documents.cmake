# What a Linux player and a Debian system expect beside the program: the manual page (section 6,
# games), the software-centre entry (AppStream), and the package's copyright and changelog. The
# version and its date come from the project; pages are compressed as Debian's policy asks.

# The software-centre entry's id: the reverse of a domain name the project keeps, never to change
# once published. Its screenshot is docs/battle.png, shown from where the project publishes docs/
# on the web (the entry must give a web address).
set(CARDBATTLE_APP_ID org.cardbattle.cardbattle)
set(CARDBATTLE_DOCS_URL "https://cardbattle.org/docs" CACHE STRING "Where the project publishes docs/ on the web")
set(CARDBATTLE_SCREENSHOT ${CARDBATTLE_DOCS_URL}/battle.png)
# The project has no mail address yet: the placeholder is on the reserved .invalid domain, so that
# nobody writes to a stranger; a release names the real one.
set(CARDBATTLE_MAINTAINER "cardbattle developers <developers@cardbattle.invalid>" CACHE STRING
    "The package maintainer, as Name <address>")

# The changelog's date in the form Debian's changelog wants (RFC 5322, weekday included).
execute_process(COMMAND date -u -R -d "${CARDBATTLE_RELEASE_DATE}" OUTPUT_VARIABLE CARDBATTLE_RELEASE_DAY
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

set(documents ${CMAKE_BINARY_DIR}/dist)
set(metainfo ${documents}/${CARDBATTLE_APP_ID}.metainfo.xml)
configure_file(${CMAKE_SOURCE_DIR}/dist/cardbattle.6.in ${documents}/cardbattle.6 @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/dist/changelog.in ${documents}/changelog @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/dist/metainfo.xml.in ${metainfo} @ONLY)

# gzip -9n: the smallest, with no file name or time inside, so that two builds give the same bytes.
find_program(GZIP gzip REQUIRED)
set(compressed)
foreach(file cardbattle.6 changelog)
  add_custom_command(OUTPUT ${documents}/${file}.gz
                     COMMAND ${GZIP} -9nkf ${documents}/${file}
                     DEPENDS ${documents}/${file}
                     COMMENT "Compressing ${file}"
                     VERBATIM)
  list(APPEND compressed ${documents}/${file}.gz)
endforeach()
add_custom_target(documents ALL DEPENDS ${compressed})

install(FILES ${documents}/cardbattle.6.gz DESTINATION share/man/man6)
install(FILES ${metainfo} DESTINATION share/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/dist/copyright ${documents}/changelog.gz DESTINATION share/doc/cardbattle)
