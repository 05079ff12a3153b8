#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "secret.hpp"

// The key of `ciphers vigenere`, or the exit status where the run ends without one (after a
// line on standard error that never quotes the key).
using KeyOrStatus = std::variant<Secret, int>;

// The first line of the file, without its line end (LF or CR LF); "-" is standard input. A file
// with a further line, an empty first line or one with a non-letter, and a file that cannot be
// read are refused with status 2.
KeyOrStatus readKeyFile(const std::string& path);

// Asks at the controlling terminal with echo off: twice to encipher, so that a slip of the
// finger is not enciphered with, and once to decipher. Answers that differ or are no key are
// refused there and asked for again, up to three tries. Status 2 without a terminal.
KeyOrStatus askForKey(bool twice);
