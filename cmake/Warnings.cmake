# Warning set shared by every target of ours. Conversions are warned about because the ghost arithmetic
# depends on exactly where values narrow from double to float and from float to int.
function(lumaro_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
  if(LUMARO_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
