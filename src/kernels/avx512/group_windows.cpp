// Reads windows of groups all at once, with AVX-512's byte permutes (VBMI).
#include <algorithm>
#include <array>
#include <bit>

// GCC 12 warns that the intrinsics' own placeholder for an unused operand may be uninitialized.
#pragma GCC diagnostic push
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#pragma GCC diagnostic pop

#include "avx512.hpp"
#include "digit_string.hpp"
#include "group_lines.hpp"
#include "personal_walk.hpp"

namespace {

// The bytes that one window of groups looks at; a window is read only where this many are left.
constexpr std::size_t groupWindow = 65;

// The groups one window reads at most: one 32-bit lane of a vector each.
constexpr unsigned groupsPerWindow = 16;
constexpr std::uint32_t allGroups = (1U << groupsPerWindow) - 1;
// A window's positions, one in each byte of a vector; the window's last byte is read only as
// the next digit of its last position.
constexpr std::size_t vectorBytes = groupWindow - 1;
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

// Tables looked up by the low four bits of a byte in each 16-byte lane (a byte with its top bit
// set looks up 0).
template <class Entry>
constexpr Bytes table16(Entry entry) {
  return eachByte([&entry](std::size_t i) { return i % 16 < 10 ? entry(i % 16) : 0; });
}

// A group's whole length, less two, by its length digit: without a sign mark, and with one.
// Where a byte is no digit, the length comes out as some other length of at least two: the
// group is then cut, and what would follow it is never read; but every position still leads
// on to a later one.
alignas(64) constexpr Bytes unmarkedLengths = table16([](std::size_t k) {
  return magnitudeLength(k) - 1;
});
alignas(64) constexpr Bytes magnitudeLengths = table16(magnitudeLength);
// Whether a length digit is one the writer never writes.
alignas(64) constexpr Bytes refusedLengthDigits = table16([](std::size_t k) {
  return isLengthDigit(k) ? 0 : 1;
});
// Each position's own index, and that plus two.
alignas(64) constexpr Bytes positions = eachByte([](std::size_t i) { return i; });
alignas(64) constexpr Bytes positionsPlusTwo = eachByte([](std::size_t i) { return i + 2; });
// Beside a length digit's value, the bit that says it follows a sign mark.
constexpr char markBit = 0x10;

// For the four bytes of each 32-bit lane: its group, and its place in the lane.
alignas(64) constexpr Bytes groupOfByte = eachByte([](std::size_t i) { return i / 4; });
alignas(64) constexpr Bytes placeInLane = eachByte([](std::size_t i) { return i % 4; });

CIPHERS_AVX512 __m512i load(const Bytes& bytes) {
  return _mm512_load_si512(bytes.data());
}

// The chain of groups from the window's first position, given where each position leads on to:
// where a group starting there ends, or the position itself where that group is cut.
struct Chain {
  __m512i starts;  // where each group starts, one in each of the first groupsPerWindow lanes
  unsigned end;    // where the last of those groups, or the first one cut, ends or starts
};

// Pointer jumping: where each position leads 2, 4, 8 and 16 groups on. The end comes from the
// last alone, in a few steps, so that the next window can start early; each lane of the starts
// takes the jumps of its number's bits.
CIPHERS_AVX512 Chain followGroups(__m512i next) {
  const __m512i second = _mm512_permutexvar_epi8(next, next);
  const __m512i fourth = _mm512_permutexvar_epi8(second, second);
  const __m512i eighth = _mm512_permutexvar_epi8(fourth, fourth);
  const __m512i sixteenth = _mm512_permutexvar_epi8(eighth, eighth);
  __m512i starts = _mm512_setzero_si512();
  starts = _mm512_mask_permutexvar_epi8(starts, 0xAAAA, starts, next);
  starts = _mm512_mask_permutexvar_epi8(starts, 0xCCCC, starts, second);
  starts = _mm512_mask_permutexvar_epi8(starts, 0xF0F0, starts, fourth);
  starts = _mm512_mask_permutexvar_epi8(starts, 0xFF00, starts, eighth);
  const auto end = static_cast<unsigned>(_mm_cvtsi128_si32(_mm512_castsi512_si128(sixteenth)));
  return {starts, end & 0xFF};
}

// The magnitudes, one in each 32-bit lane, of groups that end at `groupEnds` with magnitudes of
// `lengths` digits (one of each in each of the first byte lanes).
CIPHERS_AVX512 __m512i magnitudesOf(__m512i digits, __m512i groupEnds, __m512i lengths) {
  // Each lane takes the four digits before its group's end, zeroing those before the magnitude.
  const __m512i group = load(groupOfByte);
  const __m512i place = load(placeInLane);
  const __m512i laneEnds = _mm512_permutexvar_epi8(group, groupEnds);
  const __m512i laneLengths = _mm512_permutexvar_epi8(group, lengths);
  const __mmask64 inMagnitude =
      _mm512_cmpge_epu8_mask(_mm512_add_epi8(laneLengths, place), _mm512_set1_epi8(4));
  const __m512i fromEnd = _mm512_sub_epi8(_mm512_add_epi8(laneEnds, place), _mm512_set1_epi8(4));
  const __m512i lane = _mm512_maskz_permutexvar_epi8(inMagnitude, fromEnd, digits);
  // Pairs of digits as 10 a + b, then pairs of those as 100 ab + cd.
  const __m512i pairs = _mm512_maddubs_epi16(lane, _mm512_set1_epi16(0x010A));
  return _mm512_madd_epi16(pairs, _mm512_set1_epi32(0x00010064));
}

// Which groups have a negative value: a sign mark flips the sign from its group on.
std::uint32_t negativeGroups(std::uint32_t marks, std::int32_t last) {
  std::uint32_t flipped = marks;
  flipped ^= flipped << 1;
  flipped ^= flipped << 2;
  flipped ^= flipped << 4;
  flipped ^= flipped << 8;
  return (last < 0 ? ~flipped : flipped) & allGroups;
}

CIPHERS_AVX512 std::int32_t lane32(__m512i vector, unsigned lane) {
  const __m512i picked =
      _mm512_permutexvar_epi32(_mm512_set1_epi32(static_cast<int>(lane)), vector);
  return _mm_cvtsi128_si32(_mm512_castsi512_si128(picked));
}

// The byte in lane `lane` (below 16) of the vector, taken out with scalar shifts: the next
// window waits for it.
CIPHERS_AVX512 unsigned byteOf(__m512i vector, unsigned lane) {
  const __m128i low = _mm512_castsi512_si128(vector);
  const auto half =
      static_cast<std::uint64_t>(lane < 8 ? _mm_cvtsi128_si64(low) : _mm_extract_epi64(low, 1));
  return static_cast<unsigned>(half >> (8 * (lane % 8))) & 0xFF;
}

// What one window gave: the groups it took, and the bytes they took up.
struct Taken {
  unsigned groups;
  unsigned bytes;
};

// Reads the window at `group`: every position is taken as the start of a group at once, then
// the chain of groups from the first position is followed in a few permutes, and all of them are
// decoded and checked side by side. Takes the complete groups before the first one that is not
// complete, writing their bytes and moving `last` on; `broken` turns true where a group within
// the window breaks a rule (those before it are taken).
CIPHERS_AVX512 Taken decodeWindow(const char* group, std::int32_t& last, char* out, bool& broken) {
  const __m512i zeros = _mm512_setzero_si512();
  const __m512i ones = _mm512_set1_epi8(1);
  const __m512i digits = _mm512_sub_epi8(_mm512_loadu_si512(group), _mm512_set1_epi8('0'));
  // Each position's next digit: the window reads one byte more than a vector holds.
  const __m512i nextDigits = _mm512_sub_epi8(_mm512_loadu_si512(group + 1), _mm512_set1_epi8('0'));
  const __mmask64 notDigits = _mm512_cmpge_epu8_mask(digits, _mm512_set1_epi8(10));
  const auto digitRun = static_cast<char>(std::countr_zero(notDigits));
  // A group starting at each position: a sign mark puts its length digit one further on.
  const __mmask64 marks = _mm512_cmpeq_epi8_mask(digits, zeros);
  const __m512i lengthsHere =
      _mm512_mask_shuffle_epi8(_mm512_shuffle_epi8(load(unmarkedLengths), digits), marks,
                               load(magnitudeLengths), nextDigits);
  const __m512i ends = _mm512_add_epi8(load(positionsPlusTwo), lengthsHere);
  // What each position's group needs checked: its length digit, and whether a mark comes first.
  const __m512i lengthDigitsAndMarks =
      _mm512_mask_blend_epi8(marks, digits, _mm512_or_si512(nextDigits, _mm512_set1_epi8(markBit)));

  // Complete groups end within the run of digits (and before the last position, which no
  // complete group starts at); at a cut one the chain stops.
  const __m512i lastEnd = _mm512_set1_epi8(std::min(digitRun, lastPosition));
  const __m512i next =
      _mm512_mask_blend_epi8(_mm512_cmpgt_epu8_mask(ends, lastEnd), ends, load(positions));
  const Chain chain = followGroups(next);
  const __m512i starts = chain.starts;
  const __m512i groupEnds = _mm512_permutexvar_epi8(starts, ends);
  // The complete groups come first, as the ends only grow.
  const auto complete =
      static_cast<std::uint32_t>(_mm512_cmple_epu8_mask(groupEnds, lastEnd) & allGroups);
  auto count = static_cast<unsigned>(std::countr_zero(~complete));

  const __m512i groupLengthDigits = _mm512_permutexvar_epi8(starts, lengthDigitsAndMarks);
  const __m512i groupLengths = _mm512_shuffle_epi8(load(magnitudeLengths), groupLengthDigits);
  const __m512i leadingDigits =
      _mm512_permutexvar_epi8(_mm512_sub_epi8(groupEnds, groupLengths), digits);
  const __m512i magnitudes = magnitudesOf(digits, groupEnds, groupLengths);
  const std::uint32_t negative = negativeGroups(
      static_cast<std::uint32_t>(
          _mm512_test_epi8_mask(groupLengthDigits, _mm512_set1_epi8(markBit)) & allGroups),
      last);
  const __m512i values =
      _mm512_mask_sub_epi32(magnitudes, static_cast<__mmask16>(negative), zeros, magnitudes);
  const __m512i steps = _mm512_abs_epi32(
      _mm512_sub_epi32(values, _mm512_alignr_epi32(values, _mm512_set1_epi32(last), 15)));

  // The rules: a length digit that announces a length, no leading zero, no negative zero, no step
  // longer than longestStep.
  const std::uint64_t badByteLanes =
      _mm512_test_epi8_mask(_mm512_shuffle_epi8(load(refusedLengthDigits), groupLengthDigits),
                            ones) |
      (_mm512_cmpeq_epi8_mask(leadingDigits, zeros) & _mm512_cmpgt_epu8_mask(groupLengths, ones));
  const std::uint32_t bad = (static_cast<std::uint32_t>(badByteLanes) & allGroups) |
                            _mm512_cmpgt_epi32_mask(steps, _mm512_set1_epi32(longestStep)) |
                            (negative & _mm512_cmpeq_epi32_mask(magnitudes, zeros));
  // A branch of its own, seldom taken, so that the next window need not wait for the checks.
  unsigned end = chain.end;
  if ((bad & ((1U << count) - 1)) != 0) [[unlikely]] {
    count = static_cast<unsigned>(std::countr_zero(bad));
    end = byteOf(starts, count);
    broken = true;
  }
  if (count == 0) {
    return {0, 0};
  }
  _mm512_mask_cvtepi32_storeu_epi8(out, static_cast<__mmask16>((1U << count) - 1), steps);
  last = lane32(values, count - 1);
  return {count, end};
}

}  // namespace

CIPHERS_AVX512 const char* avx512::decodeGroupWindows(const char* group, const char* end,
                                                      GroupReading& reading) {
  GroupReading state = reading;  // kept in registers
  bool broken = false;
  while (end - group >= static_cast<std::ptrdiff_t>(groupWindow) && !broken) {
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
