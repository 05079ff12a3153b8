#include "english_fit.hpp"

#include <cstdint>

#include "ascii.hpp"
#include "english_statistics.hpp"

EnglishFit englishFit(std::string_view text) {
  const EnglishStatistics& statistics = englishStatistics();
  constexpr std::size_t symbols = EnglishStatistics::symbols;
  constexpr std::size_t contexts = symbols * symbols * symbols;
  // The last three symbols, as the index of their triple; the text begins as after a non-letter.
  std::size_t context = EnglishStatistics::nonLetter;
  std::size_t read = 1;
  bool afterNonLetter = true;
  EnglishFit fit;
  std::uint64_t levels = 0;
  std::uint64_t wordLevels = 0;  // those of letters after a letter
  std::size_t wordLetters = 0;
  const auto score = [&](std::size_t symbol) {
    if (read >= 3) {
      const std::uint8_t level = statistics.fourgramLevels[context * symbols + symbol];
      levels += level;
      ++fit.symbols;
      if (symbol != EnglishStatistics::nonLetter &&
          context % symbols != EnglishStatistics::nonLetter) {
        wordLevels += level;
        ++wordLetters;
      }
    }
    context = (context * symbols + symbol) % contexts;
    ++read;
  };
  for (const char c : text) {
    if (isAsciiLetter(c)) {
      score(static_cast<std::size_t>(toAsciiUpper(c) - 'A'));
      afterNonLetter = false;
    } else if (!afterNonLetter) {
      score(EnglishStatistics::nonLetter);
      afterNonLetter = true;
    }
  }
  fit.nats = static_cast<double>(levels) * statistics.levelStep;
  fit.readsAsEnglish = wordLetters > 0 && static_cast<double>(wordLevels) >=
                                              englishMeanLevel * static_cast<double>(wordLetters);
  return fit;
}
