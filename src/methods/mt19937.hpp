#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// The sequence of std::mt19937 seeded with the same word, its state twisted 624 words at a
// time in plain loops over arrays, which the compiler turns into vector code. A draw tempers the
// next word of the state. Beside the state, each refill makes the lowest bit of every word that
// the draws will give, which is all that most of the personal method's draws decide, so that a
// reader of many draws takes them from there without tempering a word. The first 624 words are
// made on seeding, so a copy of a seeded generator draws them without making them again.
class Mt19937 {
 public:
  using result_type = std::uint32_t;
  static constexpr std::size_t stateSize = 624;

  explicit Mt19937(std::uint32_t seed);

  static constexpr result_type min() { return 0; }
  static constexpr result_type max() { return 0xffffffff; }

  result_type operator()() {
    if (next_ == stateSize) {
      refill();
    }
    return tempered(state_[next_++]);
  }

  // The next draws, as many as `draws` holds, as if drawn one by one.
  void fill(std::span<result_type> draws) {
    std::generate(draws.begin(), draws.end(), [this] { return (*this)(); });
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

  // The word a draw gives for a word of the state.
  static constexpr result_type tempered(result_type word) {
    word ^= word >> 11;
    word ^= (word << 7) & 0x9d2c5680;
    word ^= (word << 15) & 0xefc60000;
    return word ^ (word >> 18);
  }

  // The lowest bit of a tempered word is the parity of these bits of the word before tempering.
  static constexpr result_type temperedLowBit = 0x20444009;

 private:
  void refill();

  std::array<std::uint32_t, stateSize> state_{};
  std::array<std::uint8_t, stateSize> parities_{};
  std::size_t next_ = 0;
};
