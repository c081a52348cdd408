# Our own code builds with warnings as errors; third-party headers stay outside this.
# GCC 12 reports -Wrestrict for std::string concatenation inlined at -O2 and above
# (a known false positive of its string library); it stays a warning, not an error.
function(setuvia_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-error=restrict)
  endif()
endfunction()
