# Fails when BINARY needs a library of the display, OpenGL or font
# rasterising: a batch tool must run on a machine without them.
#   cmake -DBINARY=path/to/program -P CheckNoDisplayLibraries.cmake
execute_process(COMMAND ldd ${BINARY} OUTPUT_VARIABLE libraries RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ldd ${BINARY} failed")
endif()
string(REGEX MATCHALL "lib(SDL2|freetype|GL|OpenGL|EGL|X11|xcb|wayland)[^ \t\n]*" found
       "${libraries}")
if(found)
  list(REMOVE_DUPLICATES found)
  message(FATAL_ERROR "${BINARY} needs ${found}")
endif()
message(STATUS "${BINARY} needs no display, GL or font library")
