# Project-wide compiler settings: warnings, exact floating point, sanitizers.

# The fractal arithmetic must round identically on every compiler, so no
# fused multiply-add contraction anywhere, and never fast-math.
add_compile_options(-ffp-contract=off -fno-fast-math)

if(VEMMO_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(VEMMO_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT VEMMO_SANITIZE STREQUAL "")
  message(FATAL_ERROR "VEMMO_SANITIZE must be empty, 'address' or 'thread'")
endif()

function(vemmo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
endfunction()
