#include <immintrin.h>

#include "avx512.hpp"
#include "portable/loops.hpp"

namespace {

// The lowest bits of the tempered words with the processor's count of a vector's bits, 16 words
// at a time.
CIPHERS_AVX512 void countParities(const std::uint32_t* state, std::uint8_t* parities) {
  const __m512i kept = _mm512_set1_epi32(static_cast<int>(mt19937_rules::temperedLowBit));
  const __m512i one = _mm512_set1_epi32(1);
  static_assert(mt19937_rules::stateSize % 16 == 0);
  for (std::size_t i = 0; i < mt19937_rules::stateSize; i += 16) {
    const __m512i words = _mm512_loadu_si512(state + i);
    const __m512i bits = _mm512_popcnt_epi32(_mm512_and_si512(words, kept));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(parities + i),
                     _mm512_maskz_cvtepi32_epi8(0xFFFF, _mm512_and_si512(bits, one)));
  }
}

}  // namespace

CIPHERS_AVX512 void avx512::refillMt19937(std::uint32_t* state, std::uint8_t* parities) {
  loops::twist(state);
  countParities(state, parities);
}
