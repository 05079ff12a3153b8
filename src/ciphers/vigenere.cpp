#include "vigenere.hpp"

#include <cstdint>
#include <stdexcept>

#include "ascii.hpp"

namespace {

using ShiftTable = std::array<std::array<char, 256>, alphabetSize>;

// For each key row, every byte as enciphered under it: a letter upper-cased and looked up in the
// matrix, any other byte unchanged. Indexed by the byte as unsigned char.
constexpr ShiftTable shiftTable = [] {
  ShiftTable table{};
  for (std::size_t row = 0; row < alphabetSize; ++row) {
    for (std::size_t byte = 0; byte < 256; ++byte) {
      const char c = toAsciiUpper(static_cast<char>(byte));
      table[row][byte] = isAsciiUpper(c) ? vigenere[row][static_cast<std::size_t>(c - 'A')] : c;
    }
  }
  return table;
}();

constexpr auto letterTable = [] {
  std::array<std::uint8_t, 256> letters{};
  for (std::size_t byte = 0; byte < 256; ++byte) {
    letters[byte] = isAsciiLetter(static_cast<char>(byte)) ? 1 : 0;
  }
  return letters;
}();

}  // namespace

bool isVigenereKey(std::string_view key) {
  return !key.empty() && std::all_of(key.begin(), key.end(), isAsciiLetter);
}

VigenereStream::VigenereStream(std::string_view key) {
  if (!isVigenereKey(key)) {
    throw std::invalid_argument("a Vigenere key is one or more of the letters A-Z and a-z");
  }
  for (const char k : key) {
    const int row = toAsciiUpper(k) - 'A';
    encipherShifts_.push_back(static_cast<char>(row));
    decipherShifts_.push_back(static_cast<char>((alphabetSize - row) % alphabetSize));
  }
}

void VigenereStream::shift(std::span<char> text, const std::string& shifts) {
  std::size_t position = position_;
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    c = shiftTable[static_cast<std::size_t>(shifts[position])][byte];
    position += letterTable[byte];
    if (position == shifts.size()) {
      position = 0;
    }
  }
  position_ = position;
}

void VigenereStream::showKeyLetters(std::span<char> text) {
  for (char& c : text) {
    if (isAsciiLetter(c)) {
      c = static_cast<char>('A' + encipherShifts_[position_]);
      position_ = (position_ + 1) % encipherShifts_.size();
    }
  }
}

bool holdsLetter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), isAsciiLetter);
}

bool acceptsKey(std::string_view text, std::string_view key) {
  return !holdsLetter(text) || isVigenereKey(key);
}

VigenereRows encipherVigenere(std::string_view text, std::string_view key) {
  if (!acceptsKey(text, key)) {
    throw std::invalid_argument("the key cannot encipher this text");
  }
  std::string unchanged(text);
  if (!holdsLetter(text)) {
    return {unchanged, unchanged, unchanged, unchanged};
  }
  VigenereRows rows{unchanged, unchanged, unchanged, {}};
  std::transform(text.begin(), text.end(), rows.plaintext.begin(), toAsciiUpper);
  VigenereStream(key).showKeyLetters(rows.keyletter);
  VigenereStream(key).encipher(rows.ciphertext);
  rows.decrypttext = rows.ciphertext;
  VigenereStream(key).decipher(rows.decrypttext);
  return rows;
}
