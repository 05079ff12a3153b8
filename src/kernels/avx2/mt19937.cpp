#include "avx2.hpp"
#include "portable/loops.hpp"

CIPHERS_AVX2 void avx2::refillMt19937(std::uint32_t* state, std::uint8_t* parities) {
  loops::twist(state);
  loops::findParities(state, parities);
}
