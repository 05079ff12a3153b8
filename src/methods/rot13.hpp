#pragma once

#include <span>
#include <string>
#include <string_view>

#include "kernels.hpp"

// The two rows a ROT13 run shows besides its plaintext.
struct Rot13Rows {
  std::string ciphertext;
  std::string decrypttext;
};

// Moves each of the 52 ASCII letters of a text of any length 13 places on within its own half of
// the alphabet, in place, keeping its case; every other byte, NUL and those above 0x7F included,
// stays unchanged. A stream is rotated chunk by chunk.
void rotate13InPlace(std::span<char> text, const KernelSet& kernels = chosenKernels());

std::string rot13(std::string_view text);

// Encrypts the text and decrypts the ciphertext back with the same rotation.
Rot13Rows encipherRot13(std::string_view text);
