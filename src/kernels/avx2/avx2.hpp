#pragma once

#include "kernels.hpp"

// The kernels for x86-64's 256-bit vectors, built for AVX2 (and POPCNT) whatever the rest of the
// program is built for: dispatch.cpp calls them only where the processor has both.
#define CIPHERS_AVX2 __attribute__((target("avx2,popcnt")))
// The same for a step of a loop that must be inlined into it, so that its constants stay in
// registers and its loops over fixed counts unroll.
#define CIPHERS_AVX2_INLINE CIPHERS_AVX2 inline __attribute__((always_inline))

namespace avx2 {

void rotate13(std::span<char> text);
void shiftVigenere(std::span<char> text, const char* shifts, std::size_t period,
                   std::size_t& position);
std::size_t encodeWalk(std::string_view text, const std::uint8_t* parities, std::int32_t& last,
                       char*& out);
const char* decodeGroupWindows(const char* group, const char* end, GroupReading& reading);
void refillMt19937(std::uint32_t* state, std::uint8_t* parities);

}  // namespace avx2
