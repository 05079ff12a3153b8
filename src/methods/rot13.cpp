#include "rot13.hpp"

#include "ascii.hpp"
#include "vector_clones.hpp"

namespace {

// Setting the 0x20 bit maps the capitals onto the small letters, and no other byte onto them.
CIPHERS_ALWAYS_INLINE char rotated13(char c) {
  const auto folded = static_cast<char>(c | 0x20);
  if (!isAsciiLower(folded)) {
    return c;
  }
  return static_cast<char>(folded <= 'm' ? c + 13 : c - 13);
}

// Rotates every character of a span in place. The rotation is arithmetic rather than a table
// look-up, so that over a span of fixed length the compiler makes it vector code.
template <std::size_t extent>
CIPHERS_ALWAYS_INLINE void rotateAll(std::span<char, extent> text) {
  for (char& c : text) {
    c = rotated13(c);
  }
}

// Cloned here rather than where it is declared: clang takes the clones only of a function whose
// every declaration says so.
CIPHERS_VECTOR_CLONES void rotateSpan(char* text, std::size_t size) {
  constexpr std::size_t block = 32;
  std::span<char> rest(text, size);
  for (; rest.size() >= block; rest = rest.subspan(block)) {
    rotateAll(rest.first<block>());
  }
  rotateAll(rest);
}

}  // namespace

void rotate13InPlace(std::span<char> text) {
  rotateSpan(text.data(), text.size());
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
