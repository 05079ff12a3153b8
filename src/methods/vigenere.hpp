#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "kernels.hpp"
#include "secret.hpp"
#include "vigenere_rules.hpp"

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
  explicit VigenereStream(std::string_view key, const KernelSet& kernels = chosenKernels());

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
  std::size_t period_ = 0;    // a whole number of keys, and at least vigenereLookAhead
  std::size_t position_ = 0;  // the key letter due next, within the period
  const KernelSet* kernels_;
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
