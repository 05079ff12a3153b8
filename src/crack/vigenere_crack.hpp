#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The letters of a ciphertext that the cracker reads, upper-cased and in order: the first
// sampleLimit of them, fed chunk by chunk. They give each letter of the longest key looked for
// over 50 letters, where the accuracy benchmark finds every key; more would only take longer,
// so the rest are counted and dropped.
class CrackSample {
 public:
  static constexpr std::size_t sampleLimit = 2048;

  void add(std::string_view chunk);

  const std::string& letters() const { return letters_; }
  // Every letter added, those beyond the sample included.
  std::uint64_t letterCount() const { return count_; }

 private:
  std::string letters_;
  std::uint64_t count_ = 0;
};

// Keys of up to this many letters are looked for.
inline constexpr std::size_t maximumKeyLength = 40;

// A text shorter than this many letters for each letter of the key found is too short to be
// sure of the key: from there on the accuracy benchmark finds the key in at least 95 of 100
// English passages. A key as long as the text fits it whatever the text says.
inline constexpr std::size_t minimumLettersPerKeyLetter = 12;

enum class CrackVerdict {
  sure,
  tooShort,
  // The text holds too few different letters for English, as one letter repeated does: any
  // key of the period fits it.
  tooFewLetters,
  // The text deciphered under the key found does not score as English does: the key may be
  // longer than maximumKeyLength, or the text not English, or not enciphered this way.
  notEnglish,
};

struct VigenereCrack {
  // Capitals: the shortest period of the key found, so ABAB is given as AB.
  std::string key;
  CrackVerdict verdict = CrackVerdict::tooShort;
};

// The key that deciphers the sample into the likeliest English; nothing when the sample holds
// no letter.
std::optional<VigenereCrack> crackVigenere(const CrackSample& sample);
