// The personal method's walk and its groups, blocks of 16 bytes walked and written at once in
// 512-bit vectors.
#include <immintrin.h>

#include <array>
#include <cstdint>

#include "avx512.hpp"
#include "personal_walk.hpp"

namespace {

// GCC 12 warns of the vectors its own 512-bit intrinsics leave undefined on purpose.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

constexpr std::size_t block = walkBlock;

// What a group needs besides its magnitude's digits, by its key: the number of leading zeros
// of its magnitude written in four digits (0 to 3), plus 4 for an odd length draw, plus 8 for a
// sign mark. Byte 0 says which bytes of its slot (below) are written, byte 1 is its length
// digit (d for an odd draw, 10 - d for an even one), byte 2 the sign mark.
constexpr std::array<std::uint32_t, 16> groupParts = [] {
  std::array<std::uint32_t, 16> parts{};
  for (std::uint32_t key = 0; key < parts.size(); ++key) {
    const std::uint32_t zeros = key & 3;
    const std::uint32_t more = 3 - zeros;  // the digits after the first
    const bool odd = (key & 4) != 0;
    const bool marked = (key & 8) != 0;
    // Always the length digit (slot byte 1) and the last digit (5); the digits before the last
    // (2 to 4) from the first that is not a leading zero; the sign mark (0) where there is one.
    const std::uint32_t kept = 0x22U | ((0x1CU << zeros) & 0x1CU) | (marked ? 1U : 0U);
    const auto lengthDigit =
        static_cast<std::uint32_t>(digit_string_detail::lengthDigitFor(more + 1, odd));
    const auto mark = static_cast<std::uint32_t>(digit_string_detail::signMark);
    parts[key] = kept | lengthDigit << 8 | mark << 16;
  }
  return parts;
}();

// Where each byte of eight groups comes from, for the first (half 0) or the second eight values
// of a block. A group has a slot of eight bytes: the sign mark, the length digit, the four
// digits of its magnitude, most significant first, and two never written. Indices below 64
// pick from the digits, four bytes a value, least significant first; from 64 on from the
// values' groupParts.
constexpr std::array<std::uint8_t, 64> slotSources(std::size_t half) {
  std::array<std::uint8_t, 64> sources{};
  for (std::size_t slot = 0; slot < 8; ++slot) {
    const std::size_t value = 8 * half + slot;
    const std::size_t parts = 64 + 4 * value;
    const std::array<std::size_t, 8> bytes{parts + 2,     parts + 1, 4 * value + 3, 4 * value + 2,
                                           4 * value + 1, 4 * value, parts + 2,     parts + 2};
    for (std::size_t byte = 0; byte < bytes.size(); ++byte) {
      sources[8 * slot + byte] = static_cast<std::uint8_t>(bytes[byte]);
    }
  }
  return sources;
}

constexpr std::array<std::array<std::uint8_t, 64>, 2> slotSourceTables{slotSources(0),
                                                                       slotSources(1)};

// A value the compiler cannot see through. The constants of the loop are made so once, before
// it: otherwise the compiler makes each one again inside, and turns their multiplications into
// longer runs of shifts and adds.
template <class Vector>
CIPHERS_AVX512 inline Vector opaque(Vector constant) {
  asm("" : "+v"(constant));
  return constant;
}

// The constants of the blocks, in registers.
struct Constants {
  // Built for the vectors, as the loop is; a defaulted constructor would not be.
  CIPHERS_AVX512 Constants() {}  // NOLINT(modernize-use-equals-default)

  __m512i one = opaque(_mm512_set1_epi32(1));
  __m256i directionBits = opaque(_mm256_set1_epi16(1));
  __m256i lengthBits = opaque(_mm256_set1_epi16(0x100));
  __m512i limit = opaque(_mm512_set1_epi32(walkLimit));
  __m512i lastLane = opaque(_mm512_set1_epi32(block - 1));
  __m512i four = opaque(_mm512_set1_epi32(4));
  __m512i eight = opaque(_mm512_set1_epi32(8));
  __m512i hundredth = opaque(_mm512_set1_epi32(5243));
  __m512i tenth = opaque(_mm512_set1_epi16(6554));
  __m512i hundredsUp = opaque(_mm512_set1_epi32(0x10000 - 100));
  __m512i tensUp = opaque(_mm512_set1_epi16(0x100 - 10));
  __m512i zeroCharacters = opaque(_mm512_set1_epi8('0'));
  __m512i parts = opaque(_mm512_loadu_si512(groupParts.data()));
  __m512i firstSources = opaque(_mm512_loadu_si512(slotSourceTables[0].data()));
  __m512i secondSources = opaque(_mm512_loadu_si512(slotSourceTables[1].data()));
};

// The values of a block: each lane the sum of the steps up to it, plus the value before.
CIPHERS_AVX512 inline __m512i walkFrom(__m512i before, __m512i steps) {
  const __m512i zero = _mm512_setzero_si512();
  steps = _mm512_add_epi32(steps, _mm512_alignr_epi32(steps, zero, 15));
  steps = _mm512_add_epi32(steps, _mm512_alignr_epi32(steps, zero, 14));
  steps = _mm512_add_epi32(steps, _mm512_alignr_epi32(steps, zero, 12));
  steps = _mm512_add_epi32(steps, _mm512_alignr_epi32(steps, zero, 8));
  return _mm512_add_epi32(before, steps);
}

// The four digits of each magnitude (0 to 9999), least significant in the low byte.
CIPHERS_AVX512 inline __m512i digitsOf(__m512i magnitude, const Constants& k) {
  // m / 100 as m * 5243 >> 19, and n / 10 as n * 6554 >> 16: exact for these ranges. With
  // q = m / 100, m + q (2^16 - 100) holds the remainder in its low half and q in its high
  // half; the same with 10 and 2^8 splits each half into its two digits.
  const __m512i hundreds = _mm512_srli_epi32(_mm512_mullo_epi32(magnitude, k.hundredth), 19);
  const __m512i pairs =
      _mm512_add_epi32(magnitude, _mm512_mullo_epi32(hundreds, k.hundredsUp));  // rest, hundreds
  const __m512i tens = _mm512_mulhi_epu16(pairs, k.tenth);
  return _mm512_add_epi16(pairs, _mm512_mullo_epi16(tens, k.tensUp));
}

// The groupParts of each value of the lanes, from its digits, length draw and sign mark.
// Lanes past the text get none, so nothing of their slots is written.
CIPHERS_AVX512 inline __m512i partsOf(__m512i digits, __mmask16 lengthOdd, __mmask16 marked,
                                      __mmask16 lanes, const Constants& k) {
  // The leading zero digits, from the zero bits above the highest digit that is not 0; with
  // the lowest bit set, the magnitude 0 keeps its one digit.
  const __m512i zeros = _mm512_lzcnt_epi32(_mm512_or_si512(digits, k.one));
  __m512i key = _mm512_srli_epi32(zeros, 3);
  key = _mm512_mask_or_epi32(key, lengthOdd, key, k.four);
  key = _mm512_mask_or_epi32(key, marked, key, k.eight);
  return _mm512_maskz_permutexvar_epi32(lanes, key, k.parts);
}

// Writes the kept bytes of eight slots one after another; returns the end.
CIPHERS_AVX512 inline char* writeSlots(char* out, __m512i slots, std::uint64_t kept) {
  const __m512i packed = _mm512_maskz_compress_epi8(kept, slots);
  const auto length = static_cast<unsigned>(_mm_popcnt_u64(kept));
  _mm512_mask_storeu_epi8(out, _bzhi_u64(~std::uint64_t{0}, length), packed);
  return out + length;
}

// The walk through the blocks: its last value in every lane, and the end of the output.
struct Walk {
  __m512i before;
  char* out;
};

// Walks on by the bytes of a block (its lanes; the draws two a byte) and writes their groups,
// unless a value would leave the limits: then it returns false and has changed nothing. With
// no value outside, no step turns back, and the values are the running sums of the steps.
CIPHERS_AVX512 inline bool encodeBlock(const char* text, const std::uint8_t* parities,
                                       __mmask16 lanes, __mmask32 words, const Constants& k,
                                       Walk& walk) {
  // Lanes past the text read no byte and no draw: their step is 0, their value the last one.
  const __m512i bytes = _mm512_cvtepu8_epi32(_mm_maskz_loadu_epi8(lanes, text));
  // A byte's two draws as a 16-bit lane: its direction in the low byte, its length digit's draw
  // in the high one.
  const __m256i draws = _mm256_maskz_loadu_epi8(words, parities);
  const auto down = static_cast<__mmask16>(~_mm256_test_epi16_mask(draws, k.directionBits));
  const __m512i steps = _mm512_mask_sub_epi32(bytes, down, _mm512_setzero_si512(), bytes);
  const __m512i values = walkFrom(walk.before, steps);
  const __m512i shifted = _mm512_add_epi32(values, k.limit);
  if (_mm512_cmpgt_epu32_mask(shifted, _mm512_add_epi32(k.limit, k.limit)) != 0) {
    return false;
  }
  // Each value's sign against the one before it, zero counting as positive.
  const __m512i previous = _mm512_alignr_epi32(values, walk.before, 15);
  const __mmask16 marked = _mm512_movepi32_mask(_mm512_xor_si512(values, previous));
  walk.before = _mm512_permutexvar_epi32(k.lastLane, values);

  const __m512i digits = digitsOf(_mm512_abs_epi32(values), k);
  const __mmask16 lengthOdd = _mm256_test_epi16_mask(draws, k.lengthBits);
  const __m512i parts = partsOf(digits, lengthOdd, marked, lanes, k);
  const __m512i characters = _mm512_or_si512(digits, k.zeroCharacters);
  const __m128i kept = _mm512_cvtepi32_epi8(parts);
  walk.out = writeSlots(walk.out, _mm512_permutex2var_epi8(characters, k.firstSources, parts),
                        static_cast<std::uint64_t>(_mm_cvtsi128_si64(kept)));
  if (lanes > 0xFF) {  // a short block may end in its first half
    walk.out = writeSlots(walk.out, _mm512_permutex2var_epi8(characters, k.secondSources, parts),
                          static_cast<std::uint64_t>(_mm_extract_epi64(kept, 1)));
  }
  return true;
}

}  // namespace

// Encodes whole blocks of text, the last one perhaps short, up to the first block in which a
// value would leave the limits; returns the bytes encoded.
CIPHERS_AVX512 std::size_t avx512::encodeWalk(std::string_view text, const std::uint8_t* parities,
                                              std::int32_t& last, char*& out) {
  const Constants k;
  Walk walk{_mm512_set1_epi32(last), out};
  std::size_t done = 0;
  bool inside = true;
  for (; inside && text.size() - done >= block; done += block) {
    inside = encodeBlock(text.data() + done, parities + 2 * done, 0xFFFF, 0xFFFFFFFF, k, walk);
  }
  if (!inside) {
    done -= block;
  } else if (done < text.size()) {
    const auto count = static_cast<unsigned>(text.size() - done);
    if (encodeBlock(text.data() + done, parities + 2 * done,
                    static_cast<__mmask16>(_bzhi_u32(0xFFFF, count)),
                    _bzhi_u32(0xFFFFFFFF, 2 * count), k, walk)) {
      done = text.size();
    }
  }
  last = _mm_cvtsi128_si32(_mm512_castsi512_si128(walk.before));
  out = walk.out;
  return done;
}

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
