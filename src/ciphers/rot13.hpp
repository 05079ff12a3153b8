#pragma once

#include <string>
#include <string_view>

// The two rows a ROT13 run shows besides its plaintext.
struct Rot13Rows {
  std::string ciphertext;
  std::string decrypttext;
};

// Moves each of the 52 ASCII letters 13 places on within its own half of the alphabet, keeping
// its case; every other byte, NUL and those above 0x7F included, is returned unchanged.
char rotate13(char c);

std::string rot13(std::string_view text);

// Encrypts the text and decrypts the ciphertext back with the same rotation.
Rot13Rows encipherRot13(std::string_view text);
