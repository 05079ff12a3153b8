#pragma once

// The 52 ASCII letters and their upper case, exactly as the default C locale classifies and maps
// them; every byte above 0x7F is a non-letter. The tests take a char as it is, so no byte ever
// reaches a <cctype> function as a negative value.

constexpr bool isAsciiUpper(char c) {
  return c >= 'A' && c <= 'Z';
}

constexpr bool isAsciiLower(char c) {
  return c >= 'a' && c <= 'z';
}

constexpr bool isAsciiLetter(char c) {
  return isAsciiUpper(c) || isAsciiLower(c);
}

constexpr char toAsciiUpper(char c) {
  return isAsciiLower(c) ? static_cast<char>(c - 'a' + 'A') : c;
}
