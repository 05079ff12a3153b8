#include "repeated_sequences.hpp"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

constexpr std::size_t sequenceLength = 3;
constexpr std::size_t sequences = 26 * 26 * 26;
constexpr std::size_t none = SIZE_MAX;

std::size_t sequenceAt(std::string_view capitals, std::size_t i) {
  std::size_t index = 0;
  for (std::size_t k = 0; k < sequenceLength; ++k) {
    index = index * 26 + static_cast<std::size_t>(capitals[i + k] - 'A');
  }
  return index;
}

struct Occurrences {
  std::vector<std::size_t> count = std::vector<std::size_t>(sequences, 0);
  std::vector<std::size_t> first = std::vector<std::size_t>(sequences, none);
};

}  // namespace

Repeats findRepeats(std::string_view capitals, std::size_t listed) {
  Repeats repeats;
  if (capitals.size() < sequenceLength) {
    return repeats;
  }
  const std::size_t starts = capitals.size() - sequenceLength + 1;
  Occurrences seen;
  std::vector<std::size_t> last(sequences, none);
  for (std::size_t i = 0; i < starts; ++i) {
    const std::size_t s = sequenceAt(capitals, i);
    if (last[s] != none) {
      const std::size_t distance = i - last[s];
      for (std::size_t p = CrackExplanation::firstDivisor; p <= maximumKeyLength; ++p) {
        repeats.divisors[p - CrackExplanation::firstDivisor] += distance % p == 0;
      }
    } else {
      seen.first[s] = i;
    }
    last[s] = i;
    ++seen.count[s];
  }
  std::vector<std::size_t> repeated;
  for (std::size_t s = 0; s < sequences; ++s) {
    if (seen.count[s] > 1) {
      repeated.push_back(s);
    }
  }
  std::sort(repeated.begin(), repeated.end(), [&seen](std::size_t a, std::size_t b) {
    return seen.count[a] != seen.count[b] ? seen.count[a] > seen.count[b]
                                          : seen.first[a] < seen.first[b];
  });
  repeated.resize(std::min(repeated.size(), listed));
  std::vector<std::size_t> rank(sequences, none);
  for (std::size_t r = 0; r < repeated.size(); ++r) {
    rank[repeated[r]] = r;
    repeats.listed.push_back(
        {std::string(capitals.substr(seen.first[repeated[r]], sequenceLength)), {}, {}});
  }
  for (std::size_t i = 0; i < starts; ++i) {
    const std::size_t r = rank[sequenceAt(capitals, i)];
    if (r != none) {
      CrackExplanation::Repeat& repeat = repeats.listed[r];
      if (!repeat.positions.empty()) {
        repeat.distances.push_back(i - repeat.positions.back());
      }
      repeat.positions.push_back(i);
    }
  }
  return repeats;
}
