# Our own targets build with these warnings; third-party headers come in as
# system includes through their imported targets and stay quiet.
function(ravelmoor_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor
                                           -Woverloaded-virtual -Wimplicit-fallthrough)
endfunction()
