#pragma once

// The personal method's loops in 256-bit vectors, for x86-64 processors with AVX2 and BMI2.
// Each stops where its block or window would need the careful path, and leaves that to it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "group_windows.hpp"

#if defined(__x86_64__) && !defined(_WIN32)
#define CIPHERS_AVX2_KERNELS 1
#endif

namespace avx2 {

// Whether this processor runs the kernels below.
bool available();

// Encodes whole blocks of 16 bytes of text, the last one perhaps short, with the draws whose
// lowest bits are parities[2 i] (direction) and parities[2 i + 1] (length digit), up to the first
// block in which a value would leave the walk's limits; returns the bytes encoded and moves
// `last` and `out` on.
std::size_t encodeBlocks(std::string_view text, const std::uint8_t* parities, std::int32_t& last,
                         char*& out);

// Deciphers windows of groups as decodeGroupWindows describes; returns where it stopped.
const char* decodeWindows(const char* group, const char* end, GroupReading& reading);

}  // namespace avx2
