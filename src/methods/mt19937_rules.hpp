#pragma once

#include <cstddef>
#include <cstdint>

// The rules of std::mt19937's twist and tempering, for the loops that make its words.
namespace mt19937_rules {

inline constexpr std::size_t stateSize = 624;
inline constexpr std::size_t shift = 397;  // each new word is mixed with the one this far ahead
inline constexpr std::uint32_t upperBit = 0x80000000;
inline constexpr std::uint32_t twistMatrix = 0x9908b0df;

constexpr std::uint32_t twisted(std::uint32_t word, std::uint32_t nextWord, std::uint32_t far) {
  const std::uint32_t joined = (word & upperBit) | (nextWord & ~upperBit);
  // The matrix where the lowest bit is set, as a mask: vector loops take it in fewer steps than a
  // choice.
  return far ^ (joined >> 1) ^ (twistMatrix & (0U - (joined & 1)));
}

// The word a draw gives for a word of the state.
constexpr std::uint32_t tempered(std::uint32_t word) {
  word ^= word >> 11;
  word ^= (word << 7) & 0x9d2c5680;
  word ^= (word << 15) & 0xefc60000;
  return word ^ (word >> 18);
}

// The lowest bit of a tempered word is the parity of these bits of the word before tempering.
inline constexpr std::uint32_t temperedLowBit = 0x20444009;

// The parity of a word's bits, folded down into its lowest bit.
constexpr std::uint8_t parity(std::uint32_t word) {
  word ^= word >> 16;
  word ^= word >> 8;
  word ^= word >> 4;
  word ^= word >> 2;
  word ^= word >> 1;
  return static_cast<std::uint8_t>(word & 1);
}

}  // namespace mt19937_rules
