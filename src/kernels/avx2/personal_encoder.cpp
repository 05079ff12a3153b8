// The personal method's encoder in 256-bit vectors: the walk of 16 bytes at once, as 16-bit
// lanes (a value and the steps of a block stay far within them), then their groups written two
// at a time, each pair shuffled into place from the digits of its values.
#include <immintrin.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

#include "avx2.hpp"
#include "personal_walk.hpp"

namespace {

constexpr std::size_t block = walkBlock;

// A pair of groups is written from sixteen bytes: the four digits of each magnitude, most
// significant first, then the eight length digits that a group may carry.
constexpr std::size_t lengthDigitsAt = 8;

constexpr std::uint8_t lengthDigitIndex(std::uint32_t digits, bool odd) {
  return static_cast<std::uint8_t>(lengthDigitsAt + (odd ? 0 : 4) + digits - 1);
}

// The length digits in the order lengthDigitIndex places them, eight bytes repeated.
constexpr std::int64_t lengthDigitBytes = [] {
  std::uint64_t bytes = 0;
  for (const bool odd : {true, false}) {
    for (std::uint32_t digits = 1; digits <= 4; ++digits) {
      const auto place = lengthDigitIndex(digits, odd) - lengthDigitsAt;
      const auto digit =
          static_cast<std::uint8_t>(digit_string_detail::lengthDigitFor(digits, odd));
      bytes |= std::uint64_t{digit} << (8 * place);
    }
  }
  return static_cast<std::int64_t>(bytes);
}();

// A constant that the compiler cannot see through. The constants of the loop are made so once,
// before it: otherwise the compiler makes each one again inside, and turns its multiplications
// into longer runs of shifts and adds.
CIPHERS_AVX2_INLINE __m256i opaque(__m256i constant) {
  asm("" : "+x"(constant));
  return constant;
}

CIPHERS_AVX2_INLINE __m256i words(std::int16_t value) {
  return opaque(_mm256_set1_epi16(value));
}

// A value's group by its key: the leading zeros of its magnitude written in four digits (0 to 3),
// plus 4 for a sign mark, plus 8 for an odd length draw.
constexpr std::int16_t markKey = 4;
constexpr std::int16_t oddKey = 8;

// The constants of the blocks, in registers (or, where those run out, in the stack's cache).
struct Constants {
  // Built for the vectors, as the loop is; a defaulted constructor would not be.
  CIPHERS_AVX2 Constants() {}  // NOLINT(modernize-use-equals-default)

  __m256i one = words(1);
  __m256i lastLane = words(0x0F0E);  // as a shuffle: a half's last 16-bit lane in each
  __m256i limit = words(walkLimit);
  __m256i twiceLimit = words(2 * walkLimit);
  __m256i ten = words(10);
  __m256i hundred = words(100);
  __m256i thousand = words(1000);
  __m256i odd = words(oddKey);
  __m256i mark = words(markKey);
  __m256i five = words(5);
  __m256i hundredth = words(5243);
  __m256i tenth = words(6554);
  __m256i tensUp = words(2559);
  __m256i shuffleWeights = opaque(_mm256_set1_epi32(0x01000010));
  __m256i zeroCharacters = opaque(_mm256_set1_epi8('0'));
  __m256i lengthDigits = opaque(_mm256_set1_epi64x(lengthDigitBytes));
  __m256i lanes = opaque(_mm256_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15));
};

// The running sums of the steps, lane by lane, plus the value before.
CIPHERS_AVX2_INLINE __m256i walkFrom(__m256i before, __m256i steps, const Constants& k) {
  steps = _mm256_add_epi16(steps, _mm256_slli_si256(steps, 2));
  steps = _mm256_add_epi16(steps, _mm256_slli_si256(steps, 4));
  steps = _mm256_add_epi16(steps, _mm256_slli_si256(steps, 8));
  // The low half's sum, its last lane, carried into every lane of the high half.
  const __m256i lowInHigh = _mm256_permute2x128_si256(steps, steps, 0x08);
  const __m256i carry = _mm256_shuffle_epi8(lowInHigh, k.lastLane);
  return _mm256_add_epi16(before, _mm256_add_epi16(steps, carry));
}

// Walks on from `last` by the bytes of a block (a byte a lane), their draws two a byte (a byte's
// pair a lane, its direction in the low byte), into `values`, unless a value would leave the
// limits: then it returns false. With no value outside, no step turns back, and the values are the
// running sums of the steps.
CIPHERS_AVX2_INLINE bool walkSixteen(__m128i text, __m256i draws, __m256i last, const Constants& k,
                                     __m256i& values) {
  const __m256i bytes = _mm256_cvtepu8_epi16(text);
  const __m256i down = _mm256_cmpeq_epi16(_mm256_and_si256(draws, k.one), _mm256_setzero_si256());
  const __m256i steps = _mm256_sub_epi16(_mm256_xor_si256(bytes, down), down);
  values = walkFrom(last, steps, k);
  // One unsigned comparison tests both limits: below -9999 wraps round to a large number.
  const __m256i shifted = _mm256_add_epi16(values, k.limit);
  const __m256i inside = _mm256_cmpeq_epi16(_mm256_min_epu16(shifted, k.twiceLimit), shifted);
  return _mm256_movemask_epi8(inside) == -1;
}

// A value whose sign differs from the one before has at most three digits, one step from zero:
// its first digit of four, a leading zero, is its sign mark.
static_assert(longestStep < 1000 && digit_string_detail::signMark == '0');

// The shuffle that writes a pair of groups, by the pair's keys (the first in the low four bits):
// each group's sign mark, its length digit and its digits from the first that is not a leading
// zero.
alignas(16) constexpr std::array<std::array<std::uint8_t, 16>, 256> pairShuffles = [] {
  std::array<std::array<std::uint8_t, 16>, 256> shuffles{};
  for (std::size_t keys = 0; keys < shuffles.size(); ++keys) {
    std::array<std::uint8_t, 16>& shuffle = shuffles[keys];
    shuffle.fill(0x80);
    std::size_t at = 0;
    for (std::uint32_t group = 0; group < 2; ++group) {
      const auto key = static_cast<std::uint32_t>(keys >> (4 * group)) & 0xF;
      const std::uint32_t zeros = key & 3;
      if ((key & markKey) != 0) {
        shuffle[at++] = static_cast<std::uint8_t>(4 * group);
      }
      shuffle[at++] = lengthDigitIndex(4 - zeros, (key & oddKey) != 0);
      for (std::uint32_t digit = zeros; digit < 4; ++digit) {
        shuffle[at++] = static_cast<std::uint8_t>(4 * group + digit);
      }
    }
  }
  return shuffles;
}();

// The four digits of each magnitude (0 to 9999) as two 16-bit lanes of two: the thousands and
// the hundreds, and the tens and the units. m / 100 is m * 5243 >> 19 and n / 10 is
// n * 6554 >> 16, exact for these ranges; a pair of digits n = 10 t + u as t + 256 u is
// 256 n - 2559 t.
struct DigitPairs {
  __m256i high;
  __m256i low;
};

CIPHERS_AVX2_INLINE __m256i splitTens(__m256i pair, const Constants& k) {
  const __m256i tens = _mm256_mulhi_epu16(pair, k.tenth);
  return _mm256_sub_epi16(_mm256_slli_epi16(pair, 8), _mm256_mullo_epi16(tens, k.tensUp));
}

CIPHERS_AVX2_INLINE DigitPairs digitPairsOf(__m256i magnitudes, const Constants& k) {
  const __m256i hundreds = _mm256_srli_epi16(_mm256_mulhi_epu16(magnitudes, k.hundredth), 3);
  const __m256i rest = _mm256_sub_epi16(magnitudes, _mm256_mullo_epi16(hundreds, k.hundred));
  return {splitTens(hundreds, k), splitTens(rest, k)};
}

// Each pair's shuffle (as its offset in pairShuffles) and length, 16 bits each: pairs 0 to 3
// in lanes 0 to 7, pairs 4 to 7 in lanes 8 to 15.
CIPHERS_AVX2_INLINE __m256i pairsOf(__m256i keys, __m256i lengths, const Constants& k) {
  const __m256i shuffles = _mm256_madd_epi16(keys, k.shuffleWeights);
  return _mm256_packus_epi32(shuffles, _mm256_madd_epi16(lengths, k.one));
}

// Writes the pair of groups whose sixteen bytes are `source`; returns the end.
CIPHERS_AVX2_INLINE char* writePair(char* out, __m128i source, std::uint16_t shuffle,
                                    std::uint16_t length) {
  const auto* shuffles = reinterpret_cast<const char*>(pairShuffles.data());
  const __m128i pair = _mm_shuffle_epi8(
      source, _mm_load_si128(reinterpret_cast<const __m128i*>(shuffles + shuffle)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), pair);
  return out + length;
}

// Writes pair `pair` (of 8) of a block's groups where it is one of the first `pairCount`; its
// bytes are in the lower (pairs 0 to 3) or upper half of a source, its shuffle and length in
// `pairs` (as pairsOf gives them).
template <unsigned pair>
CIPHERS_AVX2_INLINE char* writeNthPair(const __m256i* sources, const std::uint16_t* pairs,
                                       unsigned pairCount, char* out) {
  if (pair >= pairCount) {
    return out;
  }
  constexpr unsigned half = pair / 4;
  const __m256i source = sources[pair % 4];
  return writePair(out,
                   half == 0 ? _mm256_castsi256_si128(source) : _mm256_extracti128_si256(source, 1),
                   pairs[8 * half + pair % 4], pairs[8 * half + 4 + pair % 4]);
}

// Writes the pairs in turn, each in code of its own.
template <unsigned... pair>
CIPHERS_AVX2_INLINE char* writePairs(std::integer_sequence<unsigned, pair...> /*pairs*/,
                                     const __m256i* sources, const std::uint16_t* pairs,
                                     unsigned pairCount, char* out) {
  ((out = writeNthPair<pair>(sources, pairs, pairCount, out)), ...);
  return out;
}

// Writes the groups of the values walked after `last`, each with its length draw (the high byte
// of its draws' lane), the lanes from `count` on not at all. Stores sixteen bytes a pair.
CIPHERS_AVX2_INLINE char* writeGroups(__m256i values, __m256i last, __m256i draws, unsigned count,
                                      const Constants& k, char* out) {
  // Each lane's value before it: the last one, then the lanes moved up by one.
  const __m256i lastAndLow = _mm256_permute2x128_si256(values, last, 0x02);
  const __m256i before = _mm256_alignr_epi8(values, lastAndLow, 14);
  const __m256i marked = _mm256_srai_epi16(_mm256_xor_si256(values, before), 15);
  const __m256i magnitudes = _mm256_abs_epi16(values);
  // Minus the leading zeros: each comparison that holds gives -1.
  const __m256i minusZeros =
      _mm256_add_epi16(_mm256_add_epi16(_mm256_cmpgt_epi16(k.ten, magnitudes),
                                        _mm256_cmpgt_epi16(k.hundred, magnitudes)),
                       _mm256_cmpgt_epi16(k.thousand, magnitudes));
  const __m256i oddLengths = _mm256_and_si256(_mm256_srli_epi16(draws, 8 - 3), k.odd);
  const __m256i keys =
      _mm256_or_si256(_mm256_or_si256(_mm256_sub_epi16(_mm256_setzero_si256(), minusZeros),
                                      _mm256_and_si256(marked, k.mark)),
                      oddLengths);
  // A group's length: its sign mark, a length digit and 4 - zeros digits; none past the text.
  __m256i lengths = _mm256_sub_epi16(_mm256_add_epi16(k.five, minusZeros), marked);
  if (count < block) {
    lengths = _mm256_and_si256(
        lengths, _mm256_cmpgt_epi16(_mm256_set1_epi16(static_cast<std::int16_t>(count)), k.lanes));
  }
  alignas(32) std::array<std::uint16_t, 16> pairs{};
  _mm256_store_si256(reinterpret_cast<__m256i*>(pairs.data()), pairsOf(keys, lengths, k));
  // Read back from memory: loads are cheaper than taking each lane out of the vector.
  asm("" : "+m"(pairs));

  // The digits of values 0 to 3 and 8 to 11 (lower), 4 to 7 and 12 to 15 (upper), four bytes a
  // value; each pair's eight beside the length digits.
  const DigitPairs digits = digitPairsOf(magnitudes, k);
  const __m256i lower =
      _mm256_or_si256(_mm256_unpacklo_epi16(digits.high, digits.low), k.zeroCharacters);
  const __m256i upper =
      _mm256_or_si256(_mm256_unpackhi_epi16(digits.high, digits.low), k.zeroCharacters);
  const __m256i lengthDigits = k.lengthDigits;
  // A plain array: std::array would drop the vectors' attributes.
  // NOLINTNEXTLINE(*-avoid-c-arrays)
  const __m256i sources[4] = {
      _mm256_unpacklo_epi64(lower, lengthDigits), _mm256_unpackhi_epi64(lower, lengthDigits),
      _mm256_unpacklo_epi64(upper, lengthDigits), _mm256_unpackhi_epi64(upper, lengthDigits)};
  return writePairs(std::make_integer_sequence<unsigned, block / 2>(), sources, pairs.data(),
                    (count + 1) / 2, out);
}

// Walks and writes a block of `count` bytes (16, or fewer at the end, the lanes after them 0);
// false, with nothing changed, where a value would leave the limits.
CIPHERS_AVX2_INLINE bool encodeBlock(__m128i text, __m256i draws, unsigned count,
                                     const Constants& k, std::int32_t& last, char*& out) {
  const __m256i before = _mm256_set1_epi16(static_cast<std::int16_t>(last));
  __m256i values;
  if (!walkSixteen(text, draws, before, k, values)) {
    return false;
  }
  out = writeGroups(values, before, draws, count, k, out);
  alignas(32) std::array<std::int16_t, block> lanes{};
  _mm256_store_si256(reinterpret_cast<__m256i*>(lanes.data()), values);
  last = lanes[count - 1];
  return true;
}

template <class Byte>
CIPHERS_AVX2_INLINE __m128i load16(const Byte* bytes) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
}

// The `count` bytes (0 to 16) before `end`, from the first lane on, and zeros after them; the
// sixteen bytes before `end` are read.
template <class Byte>
CIPHERS_AVX2_INLINE __m128i endingAt(const Byte* end, std::size_t count) {
  // Indices 0 to 15, then bytes with the top bit set, which the shuffle makes 0.
  alignas(16) static constexpr std::array<std::uint8_t, 32> slide = [] {
    std::array<std::uint8_t, 32> indices{};
    for (std::size_t i = 0; i < indices.size(); ++i) {
      indices[i] = static_cast<std::uint8_t>(i < 16 ? i : 0x80);
    }
    return indices;
  }();
  return _mm_shuffle_epi8(load16(end - 16), load16(slide.data() + 16 - count));
}

// The last block of a text, `count` bytes, and their draws, loaded from where they lie: the
// vector loads end where they end, a whole block or more having come before.
CIPHERS_AVX2_INLINE bool encodeLastBlock(const char* text, const std::uint8_t* parities,
                                         std::size_t count, const Constants& k, std::int32_t& last,
                                         char*& out) {
  const std::uint8_t* const drawsEnd = parities + 2 * count;
  const __m256i draws = count <= block / 2
                            ? _mm256_zextsi128_si256(endingAt(drawsEnd, 2 * count))
                            : _mm256_inserti128_si256(_mm256_castsi128_si256(load16(parities)),
                                                      endingAt(drawsEnd, 2 * count - 16), 1);
  return encodeBlock(endingAt(text + count, count), draws, static_cast<unsigned>(count), k, last,
                     out);
}

// Encodes whole blocks of text, the last one perhaps short, up to the first block in which a
// value would leave the limits; returns the bytes encoded.
CIPHERS_AVX2_INLINE std::size_t encodeBlocks(std::string_view text, const std::uint8_t* parities,
                                             std::int32_t& last, char*& out) {
  static_assert(longestStep * block + walkLimit <= INT16_MAX, "a block's values fit 16 bits");
  const Constants k;
  std::size_t done = 0;
  for (; text.size() - done >= block; done += block) {
    const auto* draws = reinterpret_cast<const __m256i*>(parities + 2 * done);
    if (!encodeBlock(load16(text.data() + done), _mm256_loadu_si256(draws), block, k, last, out)) {
      return done;
    }
  }
  const std::size_t count = text.size() - done;
  if (count == 0) {
    return done;
  }
  bool encoded = false;
  if (done > 0) {
    encoded = encodeLastBlock(text.data() + done, parities + 2 * done, count, k, last, out);
  } else {
    // A text shorter than a block, read from copies so that nothing outside it or its draws is
    // loaded.
    std::array<char, block> bytes{};
    std::array<std::uint8_t, 2 * block> draws{};
    std::memcpy(bytes.data(), text.data(), count);
    std::memcpy(draws.data(), parities, 2 * count);
    encoded = encodeBlock(load16(bytes.data()),
                          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(draws.data())),
                          static_cast<unsigned>(count), k, last, out);
  }
  return encoded ? text.size() : done;
}

}  // namespace

CIPHERS_AVX2 std::size_t avx2::encodeWalk(std::string_view text, const std::uint8_t* parities,
                                          std::int32_t& last, char*& out) {
  // The walk's value and the end of the output in registers: every store through `out` might
  // otherwise have changed them.
  std::int32_t value = last;
  char* end = out;
  const std::size_t done = encodeBlocks(text, parities, value, end);
  last = value;
  out = end;
  return done;
}
