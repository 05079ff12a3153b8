#include "vigenere.hpp"

#include <cstdint>
#include <stdexcept>

#include "ascii.hpp"

namespace {

// For each key row, the column of each capital: deciphering looks it up instead of searching.
constexpr auto columnOf = [] {
  std::array<std::array<std::uint8_t, alphabetSize>, alphabetSize> table{};
  for (int r = 0; r < alphabetSize; ++r) {
    for (int letter = 0; letter < alphabetSize; ++letter) {
      table[r][letter] =
          static_cast<std::uint8_t>(*findInRow(vigenere[r], static_cast<char>('A' + letter)));
    }
  }
  return table;
}();

// Hands out the upper-cased key characters in turn, starting again after the last.
class KeyCycle {
 public:
  explicit KeyCycle(std::string_view key) : key_(key) {
    if (key_.empty()) {
      throw std::invalid_argument("a key cycle needs a key of at least one character");
    }
  }

  char next() {
    const char k = toAsciiUpper(key_[position_]);
    if (++position_ == key_.size()) {
      position_ = 0;
    }
    return k;
  }

 private:
  std::string_view key_;
  std::size_t position_ = 0;
};

// Every text character gives one column, so the rows are sized once and filled in place.
VigenereRows sizedRows(std::size_t count) {
  return {std::string(count, '\0'), std::string(count, '\0'), std::string(count, '\0'),
          std::string(count, '\0')};
}

void setColumn(VigenereRows& rows, std::size_t i, char plain, char keyletter, char cipher,
               char decrypted) {
  rows.plaintext[i] = plain;
  rows.keyletter[i] = keyletter;
  rows.ciphertext[i] = cipher;
  rows.decrypttext[i] = decrypted;
}

}  // namespace

bool holdsLetter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), isAsciiLetter);
}

bool acceptsKey(std::string_view text, std::string_view key) {
  return !holdsLetter(text) || (!key.empty() && std::all_of(key.begin(), key.end(), isAsciiLetter));
}

VigenereRows encipherVigenere(std::string_view text, std::string_view key) {
  if (!acceptsKey(text, key)) {
    throw std::invalid_argument("the key cannot encipher this text");
  }
  if (!holdsLetter(text)) {
    const std::string unchanged(text);
    return {unchanged, unchanged, unchanged, unchanged};
  }
  VigenereRows rows = sizedRows(text.size());
  KeyCycle keys(key);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char p = toAsciiUpper(text[i]);
    if (!isAsciiUpper(p)) {
      setColumn(rows, i, p, p, p, p);
      continue;
    }
    const char k = keys.next();
    const int row = k - 'A';
    const char x = vigenere[row][p - 'A'];
    setColumn(rows, i, p, k, x, vigenere[0][columnOf[row][x - 'A']]);
  }
  return rows;
}
