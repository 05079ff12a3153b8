#pragma once

#include <cstddef>
#include <string_view>

// English deciphered under its key scores some 33 to 39 levels a quadgram, depending on its
// length; a ciphertext of a few hundred letters or more deciphered under a wrong key, fewer
// than 20.
inline constexpr double englishMeanLevel = 27;

// How well a text's ASCII letters, taken in order and upper-cased, read as English: the
// quadgram score that the Vigenere breaker climbs by.
struct EnglishFit {
  // The log-probabilities of the letters' quadgrams, summed, each above the floor that a
  // quadgram never seen in English gets.
  double nats = 0;
  std::size_t quadgrams = 0;
  // Whether the quadgrams score englishMeanLevel levels or more on average; never for a text of
  // fewer than four letters.
  bool readsAsEnglish = false;
};

EnglishFit englishFit(std::string_view text);
