# Cross-builds for 64-bit Arm Linux with Debian's g++-aarch64-linux-gnu; the tests run under
# qemu-aarch64 (Debian's qemu-user):
#   cmake -S . -B build-arm64 --toolchain cmake/aarch64-linux-gnu.cmake
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(cross_triplet aarch64-linux-gnu)
set(cross_qemu qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
