#pragma once

#include <cstddef>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "method_filters.hpp"
#include "vigenere_crack.hpp"

// What solve decides on: the head of the input, its first solveHeadLetters letters or its first
// solveHeadBytes bytes, whichever ends first. Only the head is held; the rest is deciphered as
// it comes.
inline constexpr std::size_t solveHeadBytes = std::size_t{256} * 1024;
inline constexpr std::size_t solveHeadLetters = CrackSample::sampleLimit;

// Finds which of the methods made the files read in order as one message (no file, or "-", is
// standard input), and writes the message deciphered by it to standard output and the method
// (and key) on err as one line, "solve: vigenere, key LEMON"; with json, writes
// {"method", "key", "fit"} as one line to standard output instead of both. A personal-method
// text is decoded line by line and a damaged line refused as personal -d refuses it. Returns the
// exit status: 0 when all went well, 1 when a file could not be read, a line was refused, no
// method fits, or the output cannot be written.
int runSolve(std::span<const std::string> files, bool json, std::ostream& err);

inline constexpr std::string_view noMethodFitsMessage =
    "solve: no method of ciphers fits this text";
