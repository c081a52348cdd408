# Our own code builds with warnings as errors; third-party headers stay outside this.
function(setuvia_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
