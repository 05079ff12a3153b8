#include "rot13.hpp"

#include <algorithm>
#include <array>

#include "ascii.hpp"

namespace {

constexpr char rotateWithin(char c, char first) {
  return static_cast<char>((c - first + 13) % 26 + first);
}

// Indexed by the byte as unsigned char, so no byte can be a negative index.
constexpr std::array<char, 256> rotationTable = [] {
  std::array<char, 256> table{};
  for (int byte = 0; byte < 256; ++byte) {
    const auto c = static_cast<char>(byte);
    if (isAsciiUpper(c)) {
      table[byte] = rotateWithin(c, 'A');
    } else if (isAsciiLower(c)) {
      table[byte] = rotateWithin(c, 'a');
    } else {
      table[byte] = c;
    }
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
