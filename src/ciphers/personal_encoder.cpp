// The filter's encoder on a generator's words: blocks of 16 bytes walked and written at once in
// 512-bit vectors where the processor has them, the plain loop elsewhere.
#include <algorithm>
#include <array>
#include <cstdint>

#include "personal_method.hpp"

// MinGW's compiler does not keep the stack aligned for the vectors it spills, so Windows builds
// take the plain loop.
#if defined(__x86_64__) && !defined(_WIN32)
#include <immintrin.h>
#define CIPHERS_WALK_BLOCKS 1
#endif

namespace {

#ifdef CIPHERS_WALK_BLOCKS

// GCC 12 warns of the vectors its own 512-bit intrinsics leave undefined on purpose.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#define CIPHERS_WALK_TARGET                                                    \
  __attribute__((                                                              \
      target("avx512f,avx512bw,avx512dq,avx512vl,avx512vbmi,avx512vbmi2,bmi2," \
             "popcnt")))

bool hasByteVectors() {
  static const bool has =
      __builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512bw") != 0 &&
      __builtin_cpu_supports("avx512dq") != 0 && __builtin_cpu_supports("avx512vl") != 0 &&
      __builtin_cpu_supports("avx512vbmi") != 0 && __builtin_cpu_supports("avx512vbmi2") != 0 &&
      __builtin_cpu_supports("bmi2") != 0 && __builtin_cpu_supports("popcnt") != 0;
  return has;
}

constexpr std::size_t block = 16;

// Where each byte of eight groups comes from, for the first (half 0) or the second eight values
// of a block: a group has a slot of eight bytes, of which the writer keeps those it needs. Slot
// byte 0 is the sign mark, 1 the length digit, 2 to 5 the four digits of the magnitude, most
// significant first; 6 and 7 are never kept. Indices from 64 on pick from the second table:
// its bytes 0 to 15 are the blocks's length digits, the rest sign marks.
constexpr std::array<std::uint8_t, 64> slotSources(std::size_t half) {
  constexpr std::uint8_t mark = 64 + 16;
  std::array<std::uint8_t, 64> sources{};
  for (std::size_t slot = 0; slot < 8; ++slot) {
    const std::size_t value = 8 * half + slot;
    std::uint8_t* bytes = &sources[8 * slot];
    bytes[0] = mark;
    bytes[1] = static_cast<std::uint8_t>(64 + value);
    for (std::size_t digit = 0; digit < 4; ++digit) {
      bytes[2 + digit] = static_cast<std::uint8_t>(4 * value + digit);
    }
    bytes[6] = mark;
    bytes[7] = mark;
  }
  return sources;
}

constexpr std::array<std::array<std::uint8_t, 64>, 2> slotSourceTables{slotSources(0),
                                                                       slotSources(1)};

// The values of a block: each lane the sum of the steps up to it, plus the value before.
CIPHERS_WALK_TARGET inline __m512i walkFrom(__m512i before, __m512i steps) {
  const __m512i zero = _mm512_setzero_si512();
  steps = _mm512_add_epi32(steps, _mm512_alignr_epi32(steps, zero, 15));
  steps = _mm512_add_epi32(steps, _mm512_alignr_epi32(steps, zero, 14));
  steps = _mm512_add_epi32(steps, _mm512_alignr_epi32(steps, zero, 12));
  steps = _mm512_add_epi32(steps, _mm512_alignr_epi32(steps, zero, 8));
  return _mm512_add_epi32(before, steps);
}

// The four digits of each magnitude (0 to 9999) as characters, most significant in the low byte.
CIPHERS_WALK_TARGET inline __m512i digitsOf(__m512i magnitude) {
  // m / 100 as m * 5243 >> 19 and n / 10 as n * 6554 >> 16: exact for these ranges.
  const __m512i hundreds =
      _mm512_srli_epi32(_mm512_mullo_epi32(magnitude, _mm512_set1_epi32(5243)), 19);
  const __m512i rest =
      _mm512_sub_epi32(magnitude, _mm512_mullo_epi32(hundreds, _mm512_set1_epi32(100)));
  const __m512i pairs = _mm512_or_si512(hundreds, _mm512_slli_epi32(rest, 16));
  const __m512i tens = _mm512_mulhi_epu16(pairs, _mm512_set1_epi16(6554));
  const __m512i ones = _mm512_sub_epi16(pairs, _mm512_mullo_epi16(tens, _mm512_set1_epi16(10)));
  return _mm512_or_si512(_mm512_or_si512(tens, _mm512_slli_epi16(ones, 8)), _mm512_set1_epi8('0'));
}

// Writes the kept bytes of eight slots one after another; returns the end.
CIPHERS_WALK_TARGET inline char* writeSlots(char* out, __m512i slots, std::uint64_t kept) {
  const __m512i packed = _mm512_maskz_compress_epi8(kept, slots);
  const auto length = static_cast<unsigned>(_mm_popcnt_u64(kept));
  _mm512_mask_storeu_epi8(out, _bzhi_u64(~std::uint64_t{0}, length), packed);
  return out + length;
}

// Encodes whole blocks of text, the last one perhaps short, while the walk stays within the
// limits, so that no step turns back: the values are then the running sums of the steps.
// Stops before the first block in which a value would leave them; returns the bytes encoded.
CIPHERS_WALK_TARGET std::size_t encodeBlocks(std::string_view text, const std::uint32_t* draws,
                                             std::int32_t& last, char*& out) {
  const __m512i one = _mm512_set1_epi32(1);
  const __m512i evenWords =
      _mm512_set_epi32(30, 28, 26, 24, 22, 20, 18, 16, 14, 12, 10, 8, 6, 4, 2, 0);
  const __m512i oddWords = _mm512_add_epi32(evenWords, one);
  const __m512i firstSources = _mm512_loadu_si512(slotSourceTables[0].data());
  const __m512i secondSources = _mm512_loadu_si512(slotSourceTables[1].data());
  __m512i before = _mm512_set1_epi32(last);
  std::size_t done = 0;
  for (; done < text.size(); done += block) {
    const std::size_t count = std::min(block, text.size() - done);
    const auto lanes = static_cast<__mmask16>(_bzhi_u32(0xFFFF, static_cast<unsigned>(count)));
    const auto words =
        static_cast<std::uint32_t>(_bzhi_u64(0xFFFFFFFF, static_cast<unsigned>(2 * count)));
    // Lanes past the text read no byte and no draw: their step is 0, their value the last one.
    const __m512i bytes = _mm512_cvtepu8_epi32(_mm_maskz_loadu_epi8(lanes, text.data() + done));
    const __m512i low = _mm512_maskz_loadu_epi32(static_cast<__mmask16>(words), draws + 2 * done);
    const __m512i high =
        _mm512_maskz_loadu_epi32(static_cast<__mmask16>(words >> 16), draws + 2 * done + 16);
    const __mmask16 up =
        _mm512_test_epi32_mask(_mm512_permutex2var_epi32(low, evenWords, high), one);
    const __mmask16 lengthOdd =
        _mm512_test_epi32_mask(_mm512_permutex2var_epi32(low, oddWords, high), one);
    const __m512i values = walkFrom(
        before,
        _mm512_mask_sub_epi32(bytes, static_cast<__mmask16>(~up), _mm512_setzero_si512(), bytes));
    const __m512i shifted = _mm512_add_epi32(values, _mm512_set1_epi32(walkLimit));
    if (_mm512_cmpgt_epu32_mask(shifted, _mm512_set1_epi32(2 * walkLimit)) != 0) {
      break;
    }
    // Each value's sign against the value before it, zero counting as positive.
    const __m512i previous = _mm512_alignr_epi32(values, before, 15);
    const __mmask16 marked = _mm512_movepi32_mask(_mm512_xor_si512(values, previous));
    before = _mm512_permutexvar_epi32(_mm512_set1_epi32(15), values);

    const __m512i magnitude = _mm512_abs_epi32(values);
    const __mmask16 twoDigits = _mm512_cmpge_epu32_mask(magnitude, _mm512_set1_epi32(10));
    const __mmask16 threeDigits = _mm512_cmpge_epu32_mask(magnitude, _mm512_set1_epi32(100));
    const __mmask16 fourDigits = _mm512_cmpge_epu32_mask(magnitude, _mm512_set1_epi32(1000));
    // The digits beyond the first: 0 to 3.
    __m512i more = _mm512_maskz_mov_epi32(twoDigits, one);
    more = _mm512_mask_add_epi32(more, threeDigits, more, one);
    more = _mm512_mask_add_epi32(more, fourDigits, more, one);
    // The length digit d for an odd draw, 10 - d for an even one.
    const __m512i lengthDigit =
        _mm512_mask_blend_epi32(lengthOdd, _mm512_sub_epi32(_mm512_set1_epi32('9'), more),
                                _mm512_add_epi32(_mm512_set1_epi32('1'), more));
    // The slot bytes kept: the sign mark where marked, the length digit, the magnitude's digits
    // from its first, always the last digit.
    __m512i keep = _mm512_or_si512(
        _mm512_set1_epi32(0x22),
        _mm512_and_si512(_mm512_sllv_epi32(_mm512_set1_epi32(0x1C),
                                           _mm512_sub_epi32(_mm512_set1_epi32(3), more)),
                         _mm512_set1_epi32(0x1C)));
    keep = _mm512_mask_or_epi32(keep, marked, keep, one);
    const __m128i keptBytes = _mm512_cvtepi32_epi8(_mm512_maskz_mov_epi32(lanes, keep));

    const __m512i digits = digitsOf(magnitude);
    const __m512i marksAndLengths =
        _mm512_inserti32x4(_mm512_set1_epi8('0'), _mm512_cvtepi32_epi8(lengthDigit), 0);
    out = writeSlots(out, _mm512_permutex2var_epi8(digits, firstSources, marksAndLengths),
                     static_cast<std::uint64_t>(_mm_cvtsi128_si64(keptBytes)));
    out = writeSlots(out, _mm512_permutex2var_epi8(digits, secondSources, marksAndLengths),
                     static_cast<std::uint64_t>(_mm_extract_epi64(keptBytes, 1)));
  }
  last = _mm_cvtsi128_si32(_mm512_castsi512_si128(before));
  return std::min(done, text.size());
}

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

#endif

}  // namespace

char* PersonalEncoder::encodeFromDraws(std::string_view text, const std::uint32_t* draws,
                                       char* out) {
  std::size_t next = 0;
  auto drawn = [&draws, &next] { return draws[next++]; };
#ifdef CIPHERS_WALK_BLOCKS
  if (hasByteVectors()) {
    while (!text.empty()) {
      const std::size_t done = encodeBlocks(text, draws + next, last_, out);
      next += 2 * done;
      text.remove_prefix(done);
      // The block in which the walk reaches a limit, byte by byte.
      const std::size_t turning = std::min(text.size(), block);
      out = encode(text.substr(0, turning), out, drawn, drawn);
      text.remove_prefix(turning);
    }
    return out;
  }
#endif
  return encode(text, out, drawn, drawn);
}

char* PersonalEncoder::encodeFromGenerator(std::string_view text, char* out, Mt19937& generator) {
  while (!text.empty()) {
    const std::span<const std::uint32_t> words = generator.upcoming();
    if (words.size() == 1) {
      // A byte whose two draws lie either side of a refill.
      out = encode(text.substr(0, 1), out, generator, generator);
      text.remove_prefix(1);
      continue;
    }
    const std::size_t count = std::min(text.size(), words.size() / 2);
    out = encodeFromDraws(text.substr(0, count), words.data(), out);
    generator.skip(2 * count);
    text.remove_prefix(count);
  }
  return out;
}
