#include "ciphers/rot13.hpp"

#include <algorithm>
#include <array>

namespace {

constexpr int rotateWithin(int c, char first) {
  return (c - first + 13) % 26 + first;
}

// Indexed by the byte as unsigned char, so no byte can be a negative index.
constexpr std::array<char, 256> rotationTable = [] {
  std::array<char, 256> table{};
  for (int c = 0; c < 256; ++c) {
    int rotated = c;
    if (c >= 'A' && c <= 'Z') {
      rotated = rotateWithin(c, 'A');
    } else if (c >= 'a' && c <= 'z') {
      rotated = rotateWithin(c, 'a');
    }
    table[c] = static_cast<char>(rotated);
  }
  return table;
}();

}  // namespace

char rotate13(char c) {
  return rotationTable[static_cast<unsigned char>(c)];
}

std::string rot13(std::string_view text) {
  std::string rotated(text.size(), '\0');
  std::transform(text.begin(), text.end(), rotated.begin(), rotate13);
  return rotated;
}

Rot13Rows encipherRot13(std::string_view text) {
  std::string ciphertext = rot13(text);
  std::string decrypttext = rot13(ciphertext);
  return {std::move(ciphertext), std::move(decrypttext)};
}
