#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// How English uses letters and the gaps between words: what the Vigenere breaker and the English
// fit score a candidate plaintext by. Built from several megabytes of books, manuals and
// licences (english/README.md says which, and how to rebuild).
//
// A text is read as a string of symbols: the letters A to Z (upper-cased) as 0 to 25, and every
// run of bytes that are not ASCII letters as one symbol, nonLetter, as if the text began with
// one. Each symbol after the first three has a log-probability given the three before it.
struct EnglishStatistics {
  static constexpr std::size_t symbols = 27;
  static constexpr std::uint8_t nonLetter = 26;
  static constexpr std::size_t fourgramCount = symbols * symbols * symbols * symbols;

  // For each four symbols a b c d, at index ((a * 27 + b) * 27 + c) * 27 + d, a level from 0 to
  // 63: the log-probability of d after a b c, in steps of levelStep nats above the floor, the
  // level of a symbol that English all but never uses there.
  std::vector<std::uint8_t> fourgramLevels;
  double levelStep = 0;
  // The natural logarithm of each letter's probability.
  std::array<double, 26> letterLogProbability{};
};

// Decoded from the compiled-in tables on the first call; the same object on every call.
const EnglishStatistics& englishStatistics();
