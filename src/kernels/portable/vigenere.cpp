#include <array>
#include <cstdint>

#include "ascii.hpp"
#include "portable.hpp"
#include "vigenere_rules.hpp"

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

void portable::shiftVigenere(std::span<char> text, const char* shifts, std::size_t period,
                             std::size_t& position) {
  std::size_t at = position;
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    c = shiftTable[static_cast<std::size_t>(shifts[at])][byte];
    at += letterTable[byte];
    if (at == period) {
      at = 0;
    }
  }
  position = at;
}
