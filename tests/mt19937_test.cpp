#include "mt19937.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>

// Over 2,000 draws, the state is twisted four times, the first time on seeding.
// Under every kernel set.
TEST(Mt19937, DrawsTheSequenceOfStdMt19937) {
  for (const KernelSet* set : availableKernelSets()) {
    for (const std::uint32_t seed : {0U, 1'765'180'800U, 0xFFFFFFFFU}) {
      Mt19937 ours(seed, *set);
      std::mt19937 standard(seed);
      for (int draw = 0; draw < 2000; ++draw) {
        ASSERT_EQ(ours(), standard()) << set->name << ", seed " << seed << ", draw " << draw;
      }
    }
  }
}

// The lowest bits that a reader takes in place are those of the words drawn one by one, across
// refills and from any point between them.
TEST(Mt19937, UpcomingParitiesAreTheLowestBitsOfTheDraws) {
  for (const KernelSet* set : availableKernelSets()) {
    Mt19937 ours(5489, *set);
    std::mt19937 standard(5489);
    for (int draw = 0; draw < 3000;) {
      const auto parities = ours.upcomingParities();
      const std::size_t taken = std::min<std::size_t>(parities.size(), 1 + draw % 500);
      for (std::size_t i = 0; i < taken; ++i, ++draw) {
        ASSERT_EQ(parities[i], standard() & 1) << set->name << ", draw " << draw;
      }
      ours.skip(taken);
      ASSERT_EQ(ours(), standard()) << set->name << ", draw " << draw++;
    }
  }
}
