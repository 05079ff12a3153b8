// The personal method's decoder in 256-bit vectors. The line is cut into blocks of 16 bytes at
// fixed places, two blocks a window, one in each 128-bit half. Each block works out, from its
// own bytes alone, where a group starting at each of its positions ends, and from that, with
// in-half shuffles only, where the chain of groups leaves the block from each place it may enter
// (a group is at most six bytes long, so it enters within its first six). The only work that
// waits on the window before is then one shuffle a block: the chain's place of entry. The groups
// of each block, eight at most, are decoded side by side in 16-bit lanes.
#include <immintrin.h>

#include <array>
#include <bit>
#include <cstring>

#include "avx2.hpp"
#include "digit_string.hpp"
#include "group_lines.hpp"
#include "personal_walk.hpp"

namespace {

constexpr std::size_t blockBytes = 16;
constexpr std::size_t windowBytes = 2 * blockBytes;
// The bytes from a block's start that its groups may take.
constexpr unsigned groupReach = blockBytes + longestGroup - 1;
// The bytes a window reads: the second block's digit run is looked at over 32 bytes, and the
// next digit of each of them.
constexpr std::ptrdiff_t windowReach = windowBytes + blockBytes + 1;
// The groups that start in a block at most: one 16-bit lane each.
constexpr unsigned slotsPerBlock = 8;
// Beside a place of entry, the bit that says the chain went on into the block (a shuffle does
// not look at it); a place without it is where the chain was cut.
constexpr char enteredBit = 0x40;

using Bytes = std::array<std::uint8_t, windowBytes>;

template <class Byte>
constexpr Bytes eachByte(Byte byte) {
  Bytes bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<std::uint8_t>(byte(i));
  }
  return bytes;
}

// Tables looked up by a byte's low four bits in each half (a byte with its top bit set looks up
// 0), for the values 0 to 9 of a digit.
template <class Entry>
constexpr Bytes table16(Entry entry) {
  return eachByte([&entry](std::size_t i) { return i % 16 < 10 ? entry(i % 16) : 0; });
}

constexpr std::uint8_t announced(std::size_t k) {
  return static_cast<std::uint8_t>(
      digit_string_detail::announcedDigits(static_cast<char>('0' + k)));
}

// The digits of a magnitude by its length digit, 0 for a length digit the writer never writes:
// at a group's first byte (where 0 is a sign mark, whose length digit comes next), and after a
// sign mark.
alignas(32) constexpr Bytes unmarkedLengths = table16([](std::size_t k) {
  return k == 0 ? 0 : announced(k);
});
alignas(32) constexpr Bytes markedLengths = table16(announced);
alignas(32) constexpr Bytes blockPositions = eachByte([](std::size_t i) { return i % 16; });
alignas(32) constexpr Bytes positionsPlusOne = eachByte([](std::size_t i) { return i % 16 + 1; });
// The least magnitude of each length, as 16-bit words: a magnitude below it has a leading zero.
// A length of 0 (a refused length digit) takes one that no magnitude reaches.
alignas(32) constexpr Bytes leastMagnitudes = eachByte([](std::size_t i) {
  constexpr std::array<std::uint16_t, 8> least{0x7FFF, 0, 10, 100, 1000, 0, 0, 0};
  return least[i % 16 / 2] >> (8 * (i % 2));
});
// The digits of each length, as the low half-bytes of 16-bit words.
alignas(32) constexpr Bytes magnitudeDigits = eachByte([](std::size_t i) {
  constexpr std::array<std::uint16_t, 8> digits{0, 0x000F, 0x00FF, 0x0FFF, 0xFFFF, 0, 0, 0};
  return digits[i % 16 / 2] >> (8 * (i % 2));
});

CIPHERS_AVX2 __m256i load(const Bytes& bytes) {
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(bytes.data()));
}

// Constants that every byte (or 16-bit lane) repeats. They are read from memory, as the
// compiler cannot see into the load: it would build each of them anew in every window, with
// instructions of its own.
template <class Lanes>
CIPHERS_AVX2 __m256i opaqueLoad(const Lanes& lanes) {
  __m256i vector;
  asm("vmovdqa %1, %0" : "=x"(vector) : "m"(lanes));
  return vector;
}

template <std::uint8_t byte>
alignas(32) constexpr Bytes repeated = eachByte([](std::size_t) { return byte; });
template <std::uint8_t byte>
CIPHERS_AVX2 __m256i every() {
  return opaqueLoad(repeated<byte>);
}
// The same for a pair of bytes in each 16-bit lane, low one first.
template <std::uint8_t low, std::uint8_t high>
alignas(32) constexpr Bytes repeatedPair = eachByte([](std::size_t i) {
  return i % 2 == 0 ? low : high;
});
template <std::uint8_t low, std::uint8_t high>
CIPHERS_AVX2 __m256i everyPair() {
  return opaqueLoad(repeatedPair<low, high>);
}

CIPHERS_AVX2 __m256i digitsAt(const char* at) {
  return _mm256_sub_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)), every<'0'>());
}

// The top bit set in each byte that is no digit: 0 to 9 stay below 0x80 when 0x76 is added, and
// all the rest reach it.
CIPHERS_AVX2 __m256i notDigits(__m256i digits) {
  return _mm256_adds_epu8(digits, every<0x76>());
}

// One bit a byte: whether it is no digit.
CIPHERS_AVX2 std::uint32_t notDigitMask(__m256i digits) {
  return static_cast<std::uint32_t>(_mm256_movemask_epi8(notDigits(digits)));
}

// How many bytes from the front are digits, up to 31: no group reaches so far.
unsigned digitRun(std::uint32_t notDigitBits) {
  return static_cast<unsigned>(std::countr_zero(notDigitBits | 1U << 31));
}

CIPHERS_AVX2 __m256i shuffle(__m256i table, __m256i index) {
  return _mm256_shuffle_epi8(table, index);
}

// Each digit and the next as the two halves of a byte, to be read two at a time. A byte that is
// no digit spoils the next byte, which no complete group takes: it is past the run of digits.
CIPHERS_AVX2 __m256i digitPairs(__m256i digits, __m256i nextDigits) {
  return _mm256_or_si256(_mm256_slli_epi16(digits, 4), nextDigits);
}

// What each position of the window's two blocks says of a group starting there, positions and
// ends counted from the block's own start.
struct Links {
  __m256i marks;    // all ones at a sign mark
  __m256i lengths;  // the digits of the magnitude; 0 where the length digit is refused
  __m256i ends;     // the byte after the group, up to 21
  __m256i jumps;    // the next group's start; the position itself where that is not in the block
  __m256i exits;    // by the place of entry: the next block's one with enteredBit, or the cut
  __m256i jumps2;   // two and four groups on, as jumps
  __m256i jumps4;
  __m256i pairs;       // each digit and the next, as digitPairs gives them
  __m256i pairsAfter;  // the same for the 16 bytes after the block
};

// One more than the run of digits from each block's start, in each byte of its half.
CIPHERS_AVX2 __m256i digitRunsPlusOne(std::uint32_t notDigitBits, std::uint32_t notDigitBitsAfter) {
  const unsigned both = (digitRun(notDigitBits) + 1) | (digitRun(notDigitBitsAfter) + 1) << 8;
  return shuffle(_mm256_set1_epi16(static_cast<std::int16_t>(both)),
                 _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  //
                                  1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1));
}

// Where the chain goes on from each position, as all ones: where its group is whole and ends
// in the block. And where the chain leaves the block from each position: the next block's place
// of entry with enteredBit, or the position itself where its group is cut.
struct Steps {
  __m256i goesOn;
  __m256i exits;
};

// Ends and runs stay below 64, where signed comparisons will do.
CIPHERS_AVX2 Steps stepsOf(__m256i digits, __m256i digitsAfter, __m256i ends) {
  // From an end of 16 to 21, the next block's place of entry and enteredBit.
  const __m256i entries = _mm256_add_epi8(ends, every<enteredBit - blockBytes>());
  // Most windows are digits as far as their groups reach (lines are longer), and then no group is
  // cut. The second block's bytes are those of the first from 16 on.
  const std::uint32_t notDigitBits = notDigitMask(digits);
  const std::uint32_t notDigitBitsAfter = notDigitMask(digitsAfter);
  if (((notDigitBits | notDigitBitsAfter) & ((1U << groupReach) - 1)) == 0) [[likely]] {
    return {_mm256_cmpgt_epi8(every<blockBytes>(), ends), entries};
  }
  const __m256i runsPlusOne = digitRunsPlusOne(notDigitBits, notDigitBitsAfter);
  const __m256i whole = _mm256_cmpgt_epi8(runsPlusOne, ends);
  return {_mm256_cmpgt_epi8(_mm256_min_epu8(runsPlusOne, every<blockBytes>()), ends),
          _mm256_min_epu8(entries, _mm256_or_si256(load(blockPositions), whole))};
}

// Every position taken as the start of a group: where it ends, and, with jumps doubled, where a
// chain entering the block at each position leaves it. A group is cut, and the chain stops
// there, where it reaches past the block's run of digits.
CIPHERS_AVX2 Links linksOf(const char* window) {
  const __m256i digits = digitsAt(window);
  const __m256i nextDigits = digitsAt(window + 1);
  const __m256i digitsAfter = digitsAt(window + blockBytes);
  Links links{};
  links.pairs = digitPairs(digits, nextDigits);
  links.pairsAfter = digitPairs(digitsAfter, digitsAt(window + blockBytes + 1));
  links.marks = _mm256_cmpeq_epi8(digits, every<0>());
  links.lengths =
      _mm256_or_si256(shuffle(load(unmarkedLengths), digits),
                      _mm256_and_si256(links.marks, shuffle(load(markedLengths), nextDigits)));
  // A group: its mark, its length digit and its magnitude.
  links.ends = _mm256_sub_epi8(_mm256_add_epi8(load(positionsPlusOne), links.lengths), links.marks);
  // Ends only grow: a position whose group is cut or leaves the block is the one below its end.
  const Steps steps = stepsOf(digits, digitsAfter, links.ends);
  links.jumps = _mm256_min_epu8(links.ends, _mm256_or_si256(load(blockPositions), steps.goesOn));
  // Eight jumps reach the last group of the block from any place: a group has two bytes at least.
  links.jumps2 = shuffle(links.jumps, links.jumps);
  links.jumps4 = shuffle(links.jumps2, links.jumps2);
  links.exits = shuffle(steps.exits, shuffle(links.jumps4, links.jumps4));
  return links;
}

// Where the groups of each block start, from its place of entry (in each byte of its half): in
// the first eight bytes of the half, the entry and then 1 to 7 jumps on, each doubling the last.
CIPHERS_AVX2 __m256i groupStarts(__m256i entries, const Links& links) {
  const __m256i one = _mm256_unpacklo_epi8(entries, shuffle(links.jumps, entries));
  const __m256i two = _mm256_unpacklo_epi16(one, shuffle(links.jumps2, one));
  return _mm256_unpacklo_epi32(two, shuffle(links.jumps4, two));
}

// The magnitudes of the groups, each in its 16-bit lane, from the groups' ends: the four digits
// before the end as the halves of two bytes, those before the magnitude masked off by `kept`,
// then each byte as 10 a + b and the two as 100 hi + lo.
CIPHERS_AVX2 __m256i magnitudesOf(const Links& links, __m256i wordEnds, __m256i kept) {
  // The low byte of each lane reads from 2 before the end, the high byte from 4 before it, in the
  // block's bytes or in those after it: an index of 16 or more (here offset by 0x70) has its top
  // bit set and looks up 0, as does one below 16 (here offset by -16).
  const __m256i inBlock = _mm256_add_epi8(wordEnds, everyPair<0x70 - 2, 0x70 - 4>());
  const __m256i after = _mm256_add_epi8(wordEnds, everyPair<0x100 - 18, 0x100 - 20>());
  const __m256i digits = _mm256_and_si256(
      _mm256_or_si256(shuffle(links.pairs, inBlock), shuffle(links.pairsAfter, after)), kept);
  // 10 a + b is the byte 16 a + b less 6 a, taken as 2 a + 4 a (no half-byte crosses a byte).
  const __m256i tens = _mm256_and_si256(_mm256_srli_epi16(digits, 4), every<0x0F>());
  const __m256i bytes = _mm256_sub_epi8(
      digits, _mm256_add_epi8(_mm256_slli_epi16(tens, 1), _mm256_slli_epi16(tens, 2)));
  return _mm256_maddubs_epi16(bytes, everyPair<1, 100>());
}

// What one window gives, in 16-bit lanes, slot j of a half being the block's group j.
struct Groups {
  __m256i values;
  __m256i steps;
  __m256i bad;     // all ones where a group breaks a rule
  __m256i repeat;  // all ones past the block's last group, where the slots repeat it
};

// Decodes the groups of both blocks, entering at `entries`, after the value `last` (in each
// lane). The slots past a block's last group repeat it, so that the last slot of the low half
// holds the value that the high half's first step starts from.
CIPHERS_AVX2 Groups decodeGroups(const Links& links, __m256i entries, __m256i last) {
  const __m256i starts = groupStarts(entries, links);
  const __m256i wordStarts = _mm256_unpacklo_epi8(starts, starts);
  Groups groups{};
  groups.repeat = _mm256_cmpeq_epi16(wordStarts, _mm256_alignr_epi8(wordStarts, every<0xFF>(), 14));
  // Each group's place in tables of a 16-bit word for each length.
  const __m256i wordLengths = shuffle(links.lengths, wordStarts);
  const __m256i byLength =
      _mm256_add_epi16(_mm256_add_epi8(wordLengths, wordLengths), everyPair<0, 1>());
  const __m256i magnitudes = magnitudesOf(links, shuffle(links.ends, wordStarts),
                                          shuffle(load(magnitudeDigits), byLength));

  // A sign mark flips the sign from its group on: the marks' running parity, across the halves,
  // and the sign of the value before.
  __m256i flips = _mm256_andnot_si256(groups.repeat, shuffle(links.marks, wordStarts));
  flips = _mm256_xor_si256(flips, _mm256_slli_si256(flips, 2));
  flips = _mm256_xor_si256(flips, _mm256_slli_si256(flips, 4));
  flips = _mm256_xor_si256(flips, _mm256_slli_si256(flips, 8));
  const __m256i lowHalfFlips =
      shuffle(_mm256_permute2x128_si256(flips, flips, 0x08), everyPair<14, 15>());
  const __m256i negative =
      _mm256_xor_si256(_mm256_xor_si256(flips, lowHalfFlips), _mm256_srai_epi16(last, 15));
  groups.values = _mm256_sub_epi16(_mm256_xor_si256(magnitudes, negative), negative);
  const __m256i before =
      _mm256_alignr_epi8(groups.values, _mm256_permute2x128_si256(groups.values, last, 0x02), 14);
  groups.steps = _mm256_abs_epi16(_mm256_sub_epi16(groups.values, before));

  // The rules: a length digit that announces a length, no leading zero, no negative zero, no
  // step longer than a byte's.
  const __m256i least = shuffle(load(leastMagnitudes), byLength);
  groups.bad = _mm256_or_si256(
      _mm256_or_si256(_mm256_cmpgt_epi16(least, magnitudes),
                      _mm256_cmpgt_epi16(groups.steps, everyPair<longestStep, 0>())),
      _mm256_and_si256(negative, _mm256_cmpeq_epi16(magnitudes, _mm256_setzero_si256())));
  return groups;
}

// Two bits a 16-bit lane from the top bits of its bytes.
CIPHERS_AVX2 std::uint32_t wordMask(__m256i lanes) {
  return static_cast<std::uint32_t>(_mm256_movemask_epi8(lanes));
}

// The lanes of the first `count` slots of a half, as wordMask gives them.
constexpr std::uint32_t firstSlots(unsigned count) {
  return (1U << (2 * count)) - 1;
}

CIPHERS_AVX2 std::int32_t valueAt(__m256i values, unsigned slot) {
  alignas(32) std::array<std::int16_t, 2 * slotsPerBlock> lanes{};
  _mm256_store_si256(reinterpret_cast<__m256i*>(lanes.data()), values);
  return lanes[slot];
}

// The value of the last slot of the high half, in every lane.
CIPHERS_AVX2 __m256i lastValue(__m256i values) {
  return shuffle(_mm256_permute4x64_epi64(values, 0xFF), everyPair<6, 7>());
}

// Writes the steps of the first `low` groups of the low half and `high` of the high half. Eight
// bytes are stored for each: the output, with room for the input's size, is well ahead of them.
CIPHERS_AVX2 char* writeSteps(__m256i steps, unsigned low, unsigned high, char* out) {
  const __m256i bytes = _mm256_packus_epi16(steps, steps);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(bytes));
  out += low;
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm256_extracti128_si256(bytes, 1));
  return out + high;
}

// Where the reading of blocks stands: the place of entry of the next block, with enteredBit, in
// each byte, and the value before it in each 16-bit lane.
struct Chain {
  __m128i entry;
  __m256i last;
};

CIPHERS_AVX2 Chain chainAt(std::int32_t last) {
  return {_mm_set1_epi8(enteredBit), _mm256_set1_epi16(static_cast<std::int16_t>(last))};
}

CIPHERS_AVX2 unsigned entryOf(__m128i entry) {
  return static_cast<unsigned>(_mm_cvtsi128_si32(entry)) & 0x0F;
}

// What became of a window whose chain was cut: where, and whether its groups were all taken.
struct Cut {
  const char* at;
  bool taken;
};

// Takes the groups of a window before the place where its chain was cut, if none of them breaks
// a rule, moving `state` on.
CIPHERS_AVX2 Cut takeUntilCut(const char* window, const Groups& groups, __m128i second,
                              __m128i next, GroupReading& state) {
  const std::uint32_t kept = ~wordMask(groups.repeat);
  // The cut place's own slot is the last one that does not repeat the one before.
  const auto lowSlots = static_cast<unsigned>(std::popcount(kept & 0xFFFF)) / 2;
  const auto highSlots = static_cast<unsigned>(std::popcount(kept >> 16)) / 2;
  const bool lowCut = (_mm_cvtsi128_si32(second) & enteredBit) == 0;
  const unsigned low = lowCut ? lowSlots - 1 : lowSlots;
  const unsigned high = lowCut ? 0 : highSlots - 1;
  if ((wordMask(groups.bad) & (firstSlots(low) | firstSlots(high) << 16)) != 0) {
    return {window, false};
  }
  state.out = writeSteps(groups.steps, low, high, state.out);
  if (high > 0) {
    state.last = valueAt(groups.values, slotsPerBlock + high - 1);
  } else if (low > 0) {
    state.last = valueAt(groups.values, low - 1);
  }
  return {lowCut ? window + entryOf(second) : window + blockBytes + entryOf(next), true};
}

}  // namespace

CIPHERS_AVX2 const char* avx2::decodeGroupWindows(const char* group, const char* end,
                                                  GroupReading& reading) {
  GroupReading state = reading;
  Chain chain = chainAt(state.last);
  const char* window = group;
  while (end - window >= windowReach) {
    const Links links = linksOf(window);
    // The one step that waits on the window before: each block's place of entry.
    const __m128i second = _mm_shuffle_epi8(_mm256_castsi256_si128(links.exits), chain.entry);
    const __m128i next = _mm_shuffle_epi8(_mm256_extracti128_si256(links.exits, 1), second);
    const __m256i entries = _mm256_and_si256(_mm256_setr_m128i(chain.entry, second), every<0x0F>());
    const Groups groups = decodeGroups(links, entries, chain.last);
    if ((_mm_cvtsi128_si32(_mm_and_si128(second, next)) & enteredBit) == 0) [[unlikely]] {
      state.last = valueAt(chain.last, 0);
      const Cut cut = takeUntilCut(window, groups, second, next, state);
      if (!cut.taken) {
        break;
      }
      // Lines are short: where the chain was cut at a line end, the next one goes on here.
      if (!beginsLineEnd(*cut.at)) {
        reading = state;
        return cut.at;
      }
      window = group_lines::readLineStart(cut.at, end, state);
      if (window == cut.at) {
        reading = state;
        return window;
      }
      chain = chainAt(state.last);
      continue;
    }
    const std::uint32_t kept = ~wordMask(groups.repeat);
    if ((wordMask(groups.bad) & kept) != 0) [[unlikely]] {
      break;
    }
    state.out = writeSteps(groups.steps, static_cast<unsigned>(std::popcount(kept & 0xFFFF)) / 2,
                           static_cast<unsigned>(std::popcount(kept >> 16)) / 2, state.out);
    chain.last = lastValue(groups.values);
    chain.entry = next;
    window += windowBytes;
  }
  // The chain stands at the block at `window`: its first group is where the careful reading goes
  // on.
  state.last = valueAt(chain.last, 0);
  reading = state;
  return window + entryOf(chain.entry);
}
