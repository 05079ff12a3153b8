#include "rot13.hpp"

#include "kernels.hpp"

void rotate13InPlace(std::span<char> text, const KernelSet& kernels) {
  kernels.rotate13(text);
}

std::string rot13(std::string_view text) {
  std::string rotated(text);
  rotate13InPlace(rotated);
  return rotated;
}

Rot13Rows encipherRot13(std::string_view text) {
  std::string ciphertext = rot13(text);
  std::string decrypttext = rot13(ciphertext);
  return {std::move(ciphertext), std::move(decrypttext)};
}
