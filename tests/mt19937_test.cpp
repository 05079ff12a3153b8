#include "mt19937.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

// Over 2,000 draws, the state is twisted four times, the first time on seeding.
TEST(Mt19937, DrawsTheSequenceOfStdMt19937) {
  for (const std::uint32_t seed : {0U, 1'765'180'800U, 0xFFFFFFFFU}) {
    Mt19937 ours(seed);
    std::mt19937 standard(seed);
    for (int draw = 0; draw < 2000; ++draw) {
      ASSERT_EQ(ours(), standard()) << "seed " << seed << ", draw " << draw;
    }
  }
}
