#pragma once

#include <string_view>

// The texts that --help and --version write: the program's own and each method command's.
std::string_view programHelp();
std::string_view versionText();
std::string_view rot13Help();
std::string_view vigenereHelp();
std::string_view personalHelp();
std::string_view solveHelp();
