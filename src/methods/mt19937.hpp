#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "kernels.hpp"
#include "mt19937_rules.hpp"

// The sequence of std::mt19937 seeded with the same word, its state twisted 624 words at a time
// by the kernels. A draw tempers the next word of the state. Beside the state, each refill makes
// the lowest bit of every word that the draws will give, which is all that most of the personal
// method's draws decide, so that a reader of many draws takes them from there without tempering a
// word. The first 624 words are made on seeding, so a copy of a seeded generator draws them
// without making them again.
class Mt19937 {
 public:
  using result_type = std::uint32_t;
  static constexpr std::size_t stateSize = mt19937_rules::stateSize;
  static_assert(stateSize == mt19937StateSize);

  explicit Mt19937(std::uint32_t seed, const KernelSet& kernels = chosenKernels());

  static constexpr result_type min() { return 0; }
  static constexpr result_type max() { return 0xffffffff; }

  result_type operator()() {
    if (next_ == stateSize) {
      refill();
    }
    return mt19937_rules::tempered(state_[next_++]);
  }

  // The lowest bits (0 or 1, a byte each) of the draws still to come before the next refill, at
  // least one: a reader that takes them from here then draws them with skip.
  std::span<const std::uint8_t> upcomingParities() {
    if (next_ == stateSize) {
      refill();
    }
    return std::span<const std::uint8_t>(parities_).subspan(next_, stateSize - next_);
  }

  // Draws `count` words of upcomingParities() at once.
  void skip(std::size_t count) { next_ += count; }

 private:
  void refill() {
    kernels_->refillMt19937(state_.data(), parities_.data());
    next_ = 0;
  }

  std::array<std::uint32_t, stateSize> state_{};
  std::array<std::uint8_t, stateSize> parities_{};
  std::size_t next_ = 0;
  const KernelSet* kernels_;
};
