# The hardening Debian builds its packages with, as the interface library ciphers_hardening:
# a position-independent executable, a read-only relocation table bound at start-up
# (-z relro, -z now), checked variants of the C library's buffer functions (_FORTIFY_SOURCE=2)
# and stack canaries (-fstack-protector-strong). Link it to the executable and to the static
# library it is made of, so that all of the shipped code gets it.

add_library(ciphers_hardening INTERFACE)

# WebAssembly has none of these: its code and stack lie outside the memory a program can address.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang" AND NOT EMSCRIPTEN)
  # On the link line too: where the C library has no canary support of its own (MinGW), the
  # compiler driver then links libssp.
  target_compile_options(ciphers_hardening INTERFACE -fstack-protector-strong)
  target_link_options(ciphers_hardening INTERFACE -fstack-protector-strong)

  # Fortification works only in optimised code: at -O0 glibc warns and does nothing. It is left
  # out of sanitized builds, whose own checks of the same calls it would bypass, and left to
  # the caller when the flags already choose a level of their own.
  if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize|_FORTIFY_SOURCE" AND NOT CIPHERS_FUZZ)
    target_compile_definitions(
      ciphers_hardening INTERFACE $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
  endif()

  # Position independence and read-only relocations are ELF features. The library is compiled
  # with -fPIE rather than the -fPIC CMake gives position-independent static libraries: it only
  # ever goes into an executable, and -fPIC would make its calls interposable and slower.
  if(CMAKE_EXECUTABLE_FORMAT STREQUAL "ELF")
    target_compile_options(ciphers_hardening INTERFACE -fPIE)
    target_link_options(ciphers_hardening INTERFACE -pie LINKER:-z,relro LINKER:-z,now)
  endif()
endif()
