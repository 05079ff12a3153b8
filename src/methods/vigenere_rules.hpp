#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>

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
