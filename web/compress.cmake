# Run by the build (cmake -P) on the page's folder: a compressed copy beside each large file that
# compresses well (<file>.gz, and <file>.br where Brotli is given), for servers that send such a
# copy to a browser that takes it (docs/web.md says how common hosts do).
#   cmake -DFOLDER=<page folder> -DGZIP=<gzip> [-DBROTLI=<brotli>] -P compress.cmake
set(SMALLEST 1024) # bytes: below this a compressed copy saves nothing worth a file
file(GLOB_RECURSE files LIST_DIRECTORIES false ${FOLDER}/*.js ${FOLDER}/*.wasm ${FOLDER}/*.css ${FOLDER}/*.html
     ${FOLDER}/*.svg ${FOLDER}/*.webmanifest)
foreach(file ${files})
  file(SIZE ${file} bytes)
  if(bytes LESS SMALLEST)
    continue()
  endif()
  execute_process(COMMAND ${GZIP} -9 --no-name --keep --force ${file} COMMAND_ERROR_IS_FATAL ANY)
  if(BROTLI)
    execute_process(COMMAND ${BROTLI} --best --keep --force ${file} COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
