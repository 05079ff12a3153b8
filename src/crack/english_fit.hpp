#pragma once

#include <cstddef>
#include <string_view>

// In English prose, literary or technical, the letters that follow a letter score some 52 to 56
// levels each (49 and more in passages of 20 letters); random letters between the same gaps,
// 21 to 24 (37 at most in 20 letters). Those letters alone tell: where most runs of letters are
// one letter long, as in random bytes, the gaps alone score as much as in English.
inline constexpr double englishMeanLevel = 40;

// How well a text reads as English: the score of its letters and of the runs of other bytes
// between them (english_statistics.hpp) that the Vigenere breaker searches by.
struct EnglishFit {
  // The log-probabilities of the text's symbols, each given the three before it, summed, each
  // above the floor.
  double nats = 0;
  std::size_t symbols = 0;  // those scored: all but the first three
  // Whether the letters that follow a letter score englishMeanLevel levels or more on average;
  // never for a text without such a letter after its first three symbols.
  bool readsAsEnglish = false;
};

EnglishFit englishFit(std::string_view text);
