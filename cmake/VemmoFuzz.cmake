# libFuzzer builds: every library instrumented for coverage and checked by
# AddressSanitizer and UBSan; the targets in fuzz/ add the fuzzer's main.
option(VEMMO_FUZZ "Build the libFuzzer targets in fuzz/ (clang only)" OFF)
if(VEMMO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "VEMMO_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  if(NOT VEMMO_SANITIZE STREQUAL "")
    message(FATAL_ERROR "VEMMO_FUZZ brings its own sanitizers: leave VEMMO_SANITIZE empty")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
