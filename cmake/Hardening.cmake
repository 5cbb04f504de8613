# The program is built hardened, with the flags Debian builds its own packages
# with (dpkg-buildflags, hardening=+all): stack protector, fortified library
# calls, a position-independent executable, and read-only relocations bound
# at start. Test code, built at -O0, gets none of it (_FORTIFY_SOURCE needs
# optimisation), nor do the sanitizer and fuzz builds, whose instrumentation
# does the same checks.
function(ravelmoor_hardening target)
  if(RAVELMOOR_SANITIZE OR RAVELMOOR_FUZZ)
    return()
  endif()
  target_compile_options(${target} PRIVATE -fstack-protector-strong -fstack-clash-protection
                                           -fcf-protection)
  target_compile_definitions(${target} PRIVATE $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    target_link_options(${target} PRIVATE -pie -Wl,-z,relro -Wl,-z,now)
  endif()
endfunction()
