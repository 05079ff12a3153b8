#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// The sequence of std::mt19937 seeded with the same word, made 624 words at a time: the whole
// state is twisted and tempered in plain loops over arrays, which the compiler turns into vector
// code, and a draw only reads the next word. The standard engine twists and tempers one word
// per call, which made the draws a large part of a personal-method run. The first 624 words are
// made on seeding, so a copy of a seeded generator draws them without making them again.
class Mt19937 {
 public:
  using result_type = std::uint32_t;
  static constexpr std::size_t stateSize = 624;

  explicit Mt19937(std::uint32_t seed);

  static constexpr result_type min() { return 0; }
  static constexpr result_type max() { return 0xffffffff; }

  result_type operator()() {
    if (next_ == words_.size()) {
      refill();
    }
    return words_[next_++];
  }

  // The next draws, as many as `draws` holds, as if drawn one by one.
  void fill(std::span<result_type> draws) {
    while (!draws.empty()) {
      if (next_ == words_.size()) {
        refill();
      }
      const std::size_t count = std::min(draws.size(), words_.size() - next_);
      std::copy_n(words_.begin() + static_cast<std::ptrdiff_t>(next_), count, draws.begin());
      next_ += count;
      draws = draws.subspan(count);
    }
  }

  // The words still to be drawn before the next refill, at least one: a reader that takes them
  // straight from here, without copying, then draws them with skip.
  std::span<const result_type> upcoming() {
    if (next_ == words_.size()) {
      refill();
    }
    return std::span<const result_type>(words_).subspan(next_);
  }

  // Draws `count` words of upcoming() at once.
  void skip(std::size_t count) { next_ += count; }

 private:
  void refill();

  std::array<std::uint32_t, stateSize> state_{};
  std::array<std::uint32_t, stateSize> words_{};
  std::size_t next_ = 0;
};
