#pragma once

#include "kernels.hpp"

// The kernels for x86-64's 512-bit vectors, built for the AVX-512 extensions that they use
// whatever the rest of the program is built for: dispatch.cpp calls them only where the
// processor has all of them.
#define CIPHERS_AVX512                                                             \
  __attribute__((                                                                  \
      target("avx512f,avx512bw,avx512cd,avx512dq,avx512vl,avx512vbmi,avx512vbmi2," \
             "avx512vpopcntdq,bmi2,popcnt")))

namespace avx512 {

std::size_t encodeWalk(std::string_view text, const std::uint8_t* parities, std::int32_t& last,
                       char*& out);
const char* decodeGroupWindows(const char* group, const char* end, GroupReading& reading);
void refillMt19937(std::uint32_t* state, std::uint8_t* parities);

}  // namespace avx512
