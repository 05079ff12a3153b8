#pragma once

#include <span>

// The program: with no arguments the dialogue on standard input and output; with a method's
// name that method over files and pipes; --help and --version write their text; anything else
// is refused with status 2.
int runProgram(std::span<char* const> argv);
