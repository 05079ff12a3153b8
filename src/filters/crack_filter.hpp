#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "vigenere_crack.hpp"

// Finds the Vigenere key of the files read in order as one message (no file, or "-", is
// standard input) and writes it to standard output as a line of capitals; with decipher, writes
// the message deciphered under it instead and the key to err. Says on err when the text is too
// short to be sure of the key. Returns the exit status: 0 when all went well, 1 when a file
// could not be read, the input holds no letter, or the output cannot be written.
int runVigenereCrack(std::span<const std::string> files, bool decipher, std::ostream& err);

// Why the breaker shows no key.
inline constexpr std::string_view noLettersMessage =
    "the input holds no letters, so it shows no key";

enum class ExplanationFormat { text, json };

// How the key of the files read as one message was found, written to standard output as a report
// for the terminal or as JSON; the exit status as runVigenereCrack gives it.
int runVigenereExplanation(std::span<const std::string> files, ExplanationFormat format,
                           std::ostream& err);
