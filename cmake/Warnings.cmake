# Our own targets build with these warnings; third-party headers come in as
# system includes through their imported targets and stay quiet.
function(ravelmoor_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor
                                           -Woverloaded-virtual -Wimplicit-fallthrough)
  # GCC 12 at -O3 reports -Wrestrict inside std::string's operator+ for code
  # that cannot overlap (GCC bug 105329); later compilers do not.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
endfunction()
