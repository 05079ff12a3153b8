#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "secret.hpp"

inline constexpr int alphabetSize = 26;

// Row r holds the alphabet shifted left by r places: the cell in row r, column c is the letter
// 'A' + (r + c) mod 26. A key letter selects the row, a text letter the column.
using VigenereRow = std::array<char, alphabetSize>;
using VigenereMatrix = std::array<VigenereRow, alphabetSize>;

constexpr VigenereMatrix buildVigenereMatrix() {
  VigenereMatrix matrix{};
  for (int r = 0; r < alphabetSize; ++r) {
    for (int c = 0; c < alphabetSize; ++c) {
      // 'A' + r + c is at most 'A' + 50, so one subtraction brings it back into A to Z.
      const int cell = 'A' + r + c;
      matrix[r][c] = static_cast<char>(cell > 'Z' ? cell - alphabetSize : cell);
    }
  }
  return matrix;
}

// Built once, by the compiler.
inline constexpr VigenereMatrix vigenere = buildVigenereMatrix();

// The first column of the row whose cell holds the letter; nothing when no cell does.
constexpr std::optional<std::size_t> findInRow(const VigenereRow& row, char letter) {
  const auto* cell = std::find(row.begin(), row.end(), letter);
  if (cell == row.end()) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(cell - row.begin());
}

// The four rows of a run, one element per text character; letters are upper-cased, every other
// character, NUL included, stands unchanged at its place in all four.
struct VigenereRows {
  std::string plaintext;
  std::string keyletter;
  std::string ciphertext;
  std::string decrypttext;
};

// Whether the key is one or more of the 52 ASCII letters and nothing else.
bool isVigenereKey(std::string_view key);

// A message enciphered or deciphered in pieces of any size: the key runs on from one piece to
// the next. Letters are upper-cased and shifted by the key letter due; every other byte stands
// unchanged and uses up no key letter.
class VigenereStream {
 public:
  // Throws std::invalid_argument for a key that isVigenereKey refuses.
  explicit VigenereStream(std::string_view key);

  // Letters are shifted this many bytes at a time where the processor can.
  static constexpr std::size_t block = 32;

  void encipher(std::span<char> text) { shift(text, encipherShifts_); }
  void decipher(std::span<char> text) { shift(text, decipherShifts_); }
  // Puts in place of each letter the upper-case key letter that enciphers it.
  void showKeyLetters(std::span<char> text);

  // Starts again from the key's first letter, for another message.
  void restart() { position_ = 0; }

 private:
  void shift(std::span<char> text, const Secret& shifts);

  // They tell the key, so their buffers are wiped when they go.
  Secret encipherShifts_;     // the key letters' rows, 0 to 25, repeated
  Secret decipherShifts_;     // the rows that shift back: 26 - row, modulo 26
  std::size_t period_ = 0;    // a whole number of keys, and at least a block
  std::size_t position_ = 0;  // the key letter due next, within the period
};

// Whether the text holds one of the 52 ASCII letters.
bool holdsLetter(std::string_view text);

// Whether the key, as typed, can encipher the text: when the text holds a letter, a key of one
// or more ASCII letters and nothing else; a text without letters never consults its key, so any
// key will do, none included.
bool acceptsKey(std::string_view text, std::string_view key);

// Enciphers the whole text under the key, applied cyclically from its first character to the
// letters only, and deciphers the result back. Throws std::invalid_argument for a key that
// acceptsKey refuses for this text.
VigenereRows encipherVigenere(std::string_view text, std::string_view key);
