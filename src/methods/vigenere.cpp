#include "vigenere.hpp"

#include <stdexcept>

#include "ascii.hpp"

namespace {

// Maps every byte in place, in blocks of a fixed length, which the compiler makes vector code.
template <class Map>
void mapBytes(std::span<char> text, Map map) {
  constexpr std::size_t length = 32;
  for (; text.size() >= length; text = text.subspan(length)) {
    for (char& c : text.first<length>()) {
      c = map(c);
    }
  }
  for (char& c : text) {
    c = map(c);
  }
}

}  // namespace

bool isVigenereKey(std::string_view key) {
  return !key.empty() && std::all_of(key.begin(), key.end(), isAsciiLetter);
}

VigenereStream::VigenereStream(std::string_view key, const KernelSet& kernels)
    : kernels_(&kernels) {
  if (!isVigenereKey(key)) {
    throw std::invalid_argument("a Vigenere key is one or more of the letters A-Z and a-z");
  }
  // The key repeated to a period of at least the kernels' look-ahead, and then that much more: a
  // block of letters finds its key letters in a row from any position within the period.
  constexpr std::size_t ahead = vigenereLookAhead;
  period_ = key.size() * ((ahead + key.size() - 1) / key.size());
  encipherShifts_.reserve(period_ + ahead);
  decipherShifts_.reserve(period_ + ahead);
  for (std::size_t i = 0; i < period_ + ahead; ++i) {
    const int row = toAsciiUpper(key[i % key.size()]) - 'A';
    encipherShifts_.push_back(static_cast<char>(row));
    decipherShifts_.push_back(static_cast<char>((alphabetSize - row) % alphabetSize));
  }
}

void VigenereStream::shift(std::span<char> text, const Secret& shifts) {
  kernels_->shiftVigenere(text, shifts.data(), period_, position_);
}

// Enciphering the letter A under a key letter gives the key letter.
void VigenereStream::showKeyLetters(std::span<char> text) {
  mapBytes(text, [](char c) { return isAsciiLetter(c) ? 'A' : c; });
  encipher(text);
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
  mapBytes(rows.plaintext, toAsciiUpper);
  VigenereStream stream(key);
  stream.showKeyLetters(rows.keyletter);
  stream.restart();
  stream.encipher(rows.ciphertext);
  rows.decrypttext = rows.ciphertext;
  stream.restart();
  stream.decipher(rows.decrypttext);
  return rows;
}
