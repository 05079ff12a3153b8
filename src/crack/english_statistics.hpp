#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// How English prose uses letters: what the Vigenere cracker scores a candidate plaintext by.
// Built from five of Jane Austen's novels (english/README.md says which, and how to rebuild).
struct EnglishStatistics {
  static constexpr std::size_t quadgramCount = std::size_t{26} * 26 * 26 * 26;

  // For each quadgram, index ((a * 26 + b) * 26 + c) * 26 + d of its letters' alphabet
  // positions, a level from 0 to 63: its log-probability, in steps of levelStep nats above the
  // floor that every quadgram never seen in the prose gets.
  std::vector<std::uint8_t> quadgramLevels;
  double levelStep = 0;
  // The natural logarithm of each letter's probability.
  std::array<double, 26> letterLogProbability{};
};

// Decoded from the compiled-in tables on the first call; the same object on every call.
const EnglishStatistics& englishStatistics();
