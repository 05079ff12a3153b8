#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

// Hands out the given draws in order and counts them; asking for more fails the test.
class ScriptedDraws {
 public:
  explicit ScriptedDraws(std::vector<std::uint32_t> draws) : draws_(std::move(draws)) {}

  std::uint32_t operator()() {
    EXPECT_LT(used_, draws_.size()) << "more draws asked for than scripted";
    return used_ < draws_.size() ? draws_[used_++] : 0;
  }
  std::size_t used() const { return used_; }

 private:
  std::vector<std::uint32_t> draws_;
  std::size_t used_ = 0;
};

inline constexpr std::uint32_t odd = 1;
inline constexpr std::uint32_t even = 2;
