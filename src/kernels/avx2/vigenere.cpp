#include <immintrin.h>

#include <cstdint>

#include "avx2.hpp"
#include "portable/portable.hpp"
#include "vigenere_rules.hpp"

namespace {

constexpr std::size_t block = 32;
static_assert(block <= vigenereLookAhead);

// Shifts the text's whole blocks of 32 bytes at once; returns how many bytes it shifted, and
// moves `position` on by the letters among them. Within each half block, a letter's key letter
// is the one at its count of letters before it in that half, which a byte shuffle picks out of
// the 16 due next: for the first half from `position` on, for the second after the first half's
// letters.
CIPHERS_AVX2 std::size_t shiftBlocks(std::span<char> text, const char* shifts, std::size_t period,
                                     std::size_t& position) {
  const __m256i caseBit = _mm256_set1_epi8(0x20);
  const __m256i lastLetter = _mm256_set1_epi8(alphabetSize - 1);
  std::size_t done = 0;
  for (; text.size() - done >= block; done += block) {
    char* const at = text.data() + done;
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
    // Clearing the 0x20 bit maps the small letters onto the capitals, and no other byte.
    const __m256i letter =
        _mm256_sub_epi8(_mm256_andnot_si256(caseBit, bytes), _mm256_set1_epi8('A'));
    const __m256i isLetter = _mm256_cmpeq_epi8(_mm256_min_epu8(letter, lastLetter), letter);
    const auto letters = static_cast<std::uint32_t>(_mm256_movemask_epi8(isLetter));
    const __m256i ones = _mm256_and_si256(isLetter, _mm256_set1_epi8(1));
    // Counts the letters before each byte of its half: shifts stay within each 16-byte half.
    __m256i before = _mm256_slli_si256(ones, 1);
    before = _mm256_add_epi8(before, _mm256_slli_si256(before, 1));
    before = _mm256_add_epi8(before, _mm256_slli_si256(before, 2));
    before = _mm256_add_epi8(before, _mm256_slli_si256(before, 4));
    before = _mm256_add_epi8(before, _mm256_slli_si256(before, 8));
    const char* const due = shifts + position;
    const auto firstHalfLetters = static_cast<std::size_t>(__builtin_popcount(letters & 0xFFFFU));
    const __m256i dueShifts =
        _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(due + firstHalfLetters),
                            reinterpret_cast<const __m128i*>(due));
    const __m256i keyShift = _mm256_shuffle_epi8(dueShifts, before);
    __m256i shifted = _mm256_add_epi8(letter, keyShift);
    shifted = _mm256_sub_epi8(shifted, _mm256_and_si256(_mm256_cmpgt_epi8(shifted, lastLetter),
                                                        _mm256_set1_epi8(alphabetSize)));
    const __m256i enciphered = _mm256_add_epi8(shifted, _mm256_set1_epi8('A'));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(at),
                        _mm256_blendv_epi8(bytes, enciphered, isLetter));
    position += static_cast<std::size_t>(__builtin_popcount(letters));
    if (position >= period) {
      position -= period;
    }
  }
  return done;
}
}  // namespace

// Whole blocks at once, and the rest of the text byte by byte.
CIPHERS_AVX2 void avx2::shiftVigenere(std::span<char> text, const char* shifts, std::size_t period,
                                      std::size_t& position) {
  const std::size_t done = shiftBlocks(text, shifts, period, position);
  portable::shiftVigenere(text.subspan(done), shifts, period, position);
}
