#include "mt19937.hpp"

#include "vector_clones.hpp"

// The twist is also built for 512-bit vectors, which halve its time again where the processor
// has them.
#if defined(__x86_64__) && defined(__ELF__)
#define CIPHERS_WIDE_VECTOR_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define CIPHERS_WIDE_VECTOR_CLONES CIPHERS_VECTOR_CLONES
#endif

namespace {

constexpr std::size_t shift = 397;  // the word each new word is mixed with lies this far ahead
constexpr std::uint32_t upperBit = 0x80000000;
constexpr std::uint32_t twistMatrix = 0x9908b0df;

constexpr std::uint32_t twisted(std::uint32_t word, std::uint32_t nextWord, std::uint32_t far) {
  const std::uint32_t joined = (word & upperBit) | (nextWord & ~upperBit);
  return far ^ (joined >> 1) ^ ((joined & 1) != 0 ? twistMatrix : 0);
}

constexpr std::uint32_t tempered(std::uint32_t word) {
  word ^= word >> 11;
  word ^= (word << 7) & 0x9d2c5680;
  word ^= (word << 15) & 0xefc60000;
  return word ^ (word >> 18);
}

using State = std::array<std::uint32_t, Mt19937::stateSize>;

// Twists state[first, last), mixing each word with the one `offset` places away. Its reads
// never meet a word written in the same vector, so the loop can be vectorised. Always
// inlined, so that it is vectorised as its caller is built.
template <std::size_t first, std::size_t last, std::ptrdiff_t offset>
CIPHERS_ALWAYS_INLINE void twistRange(State& state) {
  for (std::size_t i = first; i < last; ++i) {
    state[i] = twisted(state[i], state[i + 1], state[i + offset]);
  }
}

// Twists the whole state and tempers it into the next words. The vectoriser needs to be told
// that the two arrays are apart.
CIPHERS_WIDE_VECTOR_CLONES void twistAndTemper(State& __restrict state, State& __restrict words) {
  constexpr std::size_t n = Mt19937::stateSize;
  constexpr auto ahead = static_cast<std::ptrdiff_t>(shift);
  constexpr auto behind = static_cast<std::ptrdiff_t>(shift) - static_cast<std::ptrdiff_t>(n);
  // The first n - shift words mix with old words ahead, the rest with new words behind. Each
  // range is cut after a multiple of 16 words, so that its loop is whole vectors of any width
  // up to 512 bits, which the compiler asks for before it vectorises.
  constexpr std::size_t wholeAhead = (n - shift) / 16 * 16;
  constexpr std::size_t wholeBehind = n - shift + (shift - 1) / 16 * 16;
  twistRange<0, wholeAhead, ahead>(state);
  twistRange<wholeAhead, n - shift, ahead>(state);
  twistRange<n - shift, wholeBehind, behind>(state);
  twistRange<wholeBehind, n - 1, behind>(state);
  state[n - 1] = twisted(state[n - 1], state[0], state[shift - 1]);
  for (std::size_t i = 0; i < n; ++i) {
    words[i] = tempered(state[i]);
  }
}

}  // namespace

Mt19937::Mt19937(std::uint32_t seed) {
  state_[0] = seed;
  for (std::uint32_t i = 1; i < stateSize; ++i) {
    const std::uint32_t previous = state_[i - 1];
    state_[i] = 1812433253U * (previous ^ (previous >> 30)) + i;
  }
  refill();
}

void Mt19937::refill() {
  twistAndTemper(state_, words_);
  next_ = 0;
}
