#include <immintrin.h>

#include "avx2.hpp"
#include "portable/loops.hpp"

namespace {

// The bits of eight words that decide their tempered lowest bits, folded into the low four bits
// of each word's 16-bit half: the parity of those four is the word's.
CIPHERS_AVX2_INLINE __m256i foldedBits(const std::uint32_t* words) {
  const __m256i kept = _mm256_set1_epi32(static_cast<int>(mt19937_rules::temperedLowBit));
  const __m256i bits =
      _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(words)), kept);
  return _mm256_xor_si256(bits, _mm256_srli_epi32(bits, 16));
}

// Sixteen words' folded bits, a 16-bit lane each, folded on to their low four bits.
CIPHERS_AVX2_INLINE __m256i foldedNibbles(const std::uint32_t* words) {
  // The second eight words' halves beside the first's, in the odd lanes.
  __m256i halves =
      _mm256_blend_epi16(foldedBits(words), _mm256_slli_epi32(foldedBits(words + 8), 16), 0xAA);
  halves = _mm256_xor_si256(halves, _mm256_srli_epi16(halves, 8));
  halves = _mm256_xor_si256(halves, _mm256_srli_epi16(halves, 4));
  return _mm256_and_si256(halves, _mm256_set1_epi16(0x0F));
}

// The lowest bits of 32 tempered words, a byte each, in order.
CIPHERS_AVX2_INLINE void findParities32(const std::uint32_t* words, std::uint8_t* parities) {
  // A nibble's parity, for each value 0 to 15.
  const __m256i parityOf = _mm256_setr_epi8(0, 1, 1, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 1, 1, 0, 0, 1, 1,
                                            0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 1, 1, 0);
  // Packed, the lower half holds words 0, 8, 1, 9, 2, 10, 3, 11, then 16, 24, 17, 25, ...; the
  // upper half the same four on (4, 12, ...). Each half is put in runs of four, 0 to 3, 8 to
  // 11, 16 to 19, 24 to 27, and the runs in order.
  const __m256i packed = _mm256_packus_epi16(foldedNibbles(words), foldedNibbles(words + 16));
  const __m256i runs =
      _mm256_shuffle_epi8(_mm256_shuffle_epi8(parityOf, packed),
                          _mm256_setr_epi8(0, 2, 4, 6, 1, 3, 5, 7, 8, 10, 12, 14, 9, 11, 13, 15, 0,
                                           2, 4, 6, 1, 3, 5, 7, 8, 10, 12, 14, 9, 11, 13, 15));
  const __m256i ordered =
      _mm256_permutevar8x32_epi32(runs, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(parities), ordered);
}

}  // namespace

CIPHERS_AVX2 void avx2::refillMt19937(std::uint32_t* state, std::uint8_t* parities) {
  loops::twist(state);
  constexpr std::size_t n = mt19937_rules::stateSize;
  constexpr std::size_t whole = n / 32 * 32;
  for (std::size_t i = 0; i < whole; i += 32) {
    findParities32(state + i, parities + i);
  }
  loops::findParitiesIn<whole, n>(state, parities);
}
