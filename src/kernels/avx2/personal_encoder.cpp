// The personal method's encoder in 256-bit vectors: the walk of 16 bytes at once, as 16-bit
// lanes (a value and the steps of a block stay far within them), then each group written from
// the values walked.
#include <immintrin.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "avx2.hpp"
#include "personal_walk.hpp"

namespace {

constexpr std::size_t block = walkBlock;

using Lanes = std::array<std::int16_t, block>;

// The running sums of the steps, lane by lane, plus the value before.
CIPHERS_AVX2 __m256i walkFrom(__m256i before, __m256i steps) {
  steps = _mm256_add_epi16(steps, _mm256_slli_si256(steps, 2));
  steps = _mm256_add_epi16(steps, _mm256_slli_si256(steps, 4));
  steps = _mm256_add_epi16(steps, _mm256_slli_si256(steps, 8));
  // The low half's sum, its last lane, carried into every lane of the high half.
  const __m256i lowInHigh = _mm256_permute2x128_si256(steps, steps, 0x08);
  const __m256i carry = _mm256_shuffle_epi8(lowInHigh, _mm256_set1_epi16(0x0F0E));
  return _mm256_add_epi16(before, _mm256_add_epi16(steps, carry));
}

// Walks on by the bytes of a block, their draws two a byte, and stores the values into
// `walked`, unless a value would leave the limits: then it returns false. With no value outside,
// no step turns back, and the values are the running sums of the steps.
CIPHERS_AVX2 bool walkSixteen(const char* text, const std::uint8_t* parities, std::int32_t last,
                              Lanes& walked) {
  const __m256i bytes =
      _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text)));
  // A byte's two draws as a 16-bit lane: its direction in the low byte.
  const __m256i draws = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(parities));
  const __m256i down =
      _mm256_cmpeq_epi16(_mm256_and_si256(draws, _mm256_set1_epi16(1)), _mm256_setzero_si256());
  const __m256i steps = _mm256_sub_epi16(_mm256_xor_si256(bytes, down), down);
  const __m256i values = walkFrom(_mm256_set1_epi16(static_cast<std::int16_t>(last)), steps);
  const __m256i limit = _mm256_set1_epi16(static_cast<std::int16_t>(walkLimit));
  const __m256i outside =
      _mm256_or_si256(_mm256_cmpgt_epi16(values, limit),
                      _mm256_cmpgt_epi16(_mm256_sub_epi16(_mm256_setzero_si256(), limit), values));
  if (_mm256_movemask_epi8(outside) != 0) {
    return false;
  }
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(walked.data()), values);
  return true;
}

// Writes the groups of the first `count` values walked, each with its length draw.
template <std::size_t count>
CIPHERS_AVX2 char* writeGroups(const Lanes& walked, const std::uint8_t* parities,
                               std::int32_t& last, char* out, std::size_t shortCount = count) {
  std::int32_t previous = last;
  for (std::size_t i = 0; i < std::min(count, shortCount); ++i) {
    const std::int32_t value = walked[i];
    out = writeGroup(out, previous, value, [parities, i] { return unsigned{parities[2 * i + 1]}; });
    previous = value;
  }
  last = previous;
  return out;
}

}  // namespace

// Encodes whole blocks of text, the last one perhaps short, up to the first block in which a
// value would leave the limits; returns the bytes encoded.
CIPHERS_AVX2 std::size_t avx2::encodeWalk(std::string_view text, const std::uint8_t* parities,
                                          std::int32_t& last, char*& out) {
  static_assert(longestStep * block + walkLimit <= INT16_MAX, "a block's values fit 16 bits");
  Lanes walked{};
  std::size_t done = 0;
  for (; text.size() - done >= block; done += block) {
    if (!walkSixteen(text.data() + done, parities + 2 * done, last, walked)) {
      return done;
    }
    out = writeGroups<block>(walked, parities + 2 * done, last, out);
  }
  if (done < text.size()) {
    // A short block, read from copies so that nothing past the text or its draws is loaded.
    const std::size_t count = text.size() - done;
    std::array<char, block> bytes{};
    std::array<std::uint8_t, 2 * block> draws{};
    std::memcpy(bytes.data(), text.data() + done, count);
    std::memcpy(draws.data(), parities + 2 * done, 2 * count);
    if (!walkSixteen(bytes.data(), draws.data(), last, walked)) {
      return done;
    }
    out = writeGroups<block>(walked, draws.data(), last, out, count);
    done = text.size();
  }
  return done;
}
