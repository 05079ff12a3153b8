# Cross-builds for IBM Z Linux, a big-endian processor, with Debian's g++-s390x-linux-gnu; the
# tests run under qemu-s390x (Debian's qemu-user):
#   cmake -S . -B build-s390x --toolchain cmake/s390x-linux-gnu.cmake
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(cross_triplet s390x-linux-gnu)
set(cross_qemu qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
