#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

inline constexpr int alphabetSize = 26;

// Row r holds the alphabet shifted left by r places: the cell in row r, column c is the letter
// 'A' + (r + c) mod 26. A key letter selects the row, a text letter the column.
using VigenereRow = std::array<char, alphabetSize>;
using VigenereMatrix = std::array<VigenereRow, alphabetSize>;

// The four rows of a run, one element per text character walked; letters are upper-cased, every
// other character stands unchanged at its place in all four.
struct VigenereRows {
  std::string plaintext;
  std::string keyletter;
  std::string ciphertext;
  std::string decrypttext;
};

VigenereMatrix buildVigenereMatrix();

// The first column of the row that holds the letter, or 0 when no cell does.
int findInRow(const VigenereRow& row, int letter);

// Whether the text holds one of the 52 ASCII letters.
bool holdsLetter(std::string_view text);

// Enciphers the text under the key, applied cyclically from its first character to the letters
// only, and deciphers the result back. When the text holds a letter, the key must be made of
// ASCII letters only and not be empty; otherwise there is no result. A text without letters
// never consults the key.
std::optional<VigenereRows> encipherVigenere(std::string_view text, std::string_view key);
