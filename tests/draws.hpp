#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "ciphers/digit_string.hpp"

// Hands out the given draws in order and counts them; asking for more fails the test.
class ScriptedDraws {
 public:
  explicit ScriptedDraws(std::vector<std::uint32_t> draws)
      : state_(std::make_shared<State>(State{std::move(draws), 0})) {}

  Draw draw() const {
    return [state = state_] {
      EXPECT_LT(state->used, state->draws.size()) << "more draws asked for than scripted";
      return state->used < state->draws.size() ? state->draws[state->used++] : 0;
    };
  }
  std::size_t used() const { return state_->used; }

 private:
  struct State {
    std::vector<std::uint32_t> draws;
    std::size_t used;
  };
  std::shared_ptr<State> state_;
};

inline constexpr std::uint32_t odd = 1;
inline constexpr std::uint32_t even = 2;
