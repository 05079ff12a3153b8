#pragma once

#include <ostream>
#include <span>
#include <string>

// Finds the Vigenere key of the files read in order as one message (no file, or "-", is
// standard input) and writes it to standard output as a line of capitals; with decipher, writes
// the message deciphered under it instead and the key to err. Says on err when the text is too
// short to be sure of the key. Returns the exit status: 0 when all went well, 1 when a file
// could not be read, the input holds no letter, or the output cannot be written.
int runVigenereCrack(std::span<const std::string> files, bool decipher, std::ostream& err);
