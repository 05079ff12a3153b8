#include "loops.hpp"
#include "portable.hpp"

void portable::refillMt19937(std::uint32_t* state, std::uint8_t* parities) {
  loops::twist(state);
  loops::findParities(state, parities);
}
