#pragma once

#include "ascii.hpp"

// A letter moved 13 places on within its half of the alphabet, keeping its case; any other byte
// as it is. Setting the 0x20 bit maps the capitals onto the small letters, and no other byte onto
// them. Arithmetic rather than a table look-up, so that a loop of it becomes vector code.
constexpr char rotated13(char c) {
  const auto folded = static_cast<char>(c | 0x20);
  if (!isAsciiLower(folded)) {
    return c;
  }
  return static_cast<char>(folded <= 'm' ? c + 13 : c - 13);
}
