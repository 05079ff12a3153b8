#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "mt19937_rules.hpp"
#include "rot13_rules.hpp"

// Plain loops over fixed lengths, which the compiler turns into vector code as wide as the
// function they are inlined into is built for: the plain kernels and the x86-64 ones share them.
#define CIPHERS_ALWAYS_INLINE inline __attribute__((always_inline))

namespace loops {

// Rotates every character of a span in place, whole blocks of 32 first.
CIPHERS_ALWAYS_INLINE void rotate13(std::span<char> text) {
  constexpr std::size_t block = 32;
  for (; text.size() >= block; text = text.subspan(block)) {
    for (char& c : text.first<block>()) {
      c = rotated13(c);
    }
  }
  for (char& c : text) {
    c = rotated13(c);
  }
}

// Twists state[first, last), mixing each word with the one `offset` places away. Its reads never
// meet a word written in the same vector, so the loop can be vectorised.
template <std::size_t first, std::size_t last, std::ptrdiff_t offset>
CIPHERS_ALWAYS_INLINE void twistRange(std::uint32_t* state) {
  for (std::size_t i = first; i < last; ++i) {
    state[i] = mt19937_rules::twisted(state[i], state[i + 1], state[i + offset]);
  }
}

// Twists the whole state.
CIPHERS_ALWAYS_INLINE void twist(std::uint32_t* state) {
  using namespace mt19937_rules;
  constexpr std::size_t n = stateSize;
  constexpr auto ahead = static_cast<std::ptrdiff_t>(shift);
  constexpr auto behind = static_cast<std::ptrdiff_t>(shift) - static_cast<std::ptrdiff_t>(n);
  // The first n - shift words mix with old words ahead, the rest with new words behind. Each
  // range is cut after a multiple of 16 words, so that its loop is whole vectors of any width up
  // to 512 bits, which the compiler asks for before it vectorises.
  constexpr std::size_t wholeAhead = (n - shift) / 16 * 16;
  constexpr std::size_t wholeBehind = n - shift + (shift - 1) / 16 * 16;
  twistRange<0, wholeAhead, ahead>(state);
  twistRange<wholeAhead, n - shift, ahead>(state);
  twistRange<n - shift, wholeBehind, behind>(state);
  twistRange<wholeBehind, n - 1, behind>(state);
  state[n - 1] = twisted(state[n - 1], state[0], state[shift - 1]);
}

// The lowest bit of each word of state[first, last) when tempered.
template <std::size_t first, std::size_t last>
CIPHERS_ALWAYS_INLINE void findParitiesIn(const std::uint32_t* __restrict state,
                                          std::uint8_t* __restrict parities) {
  for (std::size_t i = first; i < last; ++i) {
    parities[i] = mt19937_rules::parity(state[i] & mt19937_rules::temperedLowBit);
  }
}

// The lowest bit of each word that the state gives when tempered. A byte is made of each word,
// so a vector of bytes takes 16, 32 or 64 words: the loops are cut at multiples of those, so that
// each is whole vectors. The vectoriser needs to be told that the two arrays are apart.
CIPHERS_ALWAYS_INLINE void findParities(const std::uint32_t* __restrict state,
                                        std::uint8_t* __restrict parities) {
  constexpr std::size_t n = mt19937_rules::stateSize;
  findParitiesIn<0, n / 64 * 64>(state, parities);
  findParitiesIn<n / 64 * 64, n / 32 * 32>(state, parities);
  findParitiesIn<n / 32 * 32, n>(state, parities);
}

}  // namespace loops
