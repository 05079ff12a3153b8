#include "english_statistics.hpp"

#include <cmath>
#include <numeric>
#include <stdexcept>

#include "english/english_quadgram_data.hpp"

namespace {

constexpr int levelSymbols = 64;

// The value of each symbol of the encoded table, -1 for a character that is none.
constexpr auto symbolValues = [] {
  std::array<int, 128> values{};
  values.fill(-1);
  int next = 0;
  for (int c = '#'; c <= '~'; ++c) {
    if (c != '\\' && c != '?') {
      values[c] = next++;
    }
  }
  return values;
}();

int symbolValue(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code < symbolValues.size() ? symbolValues[code] : -1;
}

std::vector<std::uint8_t> decodeQuadgramLevels() {
  std::vector<std::uint8_t> levels;
  levels.reserve(EnglishStatistics::quadgramCount);
  for (const char* const* piece = englishQuadgramPieces; *piece != nullptr; ++piece) {
    for (const char* symbol = *piece; *symbol != '\0'; ++symbol) {
      const int value = symbolValue(*symbol);
      if (value < 0) {
        throw std::logic_error("the quadgram table holds a character that is no symbol");
      }
      if (value < levelSymbols) {
        levels.push_back(static_cast<std::uint8_t>(value));
      } else {
        const int run = value - levelSymbols + 1;
        levels.insert(levels.end(), static_cast<std::size_t>(run), 0);
      }
    }
  }
  if (levels.size() != EnglishStatistics::quadgramCount) {
    throw std::logic_error("the quadgram table does not hold every quadgram once");
  }
  return levels;
}

std::array<double, 26> letterLogProbabilities() {
  const double total = std::accumulate(englishLetterCounts.begin(), englishLetterCounts.end(), 0.0);
  std::array<double, 26> logProbability{};
  for (std::size_t i = 0; i < logProbability.size(); ++i) {
    // A letter the prose never used still gets half an occurrence, so no logarithm is infinite.
    const double count = std::max(0.5, static_cast<double>(englishLetterCounts[i]));
    logProbability[i] = std::log(count / total);
  }
  return logProbability;
}

}  // namespace

const EnglishStatistics& englishStatistics() {
  static const EnglishStatistics statistics{decodeQuadgramLevels(), englishQuadgramStep,
                                            letterLogProbabilities()};
  return statistics;
}
