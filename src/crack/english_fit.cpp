#include "english_fit.hpp"

#include <array>
#include <cstdint>

#include "ascii.hpp"
#include "english_statistics.hpp"

EnglishFit englishFit(std::string_view text) {
  const EnglishStatistics& statistics = englishStatistics();
  constexpr std::size_t alphabet = 26;
  std::array<std::size_t, 4> window{};  // the last four letters' alphabet positions
  std::size_t letters = 0;
  std::uint64_t levels = 0;
  for (const char c : text) {
    if (!isAsciiLetter(c)) {
      continue;
    }
    window = {window[1], window[2], window[3], static_cast<std::size_t>(toAsciiUpper(c) - 'A')};
    if (++letters >= window.size()) {
      const std::size_t index =
          ((window[0] * alphabet + window[1]) * alphabet + window[2]) * alphabet + window[3];
      levels += statistics.quadgramLevels[index];
    }
  }
  EnglishFit fit;
  fit.quadgrams = letters >= window.size() ? letters - (window.size() - 1) : 0;
  fit.nats = static_cast<double>(levels) * statistics.levelStep;
  fit.readsAsEnglish =
      fit.quadgrams > 0 &&
      static_cast<double>(levels) >= englishMeanLevel * static_cast<double>(fit.quadgrams);
  return fit;
}
