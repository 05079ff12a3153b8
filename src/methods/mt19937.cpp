#include "mt19937.hpp"

#include "vector_clones.hpp"

// MinGW's compiler does not keep the stack aligned for 512-bit vectors, so Windows builds make
// the parities in the plain loop.
#if defined(__x86_64__) && !defined(_WIN32)
#include <immintrin.h>
#define CIPHERS_PARITY_COUNTS 1
#endif

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

using State = std::array<std::uint32_t, Mt19937::stateSize>;
using Parities = std::array<std::uint8_t, Mt19937::stateSize>;

// The parity of a word's bits, folded down into its lowest bit.
constexpr std::uint8_t parity(std::uint32_t word) {
  word ^= word >> 16;
  word ^= word >> 8;
  word ^= word >> 4;
  word ^= word >> 2;
  word ^= word >> 1;
  return static_cast<std::uint8_t>(word & 1);
}

// Twists state[first, last), mixing each word with the one `offset` places away. Its reads
// never meet a word written in the same vector, so the loop can be vectorised. Always
// inlined, so that it is vectorised as its caller is built.
template <std::size_t first, std::size_t last, std::ptrdiff_t offset>
CIPHERS_ALWAYS_INLINE void twistRange(State& state) {
  for (std::size_t i = first; i < last; ++i) {
    state[i] = twisted(state[i], state[i + 1], state[i + offset]);
  }
}

// Twists the whole state.
CIPHERS_WIDE_VECTOR_CLONES void twist(State& state) {
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
}

// The lowest bit of each word of state[first, last) when tempered. Always inlined, so that it
// is vectorised as its caller is built.
template <std::size_t first, std::size_t last>
CIPHERS_ALWAYS_INLINE void findParitiesIn(const State& __restrict state,
                                          Parities& __restrict parities) {
  for (std::size_t i = first; i < last; ++i) {
    parities[i] = parity(state[i] & Mt19937::temperedLowBit);
  }
}

// The lowest bit of each word that the state gives when tempered. A byte is made of each word,
// so a vector of bytes takes 16, 32 or 64 words: the loops are cut at multiples of those, so
// that each is whole vectors, which the compiler asks for before it vectorises. The vectoriser
// needs to be told that the two arrays are apart.
CIPHERS_VECTOR_CLONES void findParities(const State& __restrict state,
                                        Parities& __restrict parities) {
  constexpr std::size_t n = Mt19937::stateSize;
  findParitiesIn<0, n / 64 * 64>(state, parities);
  findParitiesIn<n / 64 * 64, n / 32 * 32>(state, parities);
  findParitiesIn<n / 32 * 32, n>(state, parities);
}

#ifdef CIPHERS_PARITY_COUNTS
// The same with the processor's count of a vector's bits, 16 words at a time.
__attribute__((target("avx512f,avx512bw,avx512vl,avx512vpopcntdq"))) void countParities(
    const State& state, Parities& parities) {
  const __m512i kept = _mm512_set1_epi32(static_cast<int>(Mt19937::temperedLowBit));
  const __m512i one = _mm512_set1_epi32(1);
  static_assert(Mt19937::stateSize % 16 == 0);
  for (std::size_t i = 0; i < state.size(); i += 16) {
    const __m512i words = _mm512_loadu_si512(state.data() + i);
    const __m512i bits = _mm512_popcnt_epi32(_mm512_and_si512(words, kept));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(parities.data() + i),
                     _mm512_maskz_cvtepi32_epi8(0xFFFF, _mm512_and_si512(bits, one)));
  }
}

bool hasParityCounts() {
  static const bool has =
      __builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512bw") != 0 &&
      __builtin_cpu_supports("avx512vl") != 0 && __builtin_cpu_supports("avx512vpopcntdq") != 0;
  return has;
}
#endif

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
  twist(state_);
#ifdef CIPHERS_PARITY_COUNTS
  if (hasParityCounts()) {
    countParities(state_, parities_);
    next_ = 0;
    return;
  }
#endif
  findParities(state_, parities_);
  next_ = 0;
}
