# Our own code builds with warnings as errors; third-party headers stay outside this.
# GCC 12 reports -Wrestrict and -Warray-bounds inside std::string and std::vector code inlined
# at -O2 and above (known false positives of its library headers); they stay warnings.
function(setuvia_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-error=restrict -Wno-error=array-bounds)
  endif()
endfunction()
