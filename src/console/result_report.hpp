#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "console.hpp"

// What a method run shows: its rows behind labels of 16 characters, written whole, then an
// "Information: " block with the method's own text. The rows belong to the run.
struct ResultReport {
  std::string_view plaintext;
  std::optional<std::string_view> key;  // the Vigenere cipher's only
  std::string_view ciphertext;
  std::string_view decrypted;
  std::span<const std::string_view> information;
};

void printResultReport(Console& console, const ResultReport& report);

inline constexpr std::array<std::string_view, 4> rot13Information{
    "This encryption scheme rotates each letter 13 places to the right from where it",
    "is in the alphabet. Due to its method, only letters are encrypted as numbers",
    "and special characters remain unchanged. There is only one possibility per",
    "plaintext as there are no variations in encrypting using this method.",
};

inline constexpr std::array<std::string_view, 8> vigenereInformation{
    "Used during the Civil War and dating back as early as the 1500's, the Vigenere",
    "method uses a matrix of letters a-z to perform letter substitution according",
    "to a given key. Because of its method, only letters are encrypted and there is",
    "no distinguishment between upper and lower case. The Vigenere Cipher has a",
    "total of 26n possibilities, where n is the number of letters, per plaintext.",
    "This is due to the key having 26 possibilities per letter (i.e. a-z) and",
    "depending on that letter the ciphertext will in turn have 26 possibilities",
    "per letter. Note that n does not include anything other than letters.",
};

inline constexpr std::array<std::string_view, 6> personalMethodInformation{
    "This is an encryption scheme I can up with that will transform any string",
    "of ascii characters into a series of numbers 0-9. The number of possibilities",
    "for a given plaintext is 90 + 8n where n is the number of characters in the",
    "plaintext. This means that the same plaintext has 90 + 8n possible ciphertexts.",
    "Although I can't reveal the secret behind this one, you are free to play around",
    "with it and maybe try to figure it out!",
};
