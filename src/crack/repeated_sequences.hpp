#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "vigenere_crack.hpp"

// The three-letter sequences that a text's capitals repeat: the `listed` most frequent, ties by
// their first position, each with every position; and over the distances of all of them, how
// many each period from CrackExplanation::firstDivisor to maximumKeyLength divides.
struct Repeats {
  std::vector<CrackExplanation::Repeat> listed;
  decltype(CrackExplanation::divisors) divisors{};
};

Repeats findRepeats(std::string_view capitals, std::size_t listed);
