# Cross-builds ciphers.exe for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-win64 --toolchain cmake/mingw-w64-x86_64.cmake
# Where wine64 is installed, the tests run ciphers.exe through it.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triplet}-g++-posix)

# Headers and libraries come from the MinGW-w64 tree only; programs run at build time from the
# host.
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libstdc++, libgcc and winpthread linked in: ciphers.exe needs no DLL beside it, only those of
# Windows itself.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# wine64 runs the tests, quietly, without the Mono and Gecko installers, in a prefix of the build
# directory's own, created at its first start.
find_program(CIPHERS_WINE64 wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(CIPHERS_WINE64 wine64)
if(CIPHERS_WINE64)
  set(CIPHERS_WINE_ENV env -u DISPLAY WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
                       WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CIPHERS_WINE_ENV} ${CIPHERS_WINE64})
endif()
