# Run by the build (cmake -P) on the page's folder once it holds every file: tells the page the
# program's sizes (its progress counts against them, however the server compresses the files) and
# writes the service worker (sw.js, from sw.js.in) with the list of the folder's files and a
# version made from their contents.
#   cmake -DFOLDER=<page folder> -DPROGRAM=<name> -DTEMPLATE=<sw.js.in> -P offline.cmake
foreach(variable FOLDER PROGRAM TEMPLATE)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "offline.cmake needs -D${variable}=...")
  endif()
endforeach()

set(sizes)
foreach(file ${PROGRAM}.wasm ${PROGRAM}.data)
  file(SIZE ${FOLDER}/${file} bytes)
  list(APPEND sizes "${file}:${bytes}")
endforeach()
list(JOIN sizes " " sizes)
file(READ ${FOLDER}/index.html page)
string(REPLACE "data-sizes=\"\"" "data-sizes=\"${sizes}\"" page "${page}")
file(WRITE ${FOLDER}/index.html "${page}")

# Every file but the service worker itself and the compressed copies a server may send instead.
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${FOLDER} ${FOLDER}/*)
list(FILTER files EXCLUDE REGEX "^sw\\.js$|\\.(gz|br)$")
list(SORT files)
set(contents)
set(list)
foreach(file ${files})
  file(SHA256 ${FOLDER}/${file} hash)
  string(APPEND contents "${file} ${hash}\n")
  list(APPEND list "  '${file}'")
endforeach()
string(SHA256 VERSION "${contents}")
string(SUBSTRING ${VERSION} 0 16 VERSION)
list(JOIN list ",\n" FILES)
set(FILES "[\n${FILES},\n]")
configure_file(${TEMPLATE} ${FOLDER}/sw.js @ONLY)
