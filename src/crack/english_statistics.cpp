#include "english_statistics.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>

#include "english/english_model_data.hpp"

namespace {

constexpr int levelSymbols = 64;
constexpr std::size_t trigramCount =
    EnglishStatistics::symbols * EnglishStatistics::symbols * EnglishStatistics::symbols;

// The value of each character of the encoded tables, -1 for a character that is none.
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

// Decodes a table into levels; a run is written as `unset` each, for the caller to fill.
constexpr std::uint8_t unset = 0xFF;

std::vector<std::uint8_t> decode(const char* const* pieces, std::size_t count, bool runs) {
  std::vector<std::uint8_t> values(count);
  std::size_t next = 0;
  for (const char* const* piece = pieces; *piece != nullptr; ++piece) {
    for (const char* symbol = *piece; *symbol != '\0'; ++symbol) {
      const int value = symbolValue(*symbol);
      if (value < 0 || (!runs && value >= levelSymbols)) {
        throw std::logic_error("an English table holds a character that is no level");
      }
      const std::size_t run =
          value < levelSymbols ? 1 : static_cast<std::size_t>(value - levelSymbols + 1);
      if (run > count - next) {
        throw std::logic_error("an English table holds more entries than it should");
      }
      std::fill_n(values.begin() + static_cast<std::ptrdiff_t>(next), run,
                  value < levelSymbols ? static_cast<std::uint8_t>(value) : unset);
      next += run;
    }
  }
  if (next != count) {
    throw std::logic_error("an English table does not hold every entry once");
  }
  return values;
}

std::vector<std::uint8_t> decodeFourgramLevels() {
  const std::vector<std::uint8_t> trigrams = decode(englishTrigramPieces, trigramCount, false);
  const std::vector<std::uint8_t> backoffs = decode(englishBackoffPieces, trigramCount, false);
  std::vector<std::uint8_t> levels =
      decode(englishFourgramPieces, EnglishStatistics::fourgramCount, true);
  for (std::size_t i = 0; i < levels.size(); ++i) {
    if (levels[i] == unset) {
      const int trigram = trigrams[i % trigramCount];
      const int backoff = backoffs[i / EnglishStatistics::symbols];
      levels[i] = static_cast<std::uint8_t>(std::max(0, trigram - backoff));
    }
  }
  return levels;
}

std::array<double, 26> letterLogProbabilities() {
  const double total = std::accumulate(englishLetterCounts.begin(), englishLetterCounts.end(), 0.0);
  std::array<double, 26> logProbability{};
  for (std::size_t i = 0; i < logProbability.size(); ++i) {
    // A letter the texts never used still gets half an occurrence, so no logarithm is infinite.
    const double count = std::max(0.5, static_cast<double>(englishLetterCounts[i]));
    logProbability[i] = std::log(count / total);
  }
  return logProbability;
}

}  // namespace

const EnglishStatistics& englishStatistics() {
  static const EnglishStatistics statistics{decodeFourgramLevels(), englishLevelStep,
                                            letterLogProbabilities()};
  return statistics;
}
