#include "mt19937.hpp"

Mt19937::Mt19937(std::uint32_t seed, const KernelSet& kernels) : kernels_(&kernels) {
  state_[0] = seed;
  for (std::uint32_t i = 1; i < stateSize; ++i) {
    const std::uint32_t previous = state_[i - 1];
    state_[i] = 1812433253U * (previous ^ (previous >> 30)) + i;
  }
  refill();
}
