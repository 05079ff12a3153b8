// The personal method's decoder in 256-bit vectors: windows of 32 positions, each taken as the
// start of a group at once, the chain of up to eight groups from the first followed by pointer
// jumping, and those groups decoded and checked side by side.
#include <immintrin.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "avx2.hpp"
#include "digit_string.hpp"
#include "group_lines.hpp"
#include "personal_walk.hpp"

namespace {

constexpr std::size_t vectorBytes = 32;
// A window's positions, and the byte after them, read as the next digit of the last position.
constexpr std::size_t window = vectorBytes + 1;
// The groups one window takes at most: one 32-bit lane each.
constexpr unsigned groupsPerWindow = 8;
constexpr std::uint32_t allGroups = (1U << groupsPerWindow) - 1;
// No complete group starts at the last position or beyond it: a group has at least two bytes.
constexpr char lastPosition = vectorBytes - 1;

using Bytes = std::array<std::uint8_t, vectorBytes>;

template <class Byte>
constexpr Bytes eachByte(Byte byte) {
  Bytes bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<std::uint8_t>(byte(i));
  }
  return bytes;
}

using group_lines::isLengthDigit;
using group_lines::magnitudeLength;

// Tables looked up by a byte's low four bits in each 16-byte half (a byte with its top bit set
// looks up 0), for the values 0 to 9 of a digit.
template <class Entry>
constexpr Bytes table16(Entry entry) {
  return eachByte([&entry](std::size_t i) { return i % 16 < 10 ? entry(i % 16) : 0; });
}

// A group's whole length less two, by its length digit: without a sign mark, and with one.
// Where a byte is no digit, the length comes out as some other length: the group then ends
// past the run of digits, and is cut.
alignas(32) constexpr Bytes unmarkedLengths = table16([](std::size_t k) {
  return magnitudeLength(k) - 1;
});
alignas(32) constexpr Bytes magnitudeLengths = table16(magnitudeLength);
alignas(32) constexpr Bytes refusedLengthDigits = table16([](std::size_t k) {
  return isLengthDigit(k) ? 0 : 1;
});
alignas(32) constexpr Bytes positionsPlusTwo = eachByte([](std::size_t i) { return i + 2; });
alignas(32) constexpr Bytes positions = eachByte([](std::size_t i) { return i; });
// For the four bytes of each 32-bit lane: its group, and its place in the lane.
alignas(32) constexpr Bytes groupOfByte = eachByte([](std::size_t i) { return i / 4; });
alignas(32) constexpr Bytes placeInLane = eachByte([](std::size_t i) { return i % 4; });
// Beside a length digit's value, the bit that says it follows a sign mark.
constexpr char markBit = 0x10;

CIPHERS_AVX2 __m256i load(const Bytes& bytes) {
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(bytes.data()));
}

// The bytes of `table` at the indices (0 to 31) of `index`, across both halves.
CIPHERS_AVX2 __m256i permuteBytes(__m256i index, __m256i table) {
  const __m256i low = _mm256_permute2x128_si256(table, table, 0x00);
  const __m256i high = _mm256_permute2x128_si256(table, table, 0x11);
  // Bit 4 of an index, moved to the top of its byte, picks the half.
  return _mm256_blendv_epi8(_mm256_shuffle_epi8(low, index), _mm256_shuffle_epi8(high, index),
                            _mm256_slli_epi16(index, 3));
}

// Where each group of the chain from the window's first position starts (one in each of the
// first groupsPerWindow bytes), and where the last of them ends, given where each position
// leads on to.
struct Chain {
  __m256i starts;
  unsigned end;
};

CIPHERS_AVX2 Chain followGroups(__m256i next) {
  const __m256i second = permuteBytes(next, next);
  const __m256i fourth = permuteBytes(second, second);
  const __m256i eighth = permuteBytes(fourth, fourth);
  // Byte j takes the jumps of the bits of j: 1, 2 and 4 groups on.
  __m256i starts = _mm256_setzero_si256();
  starts = _mm256_blendv_epi8(starts, permuteBytes(starts, next),
                              _mm256_setr_epi8(0, -1, 0, -1, 0, -1, 0, -1, 0, 0, 0, 0, 0, 0, 0, 0,
                                               0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
  starts = _mm256_blendv_epi8(starts, permuteBytes(starts, second),
                              _mm256_setr_epi8(0, 0, -1, -1, 0, 0, -1, -1, 0, 0, 0, 0, 0, 0, 0, 0,
                                               0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
  starts = _mm256_blendv_epi8(starts, permuteBytes(starts, fourth),
                              _mm256_setr_epi8(0, 0, 0, 0, -1, -1, -1, -1, 0, 0, 0, 0, 0, 0, 0, 0,
                                               0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
  const auto end = static_cast<unsigned>(_mm_cvtsi128_si32(_mm256_castsi256_si128(eighth)));
  return {starts, end & 0xFF};
}

// Unsigned a >= b, byte by byte.
CIPHERS_AVX2 __m256i atLeast(__m256i a, __m256i b) {
  return _mm256_cmpeq_epi8(_mm256_max_epu8(a, b), a);
}

CIPHERS_AVX2 std::uint32_t byteMask(__m256i lanes) {
  return static_cast<std::uint32_t>(_mm256_movemask_epi8(lanes));
}

// The magnitudes, one in each 32-bit lane, of groups that end at `groupEnds` with magnitudes of
// `lengths` digits (one of each in each of the first byte lanes).
CIPHERS_AVX2 __m256i magnitudesOf(__m256i digits, __m256i groupEnds, __m256i lengths) {
  const __m256i group = load(groupOfByte);
  const __m256i place = load(placeInLane);
  const __m256i four = _mm256_set1_epi8(4);
  const __m256i laneEnds = permuteBytes(group, groupEnds);
  const __m256i laneLengths = permuteBytes(group, lengths);
  const __m256i inMagnitude = atLeast(_mm256_add_epi8(laneLengths, place), four);
  // Indices outside the window (in lanes of groups not taken) give bytes that are never used.
  const __m256i fromEnd = _mm256_and_si256(_mm256_sub_epi8(_mm256_add_epi8(laneEnds, place), four),
                                           _mm256_set1_epi8(0x1F));
  const __m256i lane = _mm256_and_si256(inMagnitude, permuteBytes(fromEnd, digits));
  // Pairs of digits as 10 a + b, then pairs of those as 100 ab + cd.
  const __m256i pairs = _mm256_maddubs_epi16(lane, _mm256_set1_epi16(0x010A));
  return _mm256_madd_epi16(pairs, _mm256_set1_epi32(0x00010064));
}

// Which groups have a negative value: a sign mark flips the sign from its group on.
std::uint32_t negativeGroups(std::uint32_t marks, std::int32_t last) {
  std::uint32_t flipped = marks;
  flipped ^= flipped << 1;
  flipped ^= flipped << 2;
  flipped ^= flipped << 4;
  return (last < 0 ? ~flipped : flipped) & allGroups;
}

// One bit a 32-bit lane from the top bits of its bytes.
CIPHERS_AVX2 std::uint32_t laneMask(__m256i lanes) {
  return static_cast<std::uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(lanes)));
}

struct Taken {
  unsigned groups;
  unsigned bytes;
};

// Reads the window at `group`, as the 512-bit windows do: takes the complete groups before the
// first one that is not complete, writing their bytes and moving `last` on; `broken` turns true
// where a group within the window breaks a rule (those before it are taken).
CIPHERS_AVX2 Taken decodeWindow(const char* group, std::int32_t& last, char* out, bool& broken) {
  const __m256i zeros = _mm256_setzero_si256();
  const __m256i ones = _mm256_set1_epi8(1);
  const __m256i zeroCharacters = _mm256_set1_epi8('0');
  const __m256i digits =
      _mm256_sub_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(group)), zeroCharacters);
  const __m256i nextDigits = _mm256_sub_epi8(
      _mm256_loadu_si256(reinterpret_cast<const __m256i*>(group + 1)), zeroCharacters);
  const std::uint32_t notDigits =
      ~byteMask(_mm256_cmpeq_epi8(_mm256_min_epu8(digits, _mm256_set1_epi8(9)), digits));
  const auto digitRun = static_cast<char>(std::countr_zero(notDigits));
  // A group starting at each position: a sign mark puts its length digit one further on.
  const __m256i marks = _mm256_cmpeq_epi8(digits, zeros);
  const __m256i lengthsHere =
      _mm256_blendv_epi8(_mm256_shuffle_epi8(load(unmarkedLengths), digits),
                         _mm256_shuffle_epi8(load(magnitudeLengths), nextDigits), marks);
  const __m256i ends = _mm256_add_epi8(load(positionsPlusTwo), lengthsHere);
  const __m256i lengthDigitsAndMarks =
      _mm256_blendv_epi8(digits, _mm256_or_si256(nextDigits, _mm256_set1_epi8(markBit)), marks);

  // Complete groups end within the run of digits; at a cut one the chain stops.
  const __m256i lastEnd = _mm256_set1_epi8(std::min(digitRun, lastPosition));
  const __m256i cut = _mm256_cmpgt_epi8(ends, lastEnd);  // ends stay below 64: signed will do
  const __m256i next = _mm256_blendv_epi8(ends, load(positions), cut);
  const Chain chain = followGroups(next);
  const __m256i starts = chain.starts;
  const __m256i groupEnds = permuteBytes(starts, ends);
  const std::uint32_t complete = ~byteMask(_mm256_cmpgt_epi8(groupEnds, lastEnd)) & allGroups;
  auto count = static_cast<unsigned>(std::countr_zero(~complete));

  const __m256i groupLengthDigits = permuteBytes(starts, lengthDigitsAndMarks);
  const __m256i groupLengths = _mm256_shuffle_epi8(load(magnitudeLengths), groupLengthDigits);
  const __m256i leadingDigits = permuteBytes(
      _mm256_and_si256(_mm256_sub_epi8(groupEnds, groupLengths), _mm256_set1_epi8(0x1F)), digits);
  const __m256i magnitudes = magnitudesOf(digits, groupEnds, groupLengths);
  const __m256i markBits = _mm256_set1_epi8(markBit);
  const std::uint32_t negative = negativeGroups(
      byteMask(_mm256_cmpeq_epi8(_mm256_and_si256(groupLengthDigits, markBits), markBits)) &
          allGroups,
      last);
  // The negative lanes, all ones, negate their magnitudes: (m ^ -1) + 1.
  const __m256i negativeLanes =
      _mm256_cmpgt_epi32(_mm256_and_si256(_mm256_set1_epi32(static_cast<int>(negative)),
                                          _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128)),
                         _mm256_setzero_si256());
  const __m256i values =
      _mm256_sub_epi32(_mm256_xor_si256(magnitudes, negativeLanes), negativeLanes);
  const __m256i before =
      _mm256_permutevar8x32_epi32(_mm256_blend_epi32(values, _mm256_set1_epi32(last), 0x80),
                                  _mm256_setr_epi32(7, 0, 1, 2, 3, 4, 5, 6));
  const __m256i steps = _mm256_abs_epi32(_mm256_sub_epi32(values, before));

  // The rules: a length digit that announces a length, no leading zero, no negative zero, no
  // step longer than a byte's.
  const std::uint32_t badByteLanes =
      byteMask(_mm256_cmpeq_epi8(
          _mm256_and_si256(_mm256_shuffle_epi8(load(refusedLengthDigits), groupLengthDigits), ones),
          ones)) |
      (byteMask(_mm256_cmpeq_epi8(leadingDigits, zeros)) &
       byteMask(_mm256_cmpgt_epi8(groupLengths, ones)));
  const std::uint32_t bad = (badByteLanes & allGroups) |
                            laneMask(_mm256_cmpgt_epi32(steps, _mm256_set1_epi32(longestStep))) |
                            (negative & laneMask(_mm256_cmpeq_epi32(magnitudes, zeros)));
  unsigned end = chain.end;
  if ((bad & ((1U << count) - 1)) != 0) [[unlikely]] {
    count = static_cast<unsigned>(std::countr_zero(bad));
    alignas(32) std::array<std::uint8_t, vectorBytes> startBytes{};
    _mm256_store_si256(reinterpret_cast<__m256i*>(startBytes.data()), starts);
    end = startBytes[count];
    broken = true;
  }
  if (count == 0) {
    return {0, 0};
  }
  alignas(32) std::array<std::int32_t, groupsPerWindow> valueLanes{};
  _mm256_store_si256(reinterpret_cast<__m256i*>(valueLanes.data()), values);
  // Each lane's low byte, packed into the low bytes: the bytes of the groups in order. All eight
  // are stored: the output, with room for the input's size, is a window ahead of them.
  const __m256i packed = _mm256_shuffle_epi8(
      steps, _mm256_setr_epi8(0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, 4, 8,
                              12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1));
  const auto low = static_cast<std::uint32_t>(_mm256_extract_epi32(packed, 0));
  const auto high = static_cast<std::uint32_t>(_mm256_extract_epi32(packed, 4));
  const std::uint64_t bytes = std::uint64_t{high} << 32 | low;
  std::memcpy(out, &bytes, sizeof bytes);
  last = valueLanes[count - 1];
  return {count, end};
}

}  // namespace

CIPHERS_AVX2 const char* avx2::decodeGroupWindows(const char* group, const char* end,
                                                  GroupReading& reading) {
  GroupReading state = reading;
  bool broken = false;
  while (end - group >= static_cast<std::ptrdiff_t>(window) && !broken) {
    const Taken taken = decodeWindow(group, state.last, state.out, broken);
    state.out += taken.groups;
    group += taken.bytes;
    // A window leaves at least a byte after it. Lines are short: the next one goes on here.
    if (!broken && beginsLineEnd(*group)) {
      const char* const next = group_lines::readLineStart(group, end, state);
      if (next == group) {
        break;
      }
      group = next;
    } else if (taken.groups == 0) {
      break;
    }
  }
  reading = state;
  return group;
}
