# What the Linux cross builds share; a toolchain file sets cross_triplet and cross_qemu (the
# name of the qemu-user program for its processor) and includes this file.
# Debian's cross compilers (g++-TRIPLET) build the program; the tests run it under qemu-user,
# with -L pointing at the target's C library, where qemu-user is installed.

set(CMAKE_SYSTEM_NAME Linux)

set(CMAKE_C_COMPILER ${cross_triplet}-gcc)
set(CMAKE_CXX_COMPILER ${cross_triplet}-g++)

# Headers and libraries come from the target's tree only; programs run at build time from the
# host.
set(cross_root /usr/${cross_triplet})
set(CMAKE_FIND_ROOT_PATH ${cross_root})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config looks only at the target's packages (Debian's multiarch folders), never the host's:
# without the target's Readline, line editing is off.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${cross_triplet}/pkgconfig:/usr/share/pkgconfig)

find_program(CIPHERS_QEMU NAMES ${cross_qemu} ${cross_qemu}-static)
if(CIPHERS_QEMU)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CIPHERS_QEMU} -L ${cross_root})
endif()
